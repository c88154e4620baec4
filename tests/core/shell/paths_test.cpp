#include "core/shell/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/shell/backup.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::RecordingPresenter;
using test::TempFolder;

TEST(Paths, FileNameHelpers) {
    const struct {
        const char *path, *extension, *withLex, *withDotZix, *name, *folder;
    } cases[] = {
        {"english.lex", "lex", "english.lex", "english.zix", "english.lex", ""},
        {"a.b.c", "c", "a.b.lex", "a.b.zix", "a.b.c", ""},
        {"trailing.", "", "trailing.lex", "trailing.zix", "trailing.", ""},
        {".\\temp\\$$abc", "", ".\\temp\\$$abc.lex", ".\\temp\\$$abc.zix", "$$abc", ".\\temp\\"},
        {"dir.d/file", "", "dir.d/file.lex", "dir.d/file.zix", "file", "dir.d/"},
        {"c:\\x\\y/z.txt", "txt", "c:\\x\\y/z.lex", "c:\\x\\y/z.zix", "z.txt", "c:\\x\\y/"},
        {"folder\\", "", "folder\\.lex", "folder\\.zix", "", "folder\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(extensionOf(c.path), c.extension);
        EXPECT_EQ(replaceExtension(c.path, "lex"), c.withLex);
        EXPECT_EQ(replaceExtension(c.path, ".zix"), c.withDotZix);
        EXPECT_EQ(namePart(c.path), c.name);
        EXPECT_EQ(folderPart(c.path), c.folder);
    }
    EXPECT_EQ(placeInFolder(".\\lexicons", "a.lex"), ".\\lexicons\\a.lex");
    EXPECT_EQ(placeInFolder(".\\lexicons", "x\\a.lex"), "x\\a.lex");
    EXPECT_EQ(placeInFolder(".\\lexicons", "/tmp/a.lex"), "/tmp/a.lex");
    EXPECT_EQ(placeInFolder("", "a.lex"), "\\a.lex");
    EXPECT_EQ(dropFirstHyphen("a-b-c"), "ab-c");
    EXPECT_EQ(dropFirstHyphen("cat"), "cat");
    EXPECT_EQ(nativePath(".\\temp\\$$abc.zti"), "./temp/$$abc.zti");
}

// Only regular files open, so a folder, a FIFO or a device under a file's name is refused at once
// instead of read without end or waited on for ever; the message shows the full native path.
TEST(Paths, FileOpenWithReportShowsTheProgramsMessage) {
    TempFolder folder;
    RecordingPresenter recorder;
    fs::create_directory("sub");
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    fs::create_symlink("/dev/zero", "zero");
    const std::string here = folder.path().string() + "/";
    const struct {
        const char *name, *mode;
        std::string shown;
    } cases[] = {
        {".\\missing\\x.ztr", "rb", here + "missing/x.ztr"},
        {".\\sub", "rb", here + "sub"},
        {"fifo", "rb", here + "fifo"},
        {"fifo", "wb", here + "fifo"},
        {".\\zero", "rb", here + "zero"},
        {"/dev/null", "r+b", "/dev/null"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.clear();
        EXPECT_FALSE(openFile(c.name, c.mode));  // the plain open stays silent
        EXPECT_EQ(recorder.count(), 0u);
        EXPECT_FALSE(fileOpenWithReport(c.name, c.mode));
        ASSERT_EQ(recorder.count(), 1u);
        EXPECT_EQ(recorder.last().text, "Unable to Open File: " + c.shown);
        EXPECT_EQ(recorder.last().title, "File Error.");
        EXPECT_EQ(recorder.last().style, kMbOkStop);
    }
    EXPECT_TRUE(fileOpenWithReport("new.ztr", "wb"));
    EXPECT_TRUE(fileOpenWithReport(".\\new.ztr", "r+b"));
    EXPECT_EQ(shownPath("/x/./y\\z"), "/x/y/z");
}

// The names left in a folder, sorted, with their contents ("folder" for a folder).
std::string contentsOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path& path = entry.path();
        names.push_back(path.filename().string() + "=" +
                        (fs::is_directory(path) ? "folder" : TempFolder::read(path)));
    }
    std::sort(names.begin(), names.end());
    std::ostringstream out;
    for (const std::string& name : names) out << name << " ";
    return out.str();
}

TEST(Paths, DeleteMatchingWildcards) {
    const std::string all = "$$a.$$$ $$a.zti $$tmp{{{.1 $$x A.LEX a.lex b.lex notes";
    const std::pair<const char*, const char*> cases[] = {
        // pattern, files left
        {".\\t\\*.lex", "$$a.$$$ $$a.zti $$tmp{{{.1 $$x A.LEX notes"},  // case-sensitive
        {".\\t\\$$tmp{{{.*", "$$a.$$$ $$a.zti $$x A.LEX a.lex b.lex notes"},
        {".\\t\\$$*.*", "A.LEX a.lex b.lex notes"},  // ".*" also takes "$$x"
        {".\\t\\*.$$$", "$$a.zti $$tmp{{{.1 $$x A.LEX a.lex b.lex notes"},
        {".\\t\\?.lex", "$$a.$$$ $$a.zti $$tmp{{{.1 $$x A.LEX notes"},
        {"./t/*", ""},
        {".\\t\\nothing*", all.c_str()},
        {".\\missing\\*", all.c_str()},
    };
    for (auto [pattern, left] : cases) {
        SCOPED_TRACE(pattern);
        TempFolder folder;
        std::istringstream names(all);
        for (std::string name; names >> name;) TempFolder::write("t/" + name, "");
        fs::create_directory("t/sub.lex");  // folders are never deleted
        deleteMatching(pattern);
        std::string expected;
        std::istringstream kept(left);
        for (std::string name; kept >> name;) expected += name + "= ";
        EXPECT_EQ(contentsOf("t"), expected + "sub.lex=folder ");
        fs::current_path("t");
        deleteMatching("*.$$$");  // without a folder: the current one
        EXPECT_FALSE(fs::exists("$$a.$$$"));
    }
}

// The cases the replacing of a file does not walk (see file_replace_test.cpp).
TEST(Paths, KeepBackup) {
    enum Backup { kNone, kFile, kFolder };  // what is at the backup's name before
    const struct {
        const char* name;
        Backup backup;
        const char* left;  // the folder's files afterwards, with their contents
    } cases[] = {
        {"d/words", kFile, "words.lxb=dictionary "},
        {"d\\words.lex", kFolder, "words.lex=dictionary words.lxb=folder "},
        {"d\\words.lxb", kNone, "words.lxb=dictionary "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        RecordingPresenter recorder;
        TempFolder::write(nativePath(c.name), "dictionary");
        const std::string backup = nativePath(replaceExtension(c.name, "lxb"));
        if (c.backup != kNone) TempFolder::write(backup + (c.backup == kFile ? "" : "/in"), "old");
        const bool kept = c.backup != kFolder;
        EXPECT_EQ(keepBackup(c.name), kept);
        EXPECT_EQ(contentsOf("d"), c.left);
        EXPECT_EQ(recorder.count(), kept ? 0u : 1u);
        if (!kept) {
            EXPECT_EQ(recorder.last().text, "Zantric was unable to delete this file: " +
                                                folder.path().string() + "/d/words.lxb");
            EXPECT_EQ(recorder.last().title, "File Error.");
        }
    }
}

}  // namespace
}  // namespace zantric
