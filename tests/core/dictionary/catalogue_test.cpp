// The dictionary catalogue: what the folder scan lists and reports, the selection kept in the
// files' headers, adding, removing and retiring entries, the process's temporary names, and the
// rule for a typed dictionary name. Word look-up across it and the rewrite of a dictionary with a
// word more or less: the words written and their order, the backup, the entry afterwards, and
// what cancel, failure and a damaged dictionary leave behind.
#include "core/dictionary/catalogue.h"

#include "core/dictionary/word_update.h"
#include "core/shell/paths.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"
#include "support/dictionary_files.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::bytesOf;
using test::lexPath;
using test::TempFolder;
using test::Words;
using test::writeDictionary;
using Paths = std::vector<std::string>;
using Box = std::tuple<std::string, std::string, int>;  // text, title, style

fs::path lexFile(const std::string& name) { return fs::path("lexicons") / name; }
const std::string kJunk(2200, 'x');  // a dictionary-sized file whose mark is not 0x59B1

class CatalogueTest : public test::ProgramFolderTest {
protected:
    Paths listed() {
        Paths paths;
        for (const CatalogueEntry& entry : catalogue().entries()) paths.push_back(entry.path());
        return paths;
    }
    Box last() const {
        return {m_messages.last().text, m_messages.last().title, m_messages.last().style};
    }
};

// Which files the scan lists (lower-cased, in path order), and the one warning for the rest.
TEST_F(CatalogueTest, ScanListsDictionariesAndReportsFilesWithoutAValidHeader) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, int>> files;  // name, bytes kept (-1 all, -2 junk)
        Paths listed, reported;                          // paths named in message 801
        bool emptyWarning;                               // message 802
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"empty folder", {}, {}, {}, true},
        {"junk only", {{"junk.lex", -2}}, {}, {lexPath("junk.lex")}, false},
        {"junk beside dictionaries",
         {{"good.lex", -1}, {"Big.LEX", -1}, {"Junk.lex", -2}, {"BAD.lex", -2}, {"a.txt", -2}},
         {lexPath("big.lex"), lexPath("good.lex")}, {lexPath("bad.lex"), lexPath("junk.lex")}, false},
        {"empty file", {{"zero.lex", 0}}, {}, {lexPath("zero.lex")}, false},
        {"index only", {{"index.lex", 2080}}, {}, {lexPath("index.lex")}, false},
        {"mark without selection", {{"part.lex", 2094}}, {}, {lexPath("part.lex")}, false},
        {"one byte short", {{"short.lex", 2095}}, {}, {lexPath("short.lex")}, false},
        {"empty dictionary", {{"empty.lex", 2096}}, {lexPath("empty.lex")}, {}, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        for (const auto& [name, keep] : c.files) {
            if (keep == -2) TempFolder::write(lexFile(name), kJunk);
            if (keep != -2) writeDictionary(lexPath(name), {"cat"});
            if (keep >= 0) fs::resize_file(lexFile(name), keep);
        }
        fs::create_directory(lexFile("folder.lex"));

        EXPECT_EQ(listed(), c.listed);
        std::string text = loadString(801);
        for (const std::string& path : c.reported) text += "\n" + shownPath(path);
        ASSERT_EQ(m_messages.count(), c.reported.empty() && !c.emptyWarning ? 0u : 1u);
        if (m_messages.count() == 0) continue;
        EXPECT_EQ(last(), Box(c.emptyWarning ? "Zantric could not find any dictionaries. " : text,
                              "Warning", test::kMbOkExclamation));
    }
}

TEST_F(CatalogueTest, SelectionReachesOnlyTheHeaderBytesAtTheEnd) {
    for (const char* name : {"words.lex", "other.lex", "gone.lex"})
        writeDictionary(lexPath(name), {"cat"});
    const std::string before = bytesOf("words.lex"), other = bytesOf("other.lex");
    Catalogue& names = catalogue();
    EXPECT_FALSE(names.anySelected());
    EXPECT_TRUE(names.setSelected(lexPath("words.lex"), true));
    EXPECT_TRUE(names.setSelected(lexPath("gone.lex"), true));
    EXPECT_FALSE(names.setSelected(lexPath("none.lex"), true));
    EXPECT_EQ(std::tuple(names.isSelected(lexPath("words.lex")),
                         names.isSelected(lexPath("other.lex")), names.selectedCount()),
              std::tuple(true, false, 2));
    EXPECT_EQ(bytesOf("words.lex"), before) << "written before the end";
    fs::remove(lexFile("gone.lex"));

    writeBackCatalogue();

    std::string expected = before;
    expected[2094] = 1;
    EXPECT_EQ(bytesOf("words.lex"), expected);
    EXPECT_EQ(bytesOf("other.lex"), other);
    // A header that cannot be saved is reported; the others are written all the same.
    ASSERT_EQ(m_messages.count(), 1u);
    EXPECT_EQ(last(), Box("Unable to open: " + shownPath(lexPath("gone.lex")) +
                              "\n\nZantric cannot save dictionary header details.",
                          "File Error", m_messages.last().style));
    EXPECT_FALSE(fs::exists(lexFile("gone.lex"))) << "a missing file is not created";

    // The next start reads the selection back; switching it off again restores the bytes.
    EXPECT_TRUE(catalogue().isSelected(lexPath("words.lex")));
    catalogue().setSelected(lexPath("words.lex"), false);
    writeBackCatalogue();
    EXPECT_EQ(bytesOf("words.lex"), before);
}

TEST_F(CatalogueTest, AddRemoveAndRetire) {
    writeDictionary(lexPath("b.lex"), {"cat"});
    writeDictionary(lexPath("a.lex"), {"cat", "dog"});
    Catalogue& names = catalogue();
    writeDictionary(lexPath("C.lex"), {"ant"});
    EXPECT_FALSE(names.add(lexPath("b.lex"))) << "already listed";
    EXPECT_TRUE(names.add(lexPath("C.lex")));  // kept as given: only the scan lower-cases
    EXPECT_EQ(listed(), (Paths{lexPath("C.lex"), lexPath("a.lex"), lexPath("b.lex")}));
    EXPECT_EQ(names.find(lexPath("C.lex"))->header().wordCount, 1u);
    EXPECT_FALSE(names.add(lexPath("missing.lex")));
    EXPECT_EQ(m_messages.last().text, "Unable to open: " + shownPath(lexPath("missing.lex")) +
                                          "\n\nZantric will ignore this dictionary.");
    EXPECT_TRUE(names.remove(lexPath("b.lex")));
    EXPECT_FALSE(names.remove(lexPath("b.lex")));
    EXPECT_TRUE(fs::exists(lexFile("b.lex"))) << "remove leaves the file alone";

    // Delete retires the file as the backup, replacing an older one.
    for (const Words& words : {Words{"cat", "dog"}, Words{"dog", "mouse"}}) {
        writeDictionary(lexPath("a.lex"), words);
        const std::string retired = bytesOf("a.lex");
        names.add(lexPath("a.lex"));
        EXPECT_TRUE(names.deleteDictionary(lexPath("a.lex")));
        EXPECT_FALSE(fs::exists(lexFile("a.lex")));
        EXPECT_EQ(bytesOf("a.lxb"), retired);
    }
    EXPECT_TRUE(names.deleteDictionary(lexPath("a.lex"))) << "no longer listed: nothing to do";
    EXPECT_EQ(m_messages.count(), 1u);

    // A folder in the backup's place cannot be deleted as an older backup: nothing changes.
    fs::create_directories(lexFile("C.lxb") / "inside");
    EXPECT_FALSE(names.deleteDictionary(lexPath("C.lex")).report(m_messages));
    EXPECT_NE(names.find(lexPath("C.lex")), nullptr);
    EXPECT_TRUE(fs::exists(lexFile("C.lex")));
    EXPECT_EQ(last(), Box("Zantric was unable to delete this file: " + shownPath(lexPath("C.lxb")),
                          "File Error.", test::kMbOkStop));
}

// The one rule every command applies to a typed dictionary name: the file name, or the refusal.
TEST(DictionaryFileName, NamesAndRefusals) {
    const std::string longest(kMaxFileNameBytes - 4, 'a'), rule = kDictionaryNameRule;
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"english", "english.lex"}, {"English.LEX", "english.lex"}, {"my words.lex", "my words.lex"},
        {"old.words.lex", "old.words.lex"}, {longest, longest + ".lex"},
        {longest + ".lex", longest + ".lex"}, {longest + "a.lex", kDictionaryNameTooLong},
        {"english.old", rule}, {"english.", rule}, {".hidden", rule}, {"", rule}, {".lex", rule},
        {"..lex", rule}, {"a/b.lex", rule}, {"a\\b", rule},
    };
    // clang-format on
    for (const auto& [typed, expected] : cases) {
        std::string refusal;
        EXPECT_EQ(dictionaryFileName(typed, &refusal) + refusal, expected) << typed;
    }
}

// Cancels at the n-th poll and at every later one, as the progress work does (opening the
// first reader clears the flag).
struct CancelAt : WordUpdateObserver {
    explicit CancelAt(int n) : left(n) {}
    void pollPoint() override {
        if (left == 0 || --left == 0) control.setCancel();
    }
    ReadControl& reads() override { return control; }
    int left;  // -1: never
    ReadControl control;
};

class WordUpdateTest : public test::ProgramFolderTest {
protected:
    static bool rewriteLeft() {
        return fs::is_regular_file(kRewriteFileName) ||
               fs::exists(fs::path("lexicons") / kRewriteFileName);
    }
};

struct UpdateCase {
    Words before;                   // {}: the 3380 words
    const char *dictionary, *word;  // "new.lex" does not exist beforehand
    UpdateMode mode;
    std::optional<UpdateResult> result;  // none: thrown
    Words after;                         // when the result is kDone
    std::string thrown = "";             // instead of a result
    int cancelAtPoll = 0;                // 0: no cancel
    bool blockRewrite = false;           // the rewrite file cannot be created
    int countChange = 0;                 // to the header's word count
    std::size_t cut = 0;                 // bytes taken off the end
};
Words manyWords() {  // 3380 words, polled 13 times by a rewrite
    Words many;
    for (int i = 0; i < 26 * 26 * 5; ++i)
        many.push_back({'a', char('a' + i / 130), char('a' + i / 5 % 26), char('a' + i % 5)});
    return many;
}

// Words added and removed in dictionary order, with the old file as the backup. Cancelled at any
// point, unable to write, or given a dictionary whose words do not add up to its header's count
// (rather than replace it with fewer words): nothing changes.
TEST_F(WordUpdateTest, AddsAndRemovesInOrderOrLeavesEverythingAsItWas) {
    const UpdateMode add = UpdateMode::kAdd, remove = UpdateMode::kRemove;
    const UpdateResult done = UpdateResult::kDone, cancelled = UpdateResult::kCancelled;
    const std::optional<UpdateResult> threw;
    const std::string noRewrite = "Unable to create Dictionary: " + shownPath(kRewriteFileName);
    const std::string unread = "Unable to read Dictionary: " + shownPath("lexicons/words.lex");
    const Words many = manyWords();
    const UpdateCase cases[] = {
        // clang-format off
        {{"bat", "cot"}, "words.lex", "cat", add, done, {"bat", "cat", "cot"}},
        {{"bat", "cot"}, "words.lex", "zebra", add, done, {"bat", "cot", "zebra"}},
        {{"Cat"}, "words.lex", "cat", add, done, {"Cat", "cat"}},
        {{"bat", "cat"}, "words.lex", "cat", add, UpdateResult::kAlreadyPresent, {}},
        {{"bat", "cat", "Cot", "cot", "cut", "cart"}, "words.lex", "c?t", remove, done, {"bat", "Cot", "cart"}},
        {{"coop", "co-op"}, "words.lex", "co-op", remove, done, {"coop"}},
        {{"bat", "cat"}, "words.lex", "dog", remove, UpdateResult::kNotFound, {}},
        {{}, "words.lex", "zzzz", add, cancelled, {}, "", 1},     // while looking
        {{}, "words.lex", "zzzz", add, cancelled, {}, "", 5},     // while adding
        {{}, "words.lex", "a?a?", remove, cancelled, {}, "", 5},  // while removing
        {{}, "new.lex", "cat", add, cancelled, {}, "", 2},
        {{}, "words.lex", "zzzz", add, threw, {}, noRewrite, 0, true},
        {{}, "new.lex", "cat", add, threw, {}, noRewrite, 0, true},
        {{}, "words.lex", "dog", add, threw, {}, unread, 0, false, 1},
        {{}, "words.lex", "aaaa", remove, threw, {}, unread, 0, false, -1},
        {{}, "words.lex", "dog", add, threw, {}, unread, 0, false, 0, 6},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.word << " " << c.cancelAtPoll << " " << c.thrown);
        fresh();
        writeDictionary(lexPath("words.lex"), c.before.empty() ? many : c.before);
        std::string before = bytesOf("words.lex");
        before[kHeaderOffset + 8] = static_cast<char>(before[kHeaderOffset + 8] + c.countChange);
        before.resize(before.size() - c.cut);
        TempFolder::write("lexicons/words.lex", before);
        catalogue().setSelected(lexPath("words.lex"), true);
        if (c.blockRewrite) fs::create_directory(kRewriteFileName);
        CancelAt observer(c.cancelAtPoll > 0 ? c.cancelAtPoll : -1);
        std::pair<std::optional<UpdateResult>, std::string> outcome{threw, ""};
        try {
            outcome.first =
                updateWord(catalogue(), lexPath(c.dictionary), c.word, c.mode, &observer);
        } catch (const ZantricException& e) {
            outcome.second = e.message();
        }
        EXPECT_EQ(outcome, std::pair(c.result, c.thrown));
        if (outcome.first == done) {
            EXPECT_EQ(test::wordsOf(lexPath("words.lex")), c.after);
            EXPECT_TRUE(bytesOf("words.lxb") == before) << "the backup";
            EXPECT_EQ(catalogue().find(lexPath("words.lex"))->header().wordCount, c.after.size());
            EXPECT_EQ(m_messages.count(), 0u);
        } else {
            EXPECT_TRUE(bytesOf("words.lex") == before) << "changed";
            EXPECT_FALSE(fs::exists("lexicons/words.lxb") || fs::exists("lexicons/new.lex"));
            EXPECT_EQ(catalogue().find(lexPath("new.lex")), nullptr);
        }
        EXPECT_TRUE(catalogue().find(lexPath("words.lex"))->selected());
        EXPECT_FALSE(rewriteLeft());
        fs::remove_all(kRewriteFileName);
    }
}

TEST_F(WordUpdateTest, EntryKeepsCreatedAndSelectionAndGetsModified) {
    test::TempFolder::write("lexicons/new.lxb", "backup of an earlier new.lex");
    writeDictionary(lexPath("words.lex"), {"bat", "cot"});
    catalogue().find(lexPath("words.lex"))->header().created = 1000;
    catalogue().find(lexPath("words.lex"))->writeHeader(m_messages);
    catalogue().setSelected(lexPath("words.lex"), true);

    ASSERT_EQ(updateWord(catalogue(), lexPath("words.lex"), "cat", UpdateMode::kAdd),
              UpdateResult::kDone);

    const CatalogueEntry* entry = catalogue().find(lexPath("words.lex"));
    EXPECT_EQ(std::tuple(entry->header().created, entry->header().wordCount, entry->changed()),
              std::tuple(1000u, 3u, true));
    EXPECT_GE(entry->header().modified, currentTime32() - 5);
    writeBackCatalogue();  // the header reaches the file at the end
    EXPECT_EQ(catalogue().find(lexPath("words.lex"))->header().created, 1000u);
    EXPECT_TRUE(catalogue().isSelected(lexPath("words.lex")));

    // Adding to a missing dictionary makes it; one word is not yet a modification.
    ASSERT_EQ(updateWord(catalogue(), lexPath("new.lex"), "cat", UpdateMode::kAdd),
              UpdateResult::kDone);
    EXPECT_EQ(test::wordsOf(lexPath("new.lex")), Words{"cat"});
    EXPECT_EQ(catalogue().find(lexPath("new.lex"))->header().modified, 0u);
    EXPECT_EQ(bytesOf("new.lxb"), "backup of an earlier new.lex");
    ASSERT_EQ(updateWord(catalogue(), lexPath("new.lex"), "dog", UpdateMode::kAdd),
              UpdateResult::kDone);
    EXPECT_NE(catalogue().find(lexPath("new.lex"))->header().modified, 0u);
}

// The dictionaries holding exactly the word, one a line.
TEST_F(WordUpdateTest, LooksWordsUpExactly) {
    writeDictionary(lexPath("a.lex"), {"cat", "Apple"});
    writeDictionary(lexPath("b.lex"), {"co-op", "apple"});
    std::string lists;
    for (const char* word : {"apple", "Apple", "co-op", "coop", "c?t"})
        lists += listDictionariesContaining(catalogue(), word) + "|";
    EXPECT_EQ(lists, "\nb.lex|\na.lex|\nb.lex|||");
}

}  // namespace
}  // namespace zantric
