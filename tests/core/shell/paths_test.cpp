#include "core/shell/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::RecordingPresenter;
using test::TempFolder;

TEST(Paths, FileNameHelpers) {
    struct Case {
        const char* path;
        const char* extension;
        const char* withLex;     // replaceExtension(path, "lex")
        const char* withDotZix;  // replaceExtension(path, ".zix")
        const char* name;
        const char* folder;
    };
    const Case cases[] = {
        {"english.lex", "lex", "english.lex", "english.zix", "english.lex", ""},
        {"words", "", "words.lex", "words.zix", "words", ""},
        {"a.b.c", "c", "a.b.lex", "a.b.zix", "a.b.c", ""},
        {"trailing.", "", "trailing.lex", "trailing.zix", "trailing.", ""},
        {".\\lexicons\\big.lex", "lex", ".\\lexicons\\big.lex", ".\\lexicons\\big.zix", "big.lex",
         ".\\lexicons\\"},
        {".\\temp\\$$abc", "", ".\\temp\\$$abc.lex", ".\\temp\\$$abc.zix", "$$abc", ".\\temp\\"},
        {"dir.d/file", "", "dir.d/file.lex", "dir.d/file.zix", "file", "dir.d/"},
        {"c:\\x\\y/z.txt", "txt", "c:\\x\\y/z.lex", "c:\\x\\y/z.zix", "z.txt", "c:\\x\\y/"},
        {"folder\\", "", "folder\\.lex", "folder\\.zix", "", "folder\\"},
        {"", "", ".lex", ".zix", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(extensionOf(c.path), c.extension);
        EXPECT_EQ(replaceExtension(c.path, "lex"), c.withLex);
        EXPECT_EQ(replaceExtension(c.path, ".zix"), c.withDotZix);
        EXPECT_EQ(namePart(c.path), c.name);
        EXPECT_EQ(folderPart(c.path), c.folder);
    }
}

TEST(Paths, PlacingDroppingAndNativeForms) {
    EXPECT_EQ(placeInFolder(".\\lexicons", "a.lex"), ".\\lexicons\\a.lex");
    EXPECT_EQ(placeInFolder(".\\lexicons", "x\\a.lex"), "x\\a.lex");
    EXPECT_EQ(placeInFolder(".\\lexicons", "/tmp/a.lex"), "/tmp/a.lex");
    EXPECT_EQ(placeInFolder("", "a.lex"), "\\a.lex");

    EXPECT_EQ(dropFirstHyphen("co-op"), "coop");
    EXPECT_EQ(dropFirstHyphen("a-b-c"), "ab-c");
    EXPECT_EQ(dropFirstHyphen("cat"), "cat");
    EXPECT_EQ(dropFirstHyphen(""), "");

    EXPECT_EQ(nativePath(".\\temp\\$$abc.zti"), "./temp/$$abc.zti");
    EXPECT_EQ(nativePath("/already/native"), "/already/native");
}

TEST(Paths, FileOperationsUseTheProgramsPathForms) {
    TempFolder folder;
    TempFolder::write("sub/a.txt", "abc");
    EXPECT_TRUE(fileExists(".\\sub\\a.txt"));
    EXPECT_TRUE(fileExists(".\\sub"));  // a folder is there too
    EXPECT_FALSE(fileExists(".\\sub\\b.txt"));

    EXPECT_TRUE(renameFile(".\\sub\\a.txt", ".\\sub\\b.txt"));
    EXPECT_FALSE(renameFile(".\\sub\\a.txt", ".\\sub\\c.txt"));
    FilePtr file = openFile(".\\sub\\b.txt", "rb");
    ASSERT_TRUE(file);
    char bytes[4] = {};
    EXPECT_EQ(std::fread(bytes, 1, 3, file.get()), 3u);
    EXPECT_STREQ(bytes, "abc");
    file.reset();

    EXPECT_FALSE(removeFile(".\\sub"));  // never a folder
    EXPECT_TRUE(removeFile(".\\sub\\b.txt"));
    EXPECT_FALSE(removeFile(".\\sub\\b.txt"));
    EXPECT_TRUE(fs::is_directory("sub"));
}

// Messages show the full native path; only regular files open, so a folder, a FIFO or a device
// under a file's name is refused at once instead of read without end or waited on for ever.
TEST(Paths, FileOpenWithReportShowsTheProgramsMessage) {
    TempFolder folder;
    RecordingPresenter recorder;
    fs::create_directory("sub");
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    fs::create_symlink("/dev/zero", "zero");
    struct Case {
        const char* name;
        const char* mode;
        std::string shown;
    };
    const Case cases[] = {
        {".\\missing\\x.ztr", "rb", (folder.path() / "missing/x.ztr").string()},
        {".\\sub", "rb", (folder.path() / "sub").string()},
        {"fifo", "rb", (folder.path() / "fifo").string()},
        {"fifo", "wb", (folder.path() / "fifo").string()},
        {".\\zero", "rb", (folder.path() / "zero").string()},
        {"/dev/null", "r+b", "/dev/null"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.clear();
        EXPECT_FALSE(openFile(c.name, c.mode));  // the plain open stays silent
        EXPECT_EQ(recorder.count(), 0u);
        EXPECT_FALSE(fileOpenWithReport(c.name, c.mode));
        ASSERT_EQ(recorder.count(), 1u);
        EXPECT_EQ(recorder.last().text, "Unable to Open File: " + c.shown);
        EXPECT_EQ(recorder.last().title, "File Error.");
        EXPECT_EQ(recorder.last().style, kMbOkStop);
        EXPECT_FALSE(recorder.last().hasOwner);
    }
    EXPECT_TRUE(fileOpenWithReport("new.ztr", "wb"));
    EXPECT_TRUE(fileOpenWithReport(".\\new.ztr", "r+b"));
    EXPECT_EQ(shownPath(".\\temp\\$$a.$$$"), (folder.path() / "temp/$$a.$$$").string());
    EXPECT_EQ(shownPath("/x/./y\\z"), "/x/y/z");
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Paths, DeleteMatchingWildcards) {
    const std::vector<std::string> allFiles = {"$$abc.$$$",  "$$abc.zix", "$$abc.zti", "$$tmp{{{.1",
                                               "$$tmp{{{.a", "$$x",       "A.LEX",     "a.lex",
                                               "b.lex",      "notes"};
    struct Case {
        const char* pattern;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {".\\t\\*.lex",
         {"$$abc.$$$", "$$abc.zix", "$$abc.zti", "$$tmp{{{.1", "$$tmp{{{.a", "$$x", "A.LEX",
          "notes"}},  // case-sensitive
        {".\\t\\$$tmp{{{.*",
         {"$$abc.$$$", "$$abc.zix", "$$abc.zti", "$$x", "A.LEX", "a.lex", "b.lex", "notes"}},
        {".\\t\\$$*.*", {"A.LEX", "a.lex", "b.lex", "notes"}},  // ".*" also takes "$$x"
        {".\\t\\*.$$$",
         {"$$abc.zix", "$$abc.zti", "$$tmp{{{.1", "$$tmp{{{.a", "$$x", "A.LEX", "a.lex", "b.lex",
          "notes"}},
        {".\\t\\?.lex",
         {"$$abc.$$$", "$$abc.zix", "$$abc.zti", "$$tmp{{{.1", "$$tmp{{{.a", "$$x", "A.LEX",
          "notes"}},
        {"./t/*", {}},
        {".\\t\\*.*", {}},
        {".\\t\\nothing*", allFiles},
        {".\\missing\\*", allFiles},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        TempFolder folder;
        for (const std::string& name : allFiles) TempFolder::write("t/" + name, "");
        fs::create_directory("t/sub.lex");  // folders are never deleted
        std::vector<std::string> left = c.left;
        left.push_back("sub.lex");
        std::sort(left.begin(), left.end());
        deleteMatching(c.pattern);
        EXPECT_EQ(filesIn("t"), left);
    }
}

TEST(Paths, DeleteMatchingWithoutFolderWorksInTheCurrentFolder) {
    TempFolder folder;
    TempFolder::write("x.zti", "");
    TempFolder::write("y.txt", "");
    deleteMatching("*.zti");
    EXPECT_EQ(filesIn("."), std::vector<std::string>{"y.txt"});
}

TEST(Paths, KeepBackup) {
    struct Case {
        const char* name;
        bool fileThere;
        bool backupThere;
        bool backupIsFolder;
        bool result;
        std::vector<std::string> left;  // files of the folder afterwards, with their contents
        const char* message;
    };
    const Case cases[] = {
        {"d\\words.lex", false, false, false, true, {}, ""},
        {"d\\words.lex", false, true, false, true, {"words.lxb=old backup"}, ""},
        {"d\\words.lex", true, false, false, true, {"words.lxb=dictionary"}, ""},
        {"d\\words.lex", true, true, false, true, {"words.lxb=dictionary"}, ""},
        {"d/words", true, false, false, true, {"words.lxb=dictionary"}, ""},
        {"d\\words.lex",
         true,
         true,
         true,
         false,
         {"words.lex=dictionary", "words.lxb=folder"},
         "Zantric was unable to delete this file: (folder)/d/words.lxb"},
        {"d\\words.lxb", true, false, false, true, {"words.lxb=dictionary"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " file " << c.fileThere << " backup "
                                        << c.backupThere << " folder " << c.backupIsFolder);
        TempFolder folder;
        RecordingPresenter recorder;
        fs::create_directory("d");
        std::string native = nativePath(c.name);
        if (c.fileThere) TempFolder::write(native, "dictionary");
        std::string backup = nativePath(replaceExtension(c.name, "lxb"));
        if (c.backupThere && c.backupIsFolder) {
            TempFolder::write(backup + "/inside", "");
        } else if (c.backupThere) {
            TempFolder::write(backup, "old backup");
        }

        EXPECT_EQ(keepBackup(c.name), c.result);

        std::vector<std::string> left;
        for (const std::string& name : filesIn("d")) {
            fs::path path = fs::path("d") / name;
            left.push_back(name + "=" +
                           (fs::is_directory(path) ? "folder" : TempFolder::read(path)));
        }
        EXPECT_EQ(left, c.left);
        if (*c.message == '\0') {
            EXPECT_EQ(recorder.count(), 0u);
        } else {
            ASSERT_EQ(recorder.count(), 1u);
            std::string message = c.message;
            message.replace(message.find("(folder)"), 8, folder.path().string());
            EXPECT_EQ(recorder.last().text, message);
            EXPECT_EQ(recorder.last().title, "File Error.");
            EXPECT_EQ(recorder.last().style, kMbOkStop);
            EXPECT_FALSE(recorder.last().hasOwner);
        }
    }
}

}  // namespace
}  // namespace zantric
