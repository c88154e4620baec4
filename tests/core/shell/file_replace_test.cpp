// Replacing a file: the new file in place, the old one as its backup, what a failure leaves, and
// a source on another file system staged beside the target first.
#include "core/shell/file_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

const std::string kStaging = std::string("lexicons/") + kStagingFileName;

TEST(FileReplace, NewFileInPlaceOldOneKeptAsBackup) {
    const struct {
        bool targetExists, olderBackup, keepOld;
        const char* backupAfter;  // nullptr: no backup
    } cases[] = {{true, true, true, "old"},
                 {true, false, true, "old"},
                 {true, true, false, "older"},
                 {false, true, true, "older"},
                 {false, false, true, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.targetExists << c.olderBackup << c.keepOld);
        TempFolder folder;
        test::RecordingPresenter messages;
        const auto perms = fs::perms::owner_read | fs::perms::owner_write;
        TempFolder::write("temp/new.tmp", "new");
        fs::create_directory("lexicons");
        if (c.targetExists) TempFolder::write("lexicons/words.lex", "old");
        if (c.targetExists) fs::permissions("lexicons/words.lex", perms);
        if (c.olderBackup) TempFolder::write("lexicons/words.lxb", "older");
        ASSERT_TRUE(replaceFile(".\\temp\\new.tmp", ".\\lexicons\\words.lex", c.keepOld));
        EXPECT_EQ(TempFolder::read("lexicons/words.lex"), "new");
        EXPECT_TRUE(!c.targetExists || fs::status("lexicons/words.lex").permissions() == perms);
        EXPECT_FALSE(fs::exists("temp/new.tmp") || fs::exists(kStaging));
        EXPECT_EQ(fs::exists("lexicons/words.lxb"), c.backupAfter != nullptr);
        EXPECT_EQ(TempFolder::read("lexicons/words.lxb"), c.backupAfter ? c.backupAfter : "");
        EXPECT_EQ(messages.count(), 0u);
    }
}

TEST(FileReplace, FailureLeavesTheTargetAndTheSource) {
    TempFolder folder;
    test::RecordingPresenter messages;
    TempFolder::write("lexicons/words.lex", "old");
    EXPECT_FALSE(replaceFile("missing.tmp", ".\\lexicons\\words.lex", true));
    EXPECT_EQ(TempFolder::read("lexicons/words.lex"), "old");
    TempFolder::write("new.tmp", "new");
    fs::create_directories("lexicons/folder.lex/inside");
    EXPECT_FALSE(replaceFile("new.tmp", ".\\lexicons\\folder.lex", true));
    EXPECT_EQ(TempFolder::read("new.tmp"), "new");
    EXPECT_TRUE(fs::is_directory("lexicons/folder.lex/inside"));
    EXPECT_FALSE(fs::exists(kStaging));
}

TEST(FileReplace, AnotherFileSystemIsCopiedBesideTheTargetFirst) {
    TempFolder folder;
    test::RecordingPresenter messages;
    struct stat shm, here;  // /dev/shm: a memory file system, where a rename cannot work
    if (stat("/dev/shm", &shm) != 0 || stat(".", &here) != 0 || shm.st_dev == here.st_dev) {
        GTEST_SKIP() << "no second file system to move from";
    }
    const fs::path source = fs::path("/dev/shm") / ("zantric-" + folder.path().filename().string());
    TempFolder::write(source, "new");
    TempFolder::write("lexicons/words.lex", "old");
    ASSERT_TRUE(replaceFile(source.string(), ".\\lexicons\\words.lex", true));
    EXPECT_EQ(TempFolder::read("lexicons/words.lex"), "new");
    EXPECT_EQ(TempFolder::read("lexicons/words.lxb"), "old");
    EXPECT_FALSE(fs::exists(source) || fs::exists(kStaging));
}

}  // namespace
}  // namespace zantric
