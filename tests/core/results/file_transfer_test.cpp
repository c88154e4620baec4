#include "core/results/file_transfer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using Percents = std::vector<int>;

// Bytes that differ from block to block, so a block written twice or skipped shows.
std::string patterned(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

class FileTransferTest : public ::testing::Test {
protected:
    TempFolder m_folder;
    test::RecorderPresenter m_messages;  // the copy reports nothing itself; its caller does
    void TearDown() override { EXPECT_EQ(m_messages.count(), 0u); }
};

TEST_F(FileTransferTest, CopyIsByteExactAndReportsEachBlock) {
    const std::pair<std::size_t, Percents> cases[] = {
        // the count starts at 1, capped at 100
        {0, {}},
        {1, {100}},
        {20480, {100}},
        {20481, {100, 100}},
        {40960, {50, 100}},
        {50000, {40, 81, 100}},
    };
    for (const auto& [size, expected] : cases) {
        SCOPED_TRACE(size);
        const std::string bytes = patterned(size);
        TempFolder::write("source.bin", bytes);
        TempFolder::write("sub/dest.bin", "older and longer content than some sources");
        Percents percents;
        EXPECT_EQ(copyFile("sub/dest.bin", "source.bin", [&](int p) { percents.push_back(p); }),
                  Transfer::kOk);
        EXPECT_EQ(TempFolder::read("sub/dest.bin"), bytes);
        EXPECT_EQ(TempFolder::read("source.bin"), bytes);
        EXPECT_EQ(percents, expected);
    }
    EXPECT_EQ(copyFile("source.bin", "./source.bin"), Transfer::kOk);  // onto itself: kept
    EXPECT_EQ(TempFolder::read("source.bin"), patterned(50000));
}

TEST_F(FileTransferTest, FailuresAreTheTwoResultCodesAndLeaveNoHalfFile) {
    TempFolder::write("source.bin", "abc");
    TempFolder::write("kept.bin", "keep me");
    fs::create_directory("folder");
    const struct {
        const char *destination, *source;
        Transfer result;
    } cases[] = {
        {"missing/dest.bin", "source.bin", Transfer::kCannotCreate},
        {"folder", "source.bin", Transfer::kCannotCreate},
        {"new.bin", "nothing.bin", Transfer::kCannotOpenSource},
        {"kept.bin", "nothing.bin", Transfer::kCannotOpenSource},
        {"missing/dest.bin", "nothing.bin", Transfer::kCannotCreate},  // the destination first
        {"new.bin", "folder", Transfer::kCannotOpenSource},  // a folder opens but cannot be read
    };
    for (const auto& c : cases) {
        EXPECT_EQ(copyFile(c.destination, c.source), c.result) << c.destination << c.source;
    }
    EXPECT_FALSE(fs::exists("new.bin") || fs::exists("missing"));
    EXPECT_EQ(TempFolder::read("kept.bin"), "keep me");

    // Writes past 30000 bytes fail (EFBIG), as on a full disk: the partial copy is deleted.
    TempFolder::write("source.bin", patterned(50000));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 30000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Transfer result = copyFile("dest.bin", "source.bin");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, Transfer::kCannotCreate);
    EXPECT_FALSE(fs::exists("dest.bin"));
    // A device is no destination at all: refused before a byte is written, and left alone.
    fs::create_symlink("/dev/null", "null.bin");
    EXPECT_EQ(copyFile("null.bin", "source.bin"), Transfer::kCannotCreate);
    EXPECT_TRUE(fs::is_symlink("null.bin"));
}

// A move to another file system is a copy and a delete: the source goes only once the copy is
// whole, and stays when the copy fails.
TEST_F(FileTransferTest, MoveAcrossFileSystemsKeepsTheSourceUntilTheCopyIsWhole) {
    struct stat here {};
    struct stat there {};
    if (stat(".", &here) != 0 || stat("/dev/shm", &there) != 0 || here.st_dev == there.st_dev) {
        GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    }
    const fs::path source = "/dev/shm/zantric-move-" + std::to_string(getpid());
    const std::string bytes = patterned(70000);
    std::ofstream(source, std::ios::binary) << bytes;
    fs::create_directory("folder");
    EXPECT_EQ(moveFile("folder", source), Transfer::kCannotCreate);
    EXPECT_TRUE(fs::exists(source)) << "a failed move lost its source";
    EXPECT_EQ(moveFile("moved.bin", source), Transfer::kOk);
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(TempFolder::read("moved.bin"), bytes);
    std::error_code ignored;
    fs::remove(source, ignored);
}

}  // namespace
}  // namespace zantric
