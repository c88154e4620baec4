#include "core/results/file_transfer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "core/shell/paths.h"
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
    test::RecordingPresenter m_messages;  // the copy reports nothing itself; its caller does
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
        EXPECT_EQ(copyFile("sub\\dest.bin", "source.bin", [&](int p) { percents.push_back(p); }),
                  kTransferOk);
        EXPECT_EQ(TempFolder::read("sub/dest.bin"), bytes);
        EXPECT_EQ(TempFolder::read("source.bin"), bytes);
        EXPECT_EQ(percents, expected);
    }
}

TEST_F(FileTransferTest, FailuresAreTheTwoResultCodesAndLeaveNoHalfFile) {
    TempFolder::write("source.bin", "abc");
    TempFolder::write("kept.bin", "keep me");
    fs::create_directory("folder");
    const struct {
        const char *destination, *source;
        int result;
    } cases[] = {
        {"missing/dest.bin", "source.bin", kTransferCannotCreate},
        {"folder", "source.bin", kTransferCannotCreate},
        {"new.bin", "nothing.bin", kTransferCannotOpenSource},
        {"kept.bin", "nothing.bin", kTransferCannotOpenSource},
        {"missing/dest.bin", "nothing.bin", kTransferCannotCreate},  // the destination first
        {"new.bin", "folder", kTransferCannotOpenSource},  // a folder opens but cannot be read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.destination) + " <- " + c.source);
        EXPECT_EQ(copyFile(c.destination, c.source), c.result);
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
    const int result = copyFile("dest.bin", "source.bin");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result, kTransferCannotCreate);
    EXPECT_FALSE(fs::exists("dest.bin"));
    // A device is no destination at all: refused before a byte is written, and left alone.
    fs::create_symlink("/dev/null", "null.bin");
    EXPECT_EQ(copyFile("null.bin", "source.bin"), kTransferCannotCreate);
    EXPECT_TRUE(fs::is_symlink("null.bin"));
}

// On one file system a move renames, over an existing file; across two (/dev/shm is a memory
// file system) it copies block by block, then deletes the source.
TEST_F(FileTransferTest, MoveRenamesOrCopiesThenDeletesTheSource) {
    TempFolder::write("same.bin", "contents");
    EXPECT_EQ(copyFile("same.bin", ".\\same.bin"), kTransferOk);  // onto itself: kept
    EXPECT_EQ(moveFile("./same.bin", "same.bin"), kTransferOk);
    TempFolder::write("sub/dest.bin", "old and longer");
    int blocks = 0;
    EXPECT_EQ(moveFile("sub\\dest.bin", "same.bin", [&](int) { ++blocks; }), kTransferOk);
    EXPECT_EQ(TempFolder::read("sub/dest.bin"), "contents");
    EXPECT_FALSE(fs::exists("same.bin"));
    EXPECT_EQ(blocks, 0);
    EXPECT_EQ(moveFile("other.bin", "same.bin"), kTransferCannotCreate);
    EXPECT_EQ(moveFile("missing/dest.bin", "sub/dest.bin"), kTransferCannotCreate);
    EXPECT_EQ(TempFolder::read("sub/dest.bin"), "contents");

    struct stat shm {};
    struct stat here {};
    if (stat("/dev/shm", &shm) != 0 || stat(".", &here) != 0 || shm.st_dev == here.st_dev ||
        access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "no second file system to move across";
    }
    const fs::path away = fs::path("/dev/shm") / m_folder.path().filename();
    const std::string bytes = patterned(50000);
    TempFolder::write(away / "source.bin", bytes);
    FileMoveWork move("sub/dest.bin", (away / "source.bin").string());
    Percents percents;
    move.setAfterBlock([&] { percents.push_back(move.percent()); });
    EXPECT_EQ(runHere(move), kTransferOk);
    EXPECT_EQ(TempFolder::read("sub/dest.bin"), bytes);
    EXPECT_FALSE(fs::exists(away / "source.bin"));
    EXPECT_EQ(percents, (Percents{40, 81, 100}));
    // And back, into a folder that does not exist: the copy's -1, the source stays.
    EXPECT_EQ(moveFile((away / "missing/x.bin").string(), "sub/dest.bin"), kTransferCannotCreate);
    EXPECT_EQ(TempFolder::read("sub/dest.bin"), bytes);
    fs::remove_all(away);
}

}  // namespace
}  // namespace zantric
