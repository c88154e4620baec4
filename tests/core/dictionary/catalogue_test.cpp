// The dictionary catalogue: what the folder scan lists and reports, the selection kept in the
// files' headers, adding, removing and retiring entries, and the process's temporary names.
#include "core/dictionary/catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"
#include "support/dictionary_files.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::writeDictionary;

constexpr const char* kIni =
    "[PATHS]\nFILES=.\\files\nDICTIONARIES=.\\lexicons\nTEMP_FILES=.\\temp\n";

// Catalogue path of a name in the dictionaries folder.
std::string lexPath(const std::string& name) { return ".\\lexicons\\" + name; }
// The same file for the test's own file operations.
fs::path lexFile(const std::string& name) { return fs::path("lexicons") / name; }

// A dictionary-sized file whose mark is not 0x59B1.
std::string junkBytes() { return std::string(2200, 'x'); }

std::string badFilesReport(const std::vector<std::string>& paths) {
    std::string text = loadString(801);
    for (const std::string& path : paths) text += "\n" + shownPath(path);
    return text;
}

class CatalogueTest : public ::testing::Test {
protected:
    CatalogueTest() {
        test::TempFolder::write("zantric.ini", kIni);
        Settings::resetForTests();
        Catalogue::resetForTests();
    }
    ~CatalogueTest() override { Catalogue::resetForTests(); }

    // The catalogue's paths in its order.
    static std::vector<std::string> listed() {
        std::vector<std::string> paths;
        for (const CatalogueEntry& entry : Catalogue::instance().entries()) {
            paths.push_back(entry.path());
        }
        return paths;
    }

    test::RecordingPresenter m_messages;
    test::TempFolder m_folder;
};

TEST_F(CatalogueTest, ScanListsLexFilesLowerCasedInPathOrder) {
    writeDictionary(lexPath("Big.LEX"), {"cat", "dog"});
    writeDictionary(lexPath("a.lex"), {"apple"});
    test::TempFolder::write(lexFile("notes.txt"), junkBytes());
    fs::create_directory(lexFile("folder.lex"));

    Catalogue& names = Catalogue::instance();

    EXPECT_EQ(listed(), (std::vector<std::string>{lexPath("a.lex"), lexPath("big.lex")}));
    EXPECT_EQ(names.entry(1).filePath(), lexPath("Big.LEX"));
    EXPECT_EQ(names.entry(1).displayName(), "big.lex");
    EXPECT_EQ(names.entry(1).header().wordCount, 2u);
    EXPECT_FALSE(names.entry(1).changed());
    EXPECT_EQ(m_messages.count(), 0u);
}

// Which files the scan lists, and the one warning it shows for the rest.
TEST_F(CatalogueTest, ScanReportsFilesWithoutAValidHeader) {
    // A one-word dictionary cut to `keep` bytes, or a dictionary-sized file without the mark.
    struct File {
        std::string name;
        std::size_t keep = std::string::npos;
        bool junk = false;
    };
    struct Case {
        const char* what;
        std::vector<File> files;
        std::vector<std::string> listed;
        std::vector<std::string> reported;  // paths named in message 801
        bool emptyWarning;                  // message 802
    };
    const std::vector<Case> cases = {
        {"empty folder", {}, {}, {}, true},
        {"junk only", {{"junk.lex", 0, true}}, {}, {lexPath("junk.lex")}, false},
        {"junk beside a dictionary",
         {{"good.lex"}, {"Junk.lex", 0, true}, {"BAD.lex", 0, true}},
         {lexPath("good.lex")},
         {lexPath("bad.lex"), lexPath("junk.lex")},
         false},
        {"empty file", {{"zero.lex", 0}}, {}, {lexPath("zero.lex")}, false},
        {"index only", {{"index.lex", 2080}}, {}, {lexPath("index.lex")}, false},
        {"mark without selection", {{"part.lex", 2094}}, {}, {lexPath("part.lex")}, false},
        {"one byte short", {{"short.lex", 2095}}, {}, {lexPath("short.lex")}, false},
        {"empty dictionary", {{"empty.lex", 2096}}, {lexPath("empty.lex")}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        test::TempFolder::write("zantric.ini", kIni);
        Settings::resetForTests();
        Catalogue::resetForTests();
        m_messages.clear();
        for (const File& file : c.files) {
            if (file.junk) {
                test::TempFolder::write(lexFile(file.name), junkBytes());
                continue;
            }
            writeDictionary(lexPath(file.name), {"cat"});
            if (file.keep != std::string::npos) fs::resize_file(lexFile(file.name), file.keep);
        }

        Catalogue::instance();

        EXPECT_EQ(listed(), c.listed);
        std::vector<test::RecordedMessage> shown = m_messages.messages();
        ASSERT_EQ(shown.size(), c.reported.empty() && !c.emptyWarning ? 0u : 1u);
        if (shown.empty()) continue;
        EXPECT_EQ(shown[0].text, c.emptyWarning ? "Zantric could not find any dictionaries. "
                                                : badFilesReport(c.reported));
        EXPECT_EQ(shown[0].title, "Warning");
        EXPECT_EQ(shown[0].style, kMbOkExclamation);
        EXPECT_FALSE(shown[0].hasOwner);
    }
}

TEST_F(CatalogueTest, SelectionReachesOnlyTheHeaderBytesAtTheEnd) {
    writeDictionary(lexPath("words.lex"), {"cat", "dog", "mouse"});
    writeDictionary(lexPath("other.lex"), {"ant"});
    const std::string before = test::TempFolder::read(lexFile("words.lex"));
    const std::string otherBefore = test::TempFolder::read(lexFile("other.lex"));

    Catalogue& names = Catalogue::instance();
    EXPECT_FALSE(names.anySelected());
    EXPECT_TRUE(names.setSelected(lexPath("words.lex"), true));
    EXPECT_TRUE(names.isSelected(lexPath("words.lex")));
    EXPECT_FALSE(names.isSelected(lexPath("other.lex")));
    EXPECT_EQ(names.selectedCount(), 1);
    EXPECT_TRUE(names.anySelected());
    EXPECT_EQ(test::TempFolder::read(lexFile("words.lex")), before) << "written before the end";

    Catalogue::destroyInstance();

    std::string expected = before;
    expected[2094] = 1;
    EXPECT_EQ(test::TempFolder::read(lexFile("words.lex")), expected);
    EXPECT_EQ(test::TempFolder::read(lexFile("other.lex")), otherBefore);
    EXPECT_EQ(m_messages.count(), 0u);

    // The next start reads the selection back; switching it off again restores the bytes.
    EXPECT_TRUE(Catalogue::instance().isSelected(lexPath("words.lex")));
    Catalogue::instance().setSelected(lexPath("words.lex"), false);
    Catalogue::destroyInstance();
    EXPECT_EQ(test::TempFolder::read(lexFile("words.lex")), before);
}

TEST_F(CatalogueTest, HeaderThatCannotBeSavedIsReportedAndTheOthersAreWritten) {
    writeDictionary(lexPath("gone.lex"), {"cat"});
    writeDictionary(lexPath("kept.lex"), {"dog"});
    Catalogue& names = Catalogue::instance();
    names.setSelected(lexPath("gone.lex"), true);
    names.setSelected(lexPath("kept.lex"), true);
    fs::remove(lexFile("gone.lex"));

    Catalogue::destroyInstance();

    ASSERT_EQ(m_messages.count(), 1u);
    EXPECT_EQ(m_messages.last().text, "Unable to open: " + shownPath(lexPath("gone.lex")) +
                                          "\n\nZantric cannot save dictionary header details.");
    EXPECT_EQ(m_messages.last().title, "File Error");
    EXPECT_EQ(m_messages.last().style, kMbOk);
    EXPECT_FALSE(fs::exists(lexFile("gone.lex"))) << "a missing file is not created";
    EXPECT_EQ(static_cast<unsigned char>(test::TempFolder::read(lexFile("kept.lex"))[2094]), 1);
}

TEST_F(CatalogueTest, SelectionOfAnUnlistedPath) {
    Catalogue& names = Catalogue::instance();
    EXPECT_FALSE(names.setSelected(lexPath("none.lex"), true));
    try {
        names.isSelected(lexPath("none.lex"));
        FAIL() << "no exception";
    } catch (const ZantricException& e) {
        EXPECT_EQ(e.message(), (m_folder.path() / "lexicons/none.lex").string() +
                                   " is not contained in the Dictionary List");
    }
}

TEST_F(CatalogueTest, DeleteRetiresTheFileAsABackup) {
    writeDictionary(lexPath("old.lex"), {"cat"});
    const std::string first = test::TempFolder::read(lexFile("old.lex"));
    Catalogue& names = Catalogue::instance();

    EXPECT_TRUE(names.deleteDictionary(lexPath("old.lex")));
    EXPECT_EQ(names.count(), 0u);
    EXPECT_FALSE(fs::exists(lexFile("old.lex")));
    EXPECT_EQ(test::TempFolder::read(lexFile("old.lxb")), first);

    // A later dictionary of the same name replaces that backup.
    writeDictionary(lexPath("old.lex"), {"dog", "mouse"});
    const std::string second = test::TempFolder::read(lexFile("old.lex"));
    ASSERT_TRUE(names.add(lexPath("old.lex")));
    EXPECT_TRUE(names.deleteDictionary(lexPath("old.lex")));
    EXPECT_EQ(test::TempFolder::read(lexFile("old.lxb")), second);

    EXPECT_FALSE(names.deleteDictionary(lexPath("old.lex"))) << "no longer listed";
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(CatalogueTest, DeleteThatCannotRetireKeepsFileAndEntry) {
    writeDictionary(lexPath("stuck.lex"), {"cat"});
    // A folder in the backup's place cannot be deleted as an older backup.
    fs::create_directories(lexFile("stuck.lxb") / "inside");
    Catalogue& names = Catalogue::instance();

    EXPECT_FALSE(names.deleteDictionary(lexPath("stuck.lex")));

    EXPECT_NE(names.find(lexPath("stuck.lex")), nullptr);
    EXPECT_TRUE(fs::exists(lexFile("stuck.lex")));
    ASSERT_EQ(m_messages.count(), 1u);
    EXPECT_EQ(m_messages.last().text,
              "Zantric was unable to delete this file: " + shownPath(lexPath("stuck.lxb")));
    EXPECT_EQ(m_messages.last().title, "File Error.");
    EXPECT_EQ(m_messages.last().style, kMbOkStop);
}

TEST_F(CatalogueTest, AddRemoveAndFind) {
    writeDictionary(lexPath("b.lex"), {"cat"});
    Catalogue& names = Catalogue::instance();
    ASSERT_EQ(names.count(), 1u);
    m_messages.clear();

    EXPECT_FALSE(names.add(lexPath("b.lex"))) << "already listed";
    EXPECT_EQ(names.count(), 1u);

    writeDictionary(lexPath("a.lex"), {"cat", "dog"});
    writeDictionary(lexPath("C.lex"), {"ant"});
    EXPECT_TRUE(names.add(lexPath("a.lex")));
    EXPECT_TRUE(names.add(lexPath("C.lex")));  // kept as given: only the scan lower-cases
    EXPECT_EQ(listed(),
              (std::vector<std::string>{lexPath("C.lex"), lexPath("a.lex"), lexPath("b.lex")}));
    const CatalogueEntry* added = names.find(lexPath("a.lex"));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->header().wordCount, 2u);
    EXPECT_FALSE(added->changed());

    EXPECT_FALSE(names.add(lexPath("missing.lex")));
    ASSERT_EQ(m_messages.count(), 1u);
    EXPECT_EQ(m_messages.last().text, "Unable to open: " + shownPath(lexPath("missing.lex")) +
                                          "\n\nZantric will ignore this dictionary.");
    EXPECT_EQ(m_messages.last().title, "File Error");
    EXPECT_EQ(names.find(lexPath("missing.lex")), nullptr);

    EXPECT_TRUE(names.remove(lexPath("b.lex")));
    EXPECT_FALSE(names.remove(lexPath("b.lex")));
    EXPECT_TRUE(fs::exists(lexFile("b.lex"))) << "remove leaves the file alone";
    EXPECT_EQ(names.find(lexPath("b.lex")), nullptr);
}

TEST_F(CatalogueTest, TemporaryNames) {
    writeDictionary(lexPath("a.lex"), {"cat"});
    test::TempFolder::write(lexFile("b.lex"), junkBytes());
    writeDictionary(lexPath("c.lex"), {"dog"});
    Catalogue& names = Catalogue::instance();

    const std::string base = ".\\temp\\" + tempBaseName();
    EXPECT_EQ(names.resultsDataName(), base + ".$$$");
    EXPECT_EQ(names.resultsIndexName(), base + ".zix");
    EXPECT_EQ(names.subsetDictionaryName(), base + ".MM_");

    // Every entry made takes the next number, the bad file's included; the number is in hex.
    EXPECT_EQ(names.find(lexPath("a.lex"))->subsetFileName(), base + ".0");
    EXPECT_EQ(names.find(lexPath("c.lex"))->subsetFileName(), base + ".2");
    for (int i = 3; i <= 17; ++i) {
        const std::string name = "d" + std::to_string(i) + ".lex";
        writeDictionary(lexPath(name), {"ant"});
        ASSERT_TRUE(names.add(lexPath(name)));
    }
    EXPECT_EQ(names.find(lexPath("d10.lex"))->subsetFileName(), base + ".a");
    EXPECT_EQ(names.find(lexPath("d17.lex"))->subsetFileName(), base + ".11");
}

// The one rule every command applies to a typed dictionary name: what it names, and what it
// refuses before any work (tests/cli/words_test.sh runs it through every command).
TEST(DictionaryFileName, NamesAndRefusals) {
    const std::string longest(kMaxFileNameBytes - 4, 'a');
    struct Case {
        std::string typed;
        std::string file;     // "" when refused
        const char* refusal;  // nullptr when named
    };
    const Case cases[] = {
        {"english", "english.lex", nullptr},
        {"English.LEX", "english.lex", nullptr},
        {"my words.lex", "my words.lex", nullptr},
        {"old.words.lex", "old.words.lex", nullptr},
        {longest, longest + ".lex", nullptr},
        {longest + ".lex", longest + ".lex", nullptr},
        {"english.old", "", kDictionaryNameRule},
        {"english.", "", kDictionaryNameRule},
        {".hidden", "", kDictionaryNameRule},
        {"", "", kDictionaryNameRule},
        {".lex", "", kDictionaryNameRule},
        {"..lex", "", kDictionaryNameRule},
        {"a/b.lex", "", kDictionaryNameRule},
        {"a\\b", "", kDictionaryNameRule},
        {longest + "a.lex", "", kDictionaryNameTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        std::string refusal = "(none)";
        EXPECT_EQ(dictionaryFileName(c.typed, &refusal), c.file);
        EXPECT_EQ(refusal, c.refusal ? c.refusal : "(none)");
    }
}

}  // namespace
}  // namespace zantric
