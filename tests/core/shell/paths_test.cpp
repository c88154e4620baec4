#include "core/shell/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/shell/backup.h"
#include "core/shell/file_replace.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::RecorderPresenter;
using test::TempFolder;

TEST(Paths, FileNameHelpers) {
    const struct {
        const char *path, *extension, *withLex, *withDotZix;
    } cases[] = {
        {"english.lex", "lex", "english.lex", "english.zix"},
        {"a.b.c", "c", "a.b.lex", "a.b.zix"},
        {"trailing.", "", "trailing.lex", "trailing.zix"},
        {"./temp/$$abc", "", "./temp/$$abc.lex", "./temp/$$abc.zix"},
        {"my\\words.txt", "txt", "my\\words.lex", "my\\words.zix"},
        {"dir.d/file", "", "dir.d/file.lex", "dir.d/file.zix"},
        {"c:\\x\\y/z.txt", "txt", "c:\\x\\y/z.lex", "c:\\x\\y/z.zix"},
        {"folder/", "", "folder/.lex", "folder/.zix"},
        {"./lexicons/.lex", "lex", "./lexicons/.lex", "./lexicons/.zix"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(extensionOf(c.path), c.extension);
        EXPECT_EQ(replaceExtension(c.path, "lex"), c.withLex);
        EXPECT_EQ(replaceExtension(c.path, ".zix"), c.withDotZix);
    }
    EXPECT_EQ(dropFirstHyphen("a-b-c"), "ab-c");
    EXPECT_EQ(dropFirstHyphen("cat"), "cat");
}

// Only regular files open, so a folder, a FIFO or a device under a file's name is refused at once
// instead of read without end or waited on for ever; the message shows the full native path and
// what stands there instead of a file.
TEST(Paths, FileOpenWithReportShowsTheProgramsMessage) {
    TempFolder folder;
    RecorderPresenter recorder;
    fs::create_directory("sub");
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    fs::create_symlink("/dev/zero", "zero");
    const std::string here = folder.path().string() + "/";
    const struct {
        const char *name, *mode;
        std::string shown;
    } cases[] = {
        {"./missing/x.ztr", "rb", here + "missing/x.ztr"},
        {"./sub", "rb", here + "sub (a folder, not a file)"},
        {"fifo", "rb", here + "fifo (a FIFO, not a file)"},
        {"fifo", "wb", here + "fifo (a FIFO, not a file)"},
        {"./zero", "rb", here + "zero (a device, not a file)"},
        {"/dev/null", "r+b", "/dev/null (a device, not a file)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.clear();
        EXPECT_FALSE(openFile(c.name, c.mode));  // the plain open stays silent
        EXPECT_EQ(recorder.count(), 0u);
        EXPECT_FALSE(fileOpenWithReport(recorder, c.name, c.mode));
        ASSERT_EQ(recorder.count(), 1u);
        EXPECT_EQ(recorder.last().text, "Unable to Open File: " + c.shown);
        EXPECT_EQ(recorder.last().title, "File Error.");
        EXPECT_EQ(recorder.last().style, test::kMbOkStop);
    }
    EXPECT_TRUE(fileOpenWithReport(recorder, "new.ztr", "wb"));
    EXPECT_TRUE(fileOpenWithReport(recorder, "./new.ztr", "r+b"));
    EXPECT_EQ(shownPath("/x/./y\\z"), "/x/y\\z");  // a backslash is part of a name
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
    TempFolder folder;
    std::istringstream names("$$a.$$$ $$a.zti $$tmp{{{.1 $$x A.LEX a.lex b.lex notes");
    for (std::string name; names >> name;) TempFolder::write("t/" + name, "");
    fs::create_directory("t/sub.lex");  // folders are never deleted
    const std::pair<const char*, const char*> cases[] = {
        {"./t/*.lex", "a.lex b.lex "},  // case-sensitive
        {"./t/$$tmp{{{.*", "$$tmp{{{.1 "},
        {"./t/$$*.*", "$$a.$$$ $$a.zti $$tmp{{{.1 $$x "},  // ".*" also takes "$$x"
        {"./t/*.$$$", "$$a.$$$ "},
        {"./t/$$*a.zti", "$$a.zti "},  // a star may stand for nothing
        {"./t/?.lex", "a.lex b.lex "},
        {"./t/nothing*", ""},
        {"./missing/*", ""},
    };
    for (auto [pattern, matched] : cases) {
        std::vector<fs::path> found = filesMatching(pattern);
        std::sort(found.begin(), found.end());
        std::string named;
        for (const fs::path& name : found) named += name.filename().string() + " ";
        EXPECT_EQ(named, matched) << pattern;
    }
    deleteMatching("./t/*");
    EXPECT_EQ(contentsOf("t"), "sub.lex=folder ");
    TempFolder::write("t/x.$$$", "");
    fs::current_path("t");
    deleteMatching("*.$$$");  // without a folder: the current one
    EXPECT_FALSE(fs::exists("x.$$$"));
}

// The cases the replacing of a file does not walk.
TEST(Paths, KeepBackup) {
    enum Backup { kNone, kFile, kFolder };  // what is at the backup's name before
    const struct {
        const char* name;
        Backup backup;
        const char* left;  // the folder's files afterwards, with their contents
    } cases[] = {{"d/words", kFile, "words.lxb=dictionary "},
                 {"d/words.lex", kFolder, "words.lex=dictionary words.lxb=folder "},
                 {"d/words.lxb", kNone, "words.lxb=dictionary "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        TempFolder::write(c.name, "dictionary");
        const std::string backup = replaceExtension(c.name, "lxb");
        if (c.backup != kNone) TempFolder::write(backup + (c.backup == kFile ? "" : "/in"), "old");
        const bool kept = c.backup != kFolder;
        const Status status = keepBackup(c.name);
        EXPECT_EQ(status.ok(), kept);
        EXPECT_EQ(contentsOf("d"), c.left);
        if (!kept) {
            EXPECT_EQ(std::tuple(status.message().text, status.message().title),
                      std::tuple("Zantric was unable to delete this file: " +
                                     folder.path().string() + "/d/words.lxb",
                                 "File Error."));
        }
    }
}

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
        Status kept;
        const auto perms = fs::perms::owner_read | fs::perms::owner_write;
        TempFolder::write("temp/new.tmp", "new");
        fs::create_directory("lexicons");
        if (c.targetExists) TempFolder::write("lexicons/words.lex", "old");
        if (c.targetExists) fs::permissions("lexicons/words.lex", perms);
        if (c.olderBackup) TempFolder::write("lexicons/words.lxb", "older");
        ASSERT_TRUE(
            replaceFile("./temp/new.tmp", "./lexicons/words.lex", c.keepOld ? &kept : nullptr));
        EXPECT_EQ(TempFolder::read("lexicons/words.lex"), "new");
        EXPECT_TRUE(!c.targetExists || fs::status("lexicons/words.lex").permissions() == perms);
        EXPECT_FALSE(fs::exists("temp/new.tmp") || fs::exists(kStaging));
        EXPECT_EQ(fs::exists("lexicons/words.lxb"), c.backupAfter != nullptr);
        EXPECT_EQ(TempFolder::read("lexicons/words.lxb"), c.backupAfter ? c.backupAfter : "");
        EXPECT_TRUE(kept.ok());
    }
}

// A failure leaves the target and the source; a source on another file system (/dev/shm, where
// a rename cannot work) is copied beside the target first.
TEST(FileReplace, FailureOrAnotherFileSystem) {
    TempFolder folder;
    Status kept;
    TempFolder::write("lexicons/words.lex", "old");
    EXPECT_FALSE(replaceFile("missing.tmp", "./lexicons/words.lex", &kept));
    EXPECT_EQ(TempFolder::read("lexicons/words.lex"), "old");
    TempFolder::write("new.tmp", "new");
    fs::create_directories("lexicons/folder.lex/inside");
    EXPECT_FALSE(replaceFile("new.tmp", "./lexicons/folder.lex", &kept));
    EXPECT_EQ(TempFolder::read("new.tmp"), "new");
    EXPECT_TRUE(fs::is_directory("lexicons/folder.lex/inside"));
    EXPECT_FALSE(fs::exists(kStaging));
    struct stat shm, here;
    if (stat("/dev/shm", &shm) != 0 || stat(".", &here) != 0 || shm.st_dev == here.st_dev) {
        GTEST_SKIP() << "no second file system to move from";
    }
    const fs::path source = fs::path("/dev/shm") / ("zantric-" + folder.path().filename().string());
    TempFolder::write(source, "new");
    ASSERT_TRUE(replaceFile(source.string(), "./lexicons/words.lex", &kept));
    EXPECT_EQ(TempFolder::read("lexicons/words.lex"), "new");
    EXPECT_EQ(TempFolder::read("lexicons/words.lxb"), "old");
    EXPECT_FALSE(fs::exists(source) || fs::exists(kStaging));
}

}  // namespace
}  // namespace zantric
