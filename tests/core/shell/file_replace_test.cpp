// Replacing a file: the end state (the new file in place, the old one as its backup, an older
// backup gone), what a failure leaves, and the copy staged beside a target on another file
// system.
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

TEST(FileReplace, NewFileInPlaceOldOneKeptAsBackup) {
    struct Case {
        const char* what;
        bool targetExists;
        bool olderBackup;
        bool keepOld;
        const char* backupAfter;  // nullptr: no backup
    };
    for (const Case& c : {Case{"replace, keeping the old", true, true, true, "old"},
                          Case{"replace, first backup", true, false, true, "old"},
                          Case{"replace, not keeping", true, true, false, "older"},
                          Case{"nothing to replace", false, true, true, "older"},
                          Case{"nothing to replace or keep", false, false, true, nullptr}}) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        test::RecordingPresenter messages;
        TempFolder::write("temp/new.tmp", "new");
        fs::create_directory("lexicons");
        if (c.targetExists) {
            TempFolder::write("lexicons/words.lex", "old");
            fs::permissions("lexicons/words.lex", fs::perms::owner_read | fs::perms::owner_write);
        }
        if (c.olderBackup) TempFolder::write("lexicons/words.lxb", "older");

        ASSERT_TRUE(replaceFile(".\\temp\\new.tmp", ".\\lexicons\\words.lex", c.keepOld));

        EXPECT_EQ(TempFolder::read("lexicons/words.lex"), "new");
        if (c.targetExists) {  // the new file keeps the old one's permission bits
            EXPECT_EQ(fs::status("lexicons/words.lex").permissions(),
                      fs::perms::owner_read | fs::perms::owner_write);
        }
        EXPECT_FALSE(fs::exists("temp/new.tmp") ||
                     fs::exists(std::string("lexicons/") + kStagingFileName));
        EXPECT_EQ(fs::exists("lexicons/words.lxb"), c.backupAfter != nullptr);
        if (c.backupAfter) {
            EXPECT_EQ(TempFolder::read("lexicons/words.lxb"), c.backupAfter);
        }
        EXPECT_EQ(messages.count(), 0u);
    }
}

TEST(FileReplace, FailureLeavesTheTargetAndTheSource) {
    TempFolder folder;
    test::RecordingPresenter messages;
    TempFolder::write("lexicons/words.lex", "old");
    EXPECT_FALSE(replaceFile("missing.tmp", ".\\lexicons\\words.lex", true));
    EXPECT_EQ(TempFolder::read("lexicons/words.lex"), "old");

    // A folder where the file should go cannot be replaced by it.
    TempFolder::write("new.tmp", "new");
    fs::create_directories("lexicons/folder.lex/inside");
    EXPECT_FALSE(replaceFile("new.tmp", ".\\lexicons\\folder.lex", true));
    EXPECT_EQ(TempFolder::read("new.tmp"), "new");
    EXPECT_TRUE(fs::is_directory("lexicons/folder.lex/inside"));
    EXPECT_FALSE(fs::exists(std::string("lexicons/") + kStagingFileName));
}

TEST(FileReplace, AnotherFileSystemIsCopiedBesideTheTargetFirst) {
    TempFolder folder;
    test::RecordingPresenter messages;
    // /dev/shm is a memory file system on most systems: a rename from there cannot work.
    struct stat shm, here;
    if (stat("/dev/shm", &shm) != 0 || stat(".", &here) != 0 || shm.st_dev == here.st_dev) {
        GTEST_SKIP() << "no second file system to move from";
    }
    const fs::path source = fs::path("/dev/shm") / ("zantric-" + folder.path().filename().string());
    TempFolder::write(source, "new");
    TempFolder::write("lexicons/words.lex", "old");

    ASSERT_TRUE(replaceFile(source.string(), ".\\lexicons\\words.lex", true));

    EXPECT_EQ(TempFolder::read("lexicons/words.lex"), "new");
    EXPECT_EQ(TempFolder::read("lexicons/words.lxb"), "old");
    EXPECT_FALSE(fs::exists(source) || fs::exists(std::string("lexicons/") + kStagingFileName));
}

}  // namespace
}  // namespace zantric
