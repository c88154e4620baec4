// Word look-up across the catalogue and the rewrite of a dictionary with a word more or less:
// the words written and their order, the backup, the catalogue entry afterwards, and what
// cancel, failure and a damaged dictionary leave behind.
#include "core/dictionary/word_update.h"

#include "core/shell/paths.h"
#include "core/shell/zantric_exception.h"
#include "support/dictionary_files.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::bytesOf;
using test::lexPath;
using test::Words;
using test::writeDictionary;

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

class WordUpdateTest : public test::ProgramFolderTest {
protected:
    static Catalogue& catalogue() { return Catalogue::instance(); }
    static bool rewriteLeft() {
        return fs::is_regular_file(kRewriteFileName) ||
               fs::exists(fs::path("lexicons") / kRewriteFileName);
    }
};

TEST_F(WordUpdateTest, AddsAndRemovesWordsInDictionaryOrder) {
    const UpdateMode add = UpdateMode::kAdd, remove = UpdateMode::kRemove;
    const struct {
        Words before;
        const char* word;
        UpdateMode mode;
        int result;
        Words after;  // when the result is kUpdateDone
    } cases[] = {
        // clang-format off
        {{"bat", "cot"}, "cat", add, kUpdateDone, {"bat", "cat", "cot"}},
        {{"bat", "cot"}, "zebra", add, kUpdateDone, {"bat", "cot", "zebra"}},
        {{"Cat"}, "cat", add, kUpdateDone, {"Cat", "cat"}},
        {{"bat", "cat"}, "cat", add, kUpdateAlreadyPresent, {}},
        {{"bat", "cat", "Cot", "cot", "cut", "cart"}, "c?t", remove, kUpdateDone,
         {"bat", "Cot", "cart"}},
        {{"coop", "co-op"}, "co-op", remove, kUpdateDone, {"coop"}},
        {{"bat", "cat"}, "dog", remove, kUpdateNotFound, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        fresh();
        writeDictionary(lexPath("words.lex"), c.before);
        const std::string before = bytesOf("words.lex");

        EXPECT_EQ(updateWord(lexPath("words.lex"), c.word, c.mode), c.result);

        EXPECT_FALSE(rewriteLeft());
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
    test::TempFolder::write("lexicons/new.lxb", "backup of an earlier new.lex");
    writeDictionary(lexPath("words.lex"), {"bat", "cot"});
    catalogue().find(lexPath("words.lex"))->header().created = 1000;
    catalogue().find(lexPath("words.lex"))->writeHeader();
    catalogue().setSelected(lexPath("words.lex"), true);

    ASSERT_EQ(updateWord(lexPath("words.lex"), "cat", UpdateMode::kAdd), kUpdateDone);

    const CatalogueEntry* entry = catalogue().find(lexPath("words.lex"));
    EXPECT_EQ(std::tuple(entry->header().created, entry->header().wordCount, entry->changed()),
              std::tuple(1000u, 3u, true));
    EXPECT_GE(entry->header().modified, currentTime32() - 5);
    Catalogue::destroyInstance();  // the header reaches the file at the end
    EXPECT_EQ(catalogue().find(lexPath("words.lex"))->header().created, 1000u);
    EXPECT_TRUE(catalogue().isSelected(lexPath("words.lex")));

    // Adding to a missing dictionary makes it; one word is not yet a modification.
    ASSERT_EQ(updateWord(lexPath("new.lex"), "cat", UpdateMode::kAdd), kUpdateDone);
    EXPECT_EQ(test::wordsOf(lexPath("new.lex")), Words{"cat"});
    EXPECT_EQ(catalogue().find(lexPath("new.lex"))->header().modified, 0u);
    EXPECT_EQ(bytesOf("new.lxb"), "backup of an earlier new.lex");
    ASSERT_EQ(updateWord(lexPath("new.lex"), "dog", UpdateMode::kAdd), kUpdateDone);
    EXPECT_NE(catalogue().find(lexPath("new.lex"))->header().modified, 0u);
}

// Cancelled at any point, unable to write, or given a dictionary whose words do not add up to its
// header's count (rather than replace it with fewer words): nothing changes.
TEST_F(WordUpdateTest, CancelFailureOrDamageLeavesEverythingAsItWas) {
    const UpdateMode add = UpdateMode::kAdd, remove = UpdateMode::kRemove;
    const std::string noRewrite = "Unable to create Dictionary: " + shownPath(kRewriteFileName);
    const std::string unread = "Unable to read Dictionary: " + shownPath("lexicons/words.lex");
    struct Case {
        const char* dictionary;  // "new.lex" does not exist beforehand
        const char* word;
        UpdateMode mode;
        int cancelAtPoll;    // 0: no cancel
        std::string thrown;  // "": cancelled
        bool blockRewrite;   // the rewrite file cannot be created
        int countChange;     // to the header's word count
        std::size_t cut;     // bytes taken off the end
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"words.lex", "zzzz", add, 1, "", false, 0, 0},     // while looking
        {"words.lex", "zzzz", add, 5, "", false, 0, 0},     // while adding
        {"words.lex", "a?a?", remove, 5, "", false, 0, 0},  // while removing
        {"new.lex", "cat", add, 2, "", false, 0, 0},
        {"words.lex", "zzzz", add, 0, noRewrite, true, 0, 0},
        {"new.lex", "cat", add, 0, noRewrite, true, 0, 0},
        {"words.lex", "dog", add, 0, unread, false, 1, 0},
        {"words.lex", "aaaa", remove, 0, unread, false, -1, 0},
        {"words.lex", "dog", add, 0, unread, false, 0, 6},
    };
    // clang-format on
    Words many;  // 3380 words, polled 13 times by a rewrite
    for (int i = 0; i < 26 * 26 * 5; ++i)
        many.push_back({'a', char('a' + i / 130), char('a' + i / 5 % 26), char('a' + i % 5)});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.word << " " << c.cancelAtPoll << " " << c.thrown);
        fresh();
        writeDictionary(lexPath("words.lex"), many);
        std::string before = bytesOf("words.lex");
        before[kHeaderOffset + 8] = static_cast<char>(before[kHeaderOffset + 8] + c.countChange);
        before.resize(before.size() - c.cut);
        test::TempFolder::write("lexicons/words.lex", before);
        catalogue().setSelected(lexPath("words.lex"), true);
        if (c.blockRewrite) fs::create_directory(kRewriteFileName);
        CancelAt observer(c.cancelAtPoll);
        try {
            EXPECT_EQ(updateWord(lexPath(c.dictionary), c.word, c.mode, &observer),
                      kUpdateCancelled);
            EXPECT_EQ(c.thrown, "");
        } catch (const ZantricException& e) {
            EXPECT_EQ(e.message(), c.thrown);
        }
        EXPECT_TRUE(bytesOf("words.lex") == before) << "changed";
        EXPECT_FALSE(fs::exists("lexicons/words.lxb") || fs::exists("lexicons/new.lex"));
        EXPECT_EQ(catalogue().find(lexPath("new.lex")), nullptr);
        EXPECT_TRUE(catalogue().find(lexPath("words.lex"))->selected());
        EXPECT_FALSE(rewriteLeft());
        fs::remove_all(kRewriteFileName);
    }
}

// The dictionaries holding exactly the word, one a line.
TEST_F(WordUpdateTest, LooksWordsUpExactly) {
    writeDictionary(lexPath("a.lex"), {"cat", "Apple"});
    writeDictionary(lexPath("b.lex"), {"co-op", "apple"});
    std::string lists;
    for (const char* word : {"apple", "Apple", "co-op", "coop", "c?t"})
        lists += listDictionariesContaining(word) + "|";
    EXPECT_EQ(lists, "\nb.lex|\na.lex|\nb.lex|||");
}

}  // namespace
}  // namespace zantric
