#include "core/shell/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/shell/paths.h"
#include "core/shell/profile.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::RecordingPresenter;
using test::TempFolder;

// Followed by the folder used instead, as a full path.
const char kPathIsAFile[] =
    "Zantric was unable to use the file path specified in Zantric.ini as the name is already "
    "being used for a file. Zantric will continue but will use the default path of ";
const char kCannotCreate[] =
    "Zantric was unable to create the directory specified in the FILES section of your "
    "Zantric.ini file.";

std::vector<std::string> entriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

TEST(Settings, FirstStartCreatesTheIniWithSixEntriesAndNoFolder) {
    TempFolder folder;
    RecordingPresenter recorder;
    Settings::resetForTests();
    const Settings& config = Settings::instance();

    EXPECT_EQ(TempFolder::read("zantric.ini"),
              "[PATHS]\n"
              "FILES=.\\files\n"
              "DICTIONARIES=.\\lexicons\n"
              "TEMP_FILES=.\\temp\n"
              "\n"
              "[REMINDERS]\n"
              "Unique Warning=0\n"
              "\n"
              "[SETTINGS]\n"
              "Check Unique=0\n"
              "Tab Size=6\n");
    EXPECT_EQ(entriesOf("."), std::vector<std::string>{"zantric.ini"});
    EXPECT_EQ(recorder.count(), 0u);

    EXPECT_EQ(config.filesFolder(), ".\\files");
    EXPECT_EQ(config.dictionariesFolder(), ".\\lexicons");
    EXPECT_EQ(config.tempFolder(), ".\\temp");
    EXPECT_EQ(config.iniFileName(), ".\\zantric.ini");
    EXPECT_EQ(config.helpFileName(), ".\\zantric.hlp");
    EXPECT_EQ(config.dictionaryPath("a.lex"), ".\\lexicons\\a.lex");
    EXPECT_EQ(config.dictionaryPath("x\\a.lex"), "x\\a.lex");
    EXPECT_EQ(config.tempPath("$$abc.zti"), ".\\temp\\$$abc.zti");
    EXPECT_EQ(config.readInt("SETTINGS", "Tab Size", 0), 6);
    EXPECT_EQ(config.readString("FONT", "Font Set", "0"), "0");
    EXPECT_TRUE(config.writeString("FONT", "Font Set", "1"));
    EXPECT_EQ(config.readInt("font", "font set", 0), 1);
}

TEST(Settings, PathsFromTheIni) {
    enum class Prepare { kNothing, kFolder, kFile };
    struct Case {
        const char* name;
        const char* key;        // the PATHS key given in the ini
        const char* value;      // its value
        Prepare prepare;        // what is at that path before start
        const char* expected;   // the folder Settings then uses for that key
        const char* message;    // the one message shown, or ""
        bool folderAfterwards;  // whether a folder exists at the path afterwards
    };
    const Case cases[] = {
        {"existing files folder", "FILES", "results", Prepare::kFolder, "results", "", true},
        {"missing files folder is created", "FILES", "results", Prepare::kNothing, "results", "",
         true},
        {"files path names a file", "FILES", "results", Prepare::kFile, ".\\files", kPathIsAFile,
         false},
        {"files folder cannot be made", "FILES", "no\\such\\deep", Prepare::kNothing, ".\\files",
         kCannotCreate, false},
        {"empty files path", "FILES", "", Prepare::kNothing, ".\\files", kCannotCreate, false},
        {"program form with backslashes", "FILES", ".\\my files", Prepare::kNothing, ".\\my files",
         "", true},
        {"dictionaries path names a file", "DICTIONARIES", "words", Prepare::kFile, ".\\lexicons",
         kPathIsAFile, false},
        {"missing dictionaries folder is created", "DICTIONARIES", "words", Prepare::kNothing,
         "words", "", true},
        {"temporary path names a file", "TEMP_FILES", "tmp", Prepare::kFile, ".\\temp",
         kPathIsAFile, false},
        {"temporary folder cannot be made", "TEMP_FILES", "a\\b", Prepare::kNothing, ".\\temp",
         kCannotCreate, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        RecordingPresenter recorder;
        // The other two keys name folders that exist, so only the case's key can complain.
        fs::create_directory("f");
        fs::create_directory("d");
        fs::create_directory("t");
        // Only the first of twin keys counts, so the case's key comes first.
        const std::string ini = "[PATHS]\n" + std::string(c.key) + "=" + c.value +
                                "\nFILES=f\nDICTIONARIES=d\nTEMP_FILES=t\n";
        TempFolder::write("zantric.ini", ini);
        std::string nativeValue = c.value;
        std::replace(nativeValue.begin(), nativeValue.end(), '\\', '/');
        if (c.prepare == Prepare::kFolder) fs::create_directory(nativeValue);
        if (c.prepare == Prepare::kFile) TempFolder::write(nativeValue, "a file");

        Settings::resetForTests();
        const Settings& config = Settings::instance();
        std::string key = c.key;
        const std::string& used = key == "FILES"          ? config.filesFolder()
                                  : key == "DICTIONARIES" ? config.dictionariesFolder()
                                                          : config.tempFolder();
        EXPECT_EQ(used, c.expected);
        if (*c.message == '\0') {
            EXPECT_EQ(recorder.count(), 0u);
        } else {
            ASSERT_EQ(recorder.count(), 1u);
            const std::string named =
                c.message == kPathIsAFile ? shownPath(c.expected) : std::string();
            EXPECT_EQ(recorder.last().text, c.message + named);
            EXPECT_EQ(recorder.last().title, "Problem Processing Zantric.ini");
            EXPECT_EQ(recorder.last().style, kMbOkStop);
            EXPECT_FALSE(recorder.last().hasOwner);
        }
        if (!nativeValue.empty()) {
            EXPECT_EQ(fs::is_directory(nativeValue), c.folderAfterwards);
        }
        // The ini file is read, never rewritten, when it exists.
        EXPECT_EQ(TempFolder::read("zantric.ini"), ini);
    }
}

// A zantric.ini that is not a plain file of at most 1 MiB is reported once and then neither read
// (a FIFO would block for ever, a link to /dev/zero fill the memory) nor written over.
TEST(Settings, UnusableIniIsReportedAndLeftAlone) {
    const std::string settings = "[SETTINGS]\nTab Size=4\n";
    struct Case {
        const char* name;
        std::function<void()> make;
        bool usable;
    };
    const Case cases[] = {
        {"FIFO", [] { ASSERT_EQ(mkfifo("zantric.ini", 0600), 0); }, false},
        {"link to /dev/zero", [] { fs::create_symlink("/dev/zero", "zantric.ini"); }, false},
        {"folder", [] { fs::create_directory("zantric.ini"); }, false},
        {"over 1 MiB",
         [&] { TempFolder::write("zantric.ini", settings + std::string(kMaxProfileBytes, ';')); },
         false},
        {"1 MiB",
         [&] {
             TempFolder::write("zantric.ini",
                               settings + std::string(kMaxProfileBytes - settings.size(), ';'));
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        RecordingPresenter recorder;
        c.make();
        const auto before = fs::symlink_status("zantric.ini").type();
        Settings::resetForTests();
        const Settings& config = Settings::instance();
        EXPECT_EQ(config.filesFolder(), ".\\files");
        EXPECT_EQ(config.readInt("SETTINGS", "Tab Size", 6), c.usable ? 4 : 6);
        EXPECT_EQ(config.writeString("FONT", "Font Set", "1"), c.usable);
        EXPECT_EQ(recorder.count(), c.usable ? 0u : 1u);
        if (!c.usable) {
            EXPECT_EQ(recorder.last().title, "Problem Processing Zantric.ini");
            EXPECT_EQ(recorder.last().style, kMbOkExclamation);
            EXPECT_EQ(fs::symlink_status("zantric.ini").type(), before);
        }
    }
}

TEST(Settings, MissingPathKeysKeepTheDefaultsAndTheirFoldersAreMade) {
    TempFolder folder;
    RecordingPresenter recorder;
    TempFolder::write("zantric.ini", "[SETTINGS]\nTab Size=4\n");
    Settings::resetForTests();
    const Settings& config = Settings::instance();
    EXPECT_EQ(config.filesFolder(), ".\\files");
    EXPECT_EQ(config.dictionariesFolder(), ".\\lexicons");
    EXPECT_EQ(config.tempFolder(), ".\\temp");
    EXPECT_TRUE(fs::is_directory("files"));
    EXPECT_TRUE(fs::is_directory("lexicons"));
    EXPECT_TRUE(fs::is_directory("temp"));
    EXPECT_EQ(config.readInt("SETTINGS", "Tab Size", 6), 4);
    EXPECT_EQ(recorder.count(), 0u);
}

}  // namespace
}  // namespace zantric
