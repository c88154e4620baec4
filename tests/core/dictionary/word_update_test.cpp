// Word look-up across the catalogue and the rewrite of a dictionary with a word more or less:
// the words written and their order, the backup, the catalogue entry afterwards, and what
// cancel and failure leave behind.
#include "core/dictionary/word_update.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/zantric_exception.h"
#include "support/dictionary_files.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::Words;
using test::writeDictionary;

std::string lexPath(const std::string& name) { return ".\\lexicons\\" + name; }
std::string bytesOf(const std::string& name) { return test::TempFolder::read("lexicons/" + name); }

// Cancels at the n-th poll and at every later one, as the progress work does (opening the
// first reader clears the flag).
struct CancelAt : WordUpdateObserver {
    explicit CancelAt(int n) : left(n) {}
    void pollPoint() override {
        if (left > 0 && --left == 0) cancelled = true;
        if (cancelled) DictionaryReader::setCancel();
    }
    int left;
    bool cancelled = false;
};

class WordUpdateTest : public ::testing::Test {
protected:
    WordUpdateTest() { fresh(); }
    ~WordUpdateTest() override { Catalogue::resetForTests(); }
    static void fresh() {
        fs::remove_all("lexicons");
        fs::create_directories("lexicons");
        test::TempFolder::write("zantric.ini", "[PATHS]\nDICTIONARIES=.\\lexicons\n");
        Settings::resetForTests();
        Catalogue::resetForTests();
    }
    static Catalogue& catalogue() { return Catalogue::instance(); }

    test::TempFolder m_folder;
    test::RecordingPresenter m_messages;
};

TEST_F(WordUpdateTest, AddsAndRemovesWordsInDictionaryOrder) {
    const UpdateMode add = UpdateMode::kAdd, remove = UpdateMode::kRemove;
    struct Case {
        Words before;
        const char* word;
        UpdateMode mode;
        int result;
        Words after;  // when the result is kUpdateDone
    };
    const std::vector<Case> cases = {
        {{"bat", "cot"}, "cat", add, kUpdateDone, {"bat", "cat", "cot"}},
        {{"bat", "cot"}, "zebra", add, kUpdateDone, {"bat", "cot", "zebra"}},
        {{"Cat"}, "cat", add, kUpdateDone, {"Cat", "cat"}},
        {{"bat", "cat"}, "cat", add, kUpdateAlreadyPresent, {}},
        {{"bat", "cat", "Cot", "cot", "cut", "cart"},
         "c?t",
         remove,
         kUpdateDone,
         {"bat", "Cot", "cart"}},
        {{"coop", "co-op"}, "co-op", remove, kUpdateDone, {"coop"}},
        {{"bat", "cat"}, "dog", remove, kUpdateNotFound, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        fresh();
        writeDictionary(lexPath("words.lex"), c.before);
        const std::string before = bytesOf("words.lex");

        EXPECT_EQ(updateWord(lexPath("words.lex"), c.word, c.mode), c.result);

        EXPECT_FALSE(fs::exists(kRewriteFileName) ||
                     fs::exists(fs::path("lexicons") / kRewriteFileName));
        if (c.result == kUpdateDone) {
            EXPECT_EQ(test::wordsOf(lexPath("words.lex")), c.after);
            EXPECT_TRUE(bytesOf("words.lxb") == before) << "the backup";
            EXPECT_EQ(catalogue().find(lexPath("words.lex"))->header().wordCount, c.after.size());
        } else {
            EXPECT_TRUE(bytesOf("words.lex") == before) << "changed";
            EXPECT_FALSE(fs::exists("lexicons/words.lxb"));
        }
    }
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(WordUpdateTest, EntryKeepsCreatedAndSelectionAndGetsModified) {
    writeDictionary(lexPath("words.lex"), {"bat", "cot"});
    catalogue().find(lexPath("words.lex"))->header().created = 1000;
    catalogue().find(lexPath("words.lex"))->writeHeader();
    catalogue().setSelected(lexPath("words.lex"), true);

    ASSERT_EQ(updateWord(lexPath("words.lex"), "cat", UpdateMode::kAdd), kUpdateDone);

    const CatalogueEntry* entry = catalogue().find(lexPath("words.lex"));
    EXPECT_EQ(entry->header().created, 1000u);
    EXPECT_EQ(entry->header().selected, 1);
    EXPECT_EQ(entry->header().wordCount, 3u);
    EXPECT_GE(entry->header().modified, currentTime32() - 5);
    EXPECT_TRUE(entry->changed());
    Catalogue::destroyInstance();  // the header reaches the file at the end
    EXPECT_EQ(catalogue().find(lexPath("words.lex"))->header().created, 1000u);
    EXPECT_TRUE(catalogue().isSelected(lexPath("words.lex")));
}

TEST_F(WordUpdateTest, AddingToAMissingDictionaryCreatesIt) {
    test::TempFolder::write("lexicons/new.lxb", "backup of an earlier new.lex");
    catalogue();

    ASSERT_EQ(updateWord(lexPath("new.lex"), "cat", UpdateMode::kAdd), kUpdateDone);

    EXPECT_EQ(test::wordsOf(lexPath("new.lex")), Words{"cat"});
    ASSERT_NE(catalogue().find(lexPath("new.lex")), nullptr);
    EXPECT_EQ(catalogue().find(lexPath("new.lex"))->header().modified, 0u) << "one added word";
    EXPECT_EQ(bytesOf("new.lxb"), "backup of an earlier new.lex");
    ASSERT_EQ(updateWord(lexPath("new.lex"), "dog", UpdateMode::kAdd), kUpdateDone);
    EXPECT_NE(catalogue().find(lexPath("new.lex"))->header().modified, 0u);
}

TEST_F(WordUpdateTest, CancelOrFailureLeavesEverythingAsItWas) {
    struct Case {
        const char* what;
        const char* dictionary;  // "new.lex" does not exist beforehand
        const char* word;
        UpdateMode mode;
        int cancelAtPoll;           // 0: no cancel
        bool blockRewrite = false;  // the rewrite file cannot be created
    };
    const std::vector<Case> cases = {
        {"cancel while looking", "words.lex", "zzzz", UpdateMode::kAdd, 1},
        {"cancel while adding", "words.lex", "zzzz", UpdateMode::kAdd, 5},
        {"cancel while removing", "words.lex", "a?a?", UpdateMode::kRemove, 5},
        {"cancel adding to a new dictionary", "new.lex", "cat", UpdateMode::kAdd, 2},
        {"no rewrite file", "words.lex", "zzzz", UpdateMode::kAdd, 0, true},
        {"no rewrite file for a new dictionary", "new.lex", "cat", UpdateMode::kAdd, 0, true},
    };
    Words many;  // 3380 words, polled 13 times by a rewrite
    for (char a = 'a'; a <= 'z'; ++a) {
        for (char b = 'a'; b <= 'z'; ++b) {
            for (char c = 'a'; c <= 'e'; ++c) many.push_back(std::string{'a', a, b, c});
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fresh();
        writeDictionary(lexPath("words.lex"), many);
        const std::string before = bytesOf("words.lex");
        catalogue().setSelected(lexPath("words.lex"), true);
        if (c.blockRewrite) fs::create_directory(kRewriteFileName);
        CancelAt observer(c.cancelAtPoll);

        try {
            EXPECT_EQ(updateWord(lexPath(c.dictionary), c.word, c.mode, &observer),
                      kUpdateCancelled);
            EXPECT_FALSE(c.blockRewrite);
        } catch (const ZantricException& e) {
            EXPECT_EQ(e.message(), "Unable to create Dictionary: " + shownPath(kRewriteFileName));
        }

        EXPECT_TRUE(bytesOf("words.lex") == before) << "changed";
        EXPECT_FALSE(fs::exists("lexicons/words.lxb") || fs::exists("lexicons/new.lex"));
        EXPECT_EQ(catalogue().find(lexPath("new.lex")), nullptr);
        EXPECT_TRUE(catalogue().find(lexPath("words.lex"))->selected());
        EXPECT_FALSE(fs::is_regular_file(kRewriteFileName));
        EXPECT_FALSE(fs::exists(fs::path("lexicons") / kRewriteFileName));
        fs::remove_all(kRewriteFileName);
    }
}

TEST_F(WordUpdateTest, LooksWordsUpExactlyInTheCatalogue) {
    writeDictionary(lexPath("a.lex"), {"cat", "Apple"});
    writeDictionary(lexPath("b.lex"), {"co-op", "apple"});
    catalogue().setSelected(lexPath("b.lex"), true);
    struct Case {
        const char* word;
        const char* list;
        bool uniqueInSelected, uniqueInAll;
    };
    const Case cases[] = {
        {"apple", "\nb.lex", false, false},
        {"Apple", "\na.lex", true, false},
        {"co-op", "\nb.lex", false, false},
        {"coop", "", true, true},
        {"c?t", "", true, true},
        {"abcdefghijkl", "", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(listDictionariesContaining(c.word), c.list);
        EXPECT_EQ(isWordUnique(c.word, "", false), c.uniqueInSelected);
        EXPECT_EQ(isWordUnique(c.word, "", true), c.uniqueInAll);
    }
    EXPECT_TRUE(isWordUnique("apple", lexPath("b.lex"), true)) << "the skipped dictionary";
}

}  // namespace
}  // namespace zantric
