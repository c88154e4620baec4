// Word look-up across the catalogue and the rewrite of a dictionary with a word more or less:
// the words written and their order, what stays unchanged when nothing is to be done, the
// backup, the catalogue entry afterwards, and what cancel and failure leave behind.
#include "core/dictionary/word_update.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/dictionary/compress_dictionary.h"
#include "core/dictionary/dictionary.h"
#include "core/dictionary/dictionary_names.h"
#include "core/shell/config_data.h"
#include "core/shell/zantric_exception.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;

constexpr const char* kIni =
    "[PATHS]\nFILES=.\\files\nDICTIONARIES=.\\lexicons\nTEMP_FILES=.\\temp\n";
using Words = std::vector<std::string>;

std::string lexPath(const std::string& name) { return ".\\lexicons\\" + name; }
fs::path lexFile(const std::string& name) { return fs::path("lexicons") / name; }

void writeDictionary(const std::string& name, const Words& words) {
    fs::create_directories("lexicons");
    CompressDictionary writer(lexPath(name));
    for (const std::string& word : words) writer.addWord(word);
    ASSERT_TRUE(writer.close());
}

Words wordsOf(const std::string& name) {
    Words words;
    Dictionary reader(lexPath(name), false, kWordReaderBuffer);
    char word[kOutWordSize];
    for (int r = reader.nextMatch(word, "*"); r == kMatchFound; r = reader.nextMatch(word, nullptr)) {
        words.push_back(word);
    }
    return words;
}

// `count` four-letter words in dictionary order: aaaa, aaab, ...
Words manyWords(int count) {
    Words words;
    for (int i = 0; i < count; ++i) {
        std::string word(4, 'a');
        for (int at = 3, n = i; at >= 0; --at, n /= 26) word[at] = static_cast<char>('a' + n % 26);
        words.push_back(word);
    }
    return words;
}

// Cancels at the n-th poll and at every later one, as the progress work does (opening the
// first reader clears the flag).
class CancelAt : public WordUpdateObserver {
public:
    explicit CancelAt(int n) : m_left(n) {}
    void pollPoint() override {
        if (m_left > 0 && --m_left == 0) m_cancelled = true;
        if (m_cancelled) Dictionary::setCancel();
    }
    bool m_cancelled = false;
    int m_left;
};

class WordUpdateTest : public ::testing::Test {
protected:
    WordUpdateTest() {
        test::TempFolder::write("zantric.ini", kIni);
        fs::create_directories("lexicons");
        ConfigData::resetForTests();
        DictionaryNames::resetForTests();
    }
    ~WordUpdateTest() override { DictionaryNames::resetForTests(); }

    // Lists the dictionaries written so far.
    static DictionaryNames& catalogue() { return DictionaryNames::instance(); }

    test::TempFolder m_folder;
    test::RecordingPresenter m_messages;
};

TEST_F(WordUpdateTest, AddsAndRemovesWordsInDictionaryOrder) {
    struct Case {
        const char* what;
        Words before;
        const char* word;
        UpdateMode mode;
        int result;
        Words after;  // the words when the result is kUpdateDone
    };
    const UpdateMode add = UpdateMode::kAdd;
    const UpdateMode remove = UpdateMode::kRemove;
    const std::vector<Case> cases = {
        {"between", {"bat", "cot"}, "cat", add, kUpdateDone, {"bat", "cat", "cot"}},
        {"after every word", {"bat", "cot"}, "zebra", add, kUpdateDone, {"bat", "cot", "zebra"}},
        {"before every word", {"bat", "cot"}, "a", add, kUpdateDone, {"a", "bat", "cot"}},
        {"case counts", {"Cat"}, "cat", add, kUpdateDone, {"Cat", "cat"}},
        {"hyphen counts", {"coop"}, "co-op", add, kUpdateDone, {"coop", "co-op"}},
        {"present", {"bat", "cat"}, "cat", add, kUpdateAlreadyPresent, {}},
        {"pattern", {"bat", "cat", "Cot", "cot", "cut", "cart"}, "c?t", remove, kUpdateDone,
         {"bat", "Cot", "cart"}},
        {"hyphenated twin stays", {"coop", "co-op"}, "co-op", remove, kUpdateDone, {"coop"}},
        {"capital stays", {"Cat", "cat"}, "cat", remove, kUpdateDone, {"Cat"}},
        {"absent", {"bat", "cat"}, "dog", remove, kUpdateNotFound, {}},
        {"longer than any word", {"bat"}, "abcdefghijk", remove, kUpdateNotFound, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all("lexicons");
        DictionaryNames::resetForTests();
        writeDictionary("words.lex", c.before);
        const std::string before = test::TempFolder::read(lexFile("words.lex"));

        EXPECT_EQ(updateWord(lexPath("words.lex"), c.word, c.mode), c.result);

        EXPECT_FALSE(fs::exists(kRewriteFileName));
        EXPECT_FALSE(fs::exists(fs::path("lexicons") / kRewriteFileName));
        if (c.result == kUpdateDone) {
            EXPECT_EQ(wordsOf("words.lex"), c.after);
            EXPECT_TRUE(test::TempFolder::read(lexFile("words.lxb")) == before) << "the backup";
            EXPECT_EQ(catalogue().find(lexPath("words.lex"))->header().wordCount, c.after.size());
        } else {
            EXPECT_TRUE(test::TempFolder::read(lexFile("words.lex")) == before) << "changed";
            EXPECT_FALSE(fs::exists(lexFile("words.lxb")));
        }
    }
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(WordUpdateTest, EntryKeepsCreatedAndSelectionAndGetsModified) {
    writeDictionary("words.lex", {"bat", "cot"});
    DictionaryName* entry = catalogue().find(lexPath("words.lex"));
    entry->header().created = 1000;
    entry->writeHeader();
    catalogue().setSelected(lexPath("words.lex"), true);

    ASSERT_EQ(updateWord(lexPath("words.lex"), "cat", UpdateMode::kAdd), kUpdateDone);

    entry = catalogue().find(lexPath("words.lex"));
    EXPECT_EQ(entry->header().created, 1000u);
    EXPECT_EQ(entry->header().selected, 1);
    EXPECT_EQ(entry->header().wordCount, 3u);
    EXPECT_GE(entry->header().modified, currentTime32() - 5);
    EXPECT_TRUE(entry->changed());

    // The header reaches the file at the end of the program.
    DictionaryNames::destroyInstance();
    EXPECT_EQ(catalogue().find(lexPath("words.lex"))->header().created, 1000u);
    EXPECT_TRUE(catalogue().isSelected(lexPath("words.lex")));
}

TEST_F(WordUpdateTest, AddingToAMissingDictionaryCreatesIt) {
    // An older dictionary of that name was deleted: its backup must survive.
    test::TempFolder::write(lexFile("new.lxb"), "older backup");
    catalogue();

    ASSERT_EQ(updateWord(lexPath("new.lex"), "cat", UpdateMode::kAdd), kUpdateDone);

    EXPECT_EQ(wordsOf("new.lex"), Words{"cat"});
    const DictionaryName* entry = catalogue().find(lexPath("new.lex"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->header().modified, 0u) << "a dictionary of one added word is not modified";
    EXPECT_EQ(entry->header().selected, 0);
    EXPECT_EQ(test::TempFolder::read(lexFile("new.lxb")), "older backup");

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
        {"rewrite cannot be made", "words.lex", "zzzz", UpdateMode::kAdd, 0, true},
        {"rewrite for a new dictionary cannot be made", "new.lex", "cat", UpdateMode::kAdd, 0,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all("lexicons");
        fs::remove_all(kRewriteFileName);
        DictionaryNames::resetForTests();
        writeDictionary("words.lex", manyWords(3000));
        const std::string before = test::TempFolder::read(lexFile("words.lex"));
        catalogue().setSelected(lexPath("words.lex"), true);
        if (c.blockRewrite) fs::create_directory(kRewriteFileName);
        CancelAt observer(c.cancelAtPoll);

        int result = -1;
        try {
            result = updateWord(lexPath(c.dictionary), c.word, c.mode, &observer);
        } catch (const ZantricException& e) {
            EXPECT_TRUE(c.blockRewrite) << e.message();
            EXPECT_EQ(e.message(), std::string("Unable to create Dictionary: ") + kRewriteFileName);
        }

        if (!c.blockRewrite) {
            EXPECT_EQ(result, kUpdateCancelled);
        }
        EXPECT_TRUE(test::TempFolder::read(lexFile("words.lex")) == before) << "words.lex changed";
        EXPECT_FALSE(fs::exists(lexFile("words.lxb")));
        EXPECT_FALSE(fs::exists(lexFile("new.lex")));
        EXPECT_EQ(catalogue().find(lexPath("new.lex")), nullptr);
        EXPECT_TRUE(catalogue().find(lexPath("words.lex"))->selected());
        EXPECT_EQ(fs::is_regular_file(kRewriteFileName), false);
        EXPECT_FALSE(fs::exists(fs::path("lexicons") / kRewriteFileName));
        fs::remove_all(kRewriteFileName);
    }
}

TEST_F(WordUpdateTest, LooksWordsUpExactlyInTheCatalogue) {
    writeDictionary("a.lex", {"cat", "Apple"});
    writeDictionary("b.lex", {"co-op", "apple"});
    catalogue().setSelected(lexPath("b.lex"), true);
    struct Case {
        const char* word;
        const char* list;
        bool uniqueInSelected;
        bool uniqueInAll;
    };
    const std::vector<Case> cases = {
        {"apple", "\nb.lex", false, false}, {"Apple", "\na.lex", true, false},
        {"co-op", "\nb.lex", false, false}, {"coop", "", true, true},
        {"c?t", "", true, true},            {"dog", "", true, true},
        {"", "", true, true},               {"abcdefghijkl", "", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(listDictionariesContaining(c.word), c.list);
        EXPECT_EQ(isWordUnique(c.word, "", false), c.uniqueInSelected);
        EXPECT_EQ(isWordUnique(c.word, "", true), c.uniqueInAll);
    }
    EXPECT_EQ(listDictionariesContaining("cat"), "\na.lex");
    EXPECT_TRUE(isWordUnique("apple", lexPath("b.lex"), true)) << "the skipped dictionary";
    EXPECT_FALSE(isWordUnique("Apple", lexPath("b.lex"), true));
}

}  // namespace
}  // namespace zantric
