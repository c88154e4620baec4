#include "core/shell/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "core/shell/paths.h"
#include "core/shell/profile.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::RecorderPresenter;
using test::TempFolder;

// Followed by the folder used instead, as a full path.
const char kPathIsAFile[] =
    "Zantric was unable to use the file path specified in Zantric.ini as the name is already "
    "being used for a file. Zantric will continue but will use the default path of ";
const char kCannotCreate[] =
    "Zantric was unable to create the directory specified in the FILES section of your "
    "Zantric.ini file.";

TEST(Settings, FirstStartCreatesTheIniWithSixEntriesAndNoFolder) {
    TempFolder folder;
    RecorderPresenter recorder;
    const Settings config(recorder);
    EXPECT_EQ(TempFolder::read("zantric.ini"),
              "[PATHS]\nFILES=./files\nDICTIONARIES=./lexicons\nTEMP_FILES=./temp\n\n"
              "[REMINDERS]\nUnique Warning=0\n\n[SETTINGS]\nCheck Unique=0\nTab Size=6\n");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
    EXPECT_EQ(recorder.count(), 0u);
    // A bare name goes in the folder, a backslash being part of a name; a path stays as it is.
    for (const auto& [name, path] : {std::pair{"a.lex", "./lexicons/a.lex"},
                                     {"x\\a.lex", "./lexicons/x\\a.lex"},
                                     {"x/a.lex", "x/a.lex"},
                                     {"/tmp/a.lex", "/tmp/a.lex"}}) {
        EXPECT_EQ(config.dictionaryPath(name).native(), path);
    }
    for (const auto& [text, value] : {std::pair{"1", 1}, {"-105", -105}, {"+20x9", 20}}) {
        EXPECT_TRUE(config.writeString("FONT", "Font Set", text));
        EXPECT_EQ(config.readInt("font", "font set", 0), value) << text;
    }
}

// A value in the backslash form of earlier versions is read as the native path and written back
// in that form at once; a backslash that can only be part of a name stays one.
TEST(Settings, PathsFromTheIni) {
    // Longer than a value read from the ini: used as cut, never written back cut.
    const std::string tooLong = ".\\" + std::string(300, 'a');
    enum Prepare { kNothing, kFolder, kFile };  // what is at the folder used, before start
    const struct {
        const char *key, *value;
        Prepare prepare;
        const char* expected;  // the folder then used for that key
        const char* message;   // the one message shown, or ""
        const char* written;   // the value the ini then holds
    } cases[] = {
        {"FILES", "results", kFolder, "results", "", "results"},
        {"FILES", "results", kFile, "./files", kPathIsAFile, "results"},
        {"FILES", "", kNothing, "./files", kCannotCreate, ""},
        {"FILES", ".\\my files", kNothing, "./my files", "", "./my files"},
        {"DICTIONARIES", ".\\lexicons", kFolder, "./lexicons", "", "./lexicons"},
        {"DICTIONARIES", "\"lex\\old\"", kFolder, "lex/old", "", "lex/old"},
        {"DICTIONARIES", "./lex\\new", kNothing, "./lex\\new", "", "./lex\\new"},
        {"DICTIONARIES", "lex\\new", kFolder, "lex\\new", "", "lex\\new"},
        {"DICTIONARIES", "words", kFile, "./lexicons", kPathIsAFile, "words"},
        {"TEMP_FILES", "tmp", kFile, "./temp", kPathIsAFile, "tmp"},
        {"TEMP_FILES", tooLong.c_str(), kNothing, "./temp", kCannotCreate, tooLong.c_str()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.key << "=" << c.value << " " << c.prepare);
        TempFolder folder;
        RecorderPresenter recorder;
        // The other keys name folders that are there; only the first of twin keys counts.
        for (const char* name : {"f", "d", "t"}) fs::create_directory(name);
        const auto ini = [&c](const char* value) {
            return std::string("[PATHS]\n") + c.key + "=" + value +
                   "\nFILES=f\nDICTIONARIES=d\nTEMP_FILES=t\n";
        };
        TempFolder::write("zantric.ini", ini(c.value));
        const bool used = *c.message == '\0';
        const std::string native = used ? c.expected : c.written;
        if (c.prepare == kFolder) fs::create_directories(native);
        if (c.prepare == kFile) TempFolder::write(native, "a file");
        const Settings config(recorder);
        const std::string key = c.key;
        EXPECT_EQ(key == "FILES"          ? config.filesFolder()
                  : key == "DICTIONARIES" ? config.dictionariesFolder()
                                          : config.tempFolder(),
                  c.expected);
        EXPECT_EQ(recorder.count(), used ? 0u : 1u);
        if (!used) {
            const std::string named = c.message == kPathIsAFile ? shownPath(c.expected) : "";
            EXPECT_EQ(
                std::tuple(recorder.last().text, recorder.last().title, recorder.last().style),
                std::tuple(c.message + named, "Problem Processing Zantric.ini", test::kMbOkStop));
        }
        std::error_code error;  // a name too long for the system is no folder either
        EXPECT_EQ(fs::is_directory(native.empty() ? "none" : native, error), used);
        EXPECT_EQ(TempFolder::read("zantric.ini"), ini(c.written));
    }
}

// A zantric.ini that is not a plain file of at most 1 MiB is reported once and then neither read
// (a FIFO would block for ever, a link to /dev/zero fill the memory) nor written over.
TEST(Settings, UnusableIniIsReportedAndLeftAlone) {
    const std::string settings = "[SETTINGS]\nTab Size=4\n";
    for (int kind = 0; kind < 5; ++kind) {  // FIFO, device, folder, 1 MiB and more, 1 MiB
        SCOPED_TRACE(kind);
        TempFolder folder;
        RecorderPresenter recorder;
        const bool usable = kind == 4;
        ASSERT_TRUE(kind != 0 || mkfifo("zantric.ini", 0600) == 0);
        if (kind == 1) fs::create_symlink("/dev/zero", "zantric.ini");
        if (kind == 2) fs::create_directory("zantric.ini");
        const std::size_t fill = kMaxProfileBytes - (usable ? settings.size() : 0);
        if (kind >= 3) TempFolder::write("zantric.ini", settings + std::string(fill, ';'));
        const auto before = fs::symlink_status("zantric.ini").type();
        const Settings config(recorder);
        EXPECT_EQ(config.filesFolder(), "./files");
        EXPECT_EQ(config.readInt("SETTINGS", "Tab Size", 6), usable ? 4 : 6);
        EXPECT_EQ(config.writeString("FONT", "Font Set", "1"), usable);
        EXPECT_EQ(recorder.count(), usable ? 0u : 1u);
        EXPECT_EQ(fs::symlink_status("zantric.ini").type(), before);
        if (usable) {  // the PATHS keys are missing: their default folders are made
            for (const char* name : {"files", "lexicons", "temp"})
                EXPECT_TRUE(fs::is_directory(name));
        } else {
            EXPECT_EQ(std::tuple(recorder.last().title, recorder.last().style),
                      std::tuple("Problem Processing Zantric.ini", test::kMbOkExclamation));
        }
    }
}

}  // namespace
}  // namespace zantric
