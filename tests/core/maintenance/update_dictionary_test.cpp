// Add Word and Remove Word: the word rule, every check and question of the OK command with its
// text and in its order, the change itself (order kept, patterns, the emptied dictionary
// deleted, the backup), Find, and what cancel, pause and failure leave behind.
#include "core/maintenance/update_dictionary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/dictionary/compress_dictionary.h"
#include "core/dictionary/dictionary.h"
#include "core/dictionary/dictionary_names.h"
#include "core/shell/config_data.h"
#include "core/shell/messages.h"
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

struct Shown {
    std::string title;
    std::string text;
    bool operator==(const Shown&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Shown& s) {
    return out << "[" << s.title << "] " << s.text;
}

class UpdateDictionaryTest : public ::testing::Test {
protected:
    UpdateDictionaryTest() {
        test::TempFolder::write("zantric.ini", kIni);
        fs::create_directories("lexicons");
        fs::create_directories("temp");
        ConfigData::resetForTests();
        DictionaryNames::resetForTests();
    }
    ~UpdateDictionaryTest() override { DictionaryNames::resetForTests(); }

    UpdateDictionary command(UpdateMode mode, UpdateDictionary::WorkRunner runner = runWork) {
        return UpdateDictionary(
            mode, std::move(runner), [this](int id) { m_statuses.push_back(id); }, this);
    }
    std::vector<Shown> shown() const {
        std::vector<Shown> result;
        for (const test::RecordedMessage& m : m_messages.messages()) {
            result.push_back({m.title, m.text});
        }
        return result;
    }
    static bool noRewriteFile() {
        return !fs::exists(kRewriteFileName) && !fs::exists(lexFile(kRewriteFileName));
    }

    test::TempFolder m_folder;
    test::RecordingPresenter m_messages;
    std::vector<int> m_statuses;
};

TEST(ZantricAddWordValidator, LettersAndOneInnerHyphenUpToNineLetters) {
    struct Case {
        const char* text;
        bool word;
        bool pattern;  // with '?' allowed
    };
    const Case cases[] = {
        {"cat", true, true},         {"Cat", true, true},           {"ABC", true, true},
        {"co-op", true, true},       {"co--op", false, false},      {"co-o-p", false, false},
        {"-ish", false, false},      {"ish-", false, false},        {"abcdefghi", true, true},
        {"abcdefghij", false, false}, {"abcd-efghi", true, true},   {"abcde-fghij", false, false},
        {"", false, false},          {"c?t", false, true},          {"?????????", false, true},
        {"c*t", false, false},       {"apple pie", false, false},   {"caf\xc3\xa9", false, false},
        {"r2d2", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zantricAddWordValidator(c.text), c.word) << c.text;
        EXPECT_EQ(zantricAddWordValidator(c.text, true), c.pattern) << c.text;
    }
    EXPECT_EQ(dictionaryFileName("English"), "english.lex");
    EXPECT_EQ(dictionaryFileName("Big.LEX"), "big.lex");
    EXPECT_EQ(dictionaryFileName("words.txt"), "words.lex");
}

// Each check of OK stops at its message, in order; only the last case gets through.
TEST_F(UpdateDictionaryTest, ChecksAndQuestionsOfOk) {
    const UpdateMode add = UpdateMode::kAdd;
    const UpdateMode remove = UpdateMode::kRemove;
    const std::string incomplete = "Incomplete Information";
    struct Case {
        const char* what;
        UpdateMode mode;
        const char* word;
        const char* dictionary;
        std::vector<int> answers;
        UpdateOutcome outcome;
        std::vector<Shown> messages;
        int beeps = 0;
        int markers = 0;  // instance markers of other copies
    };
    const std::vector<Case> cases = {
        {"another copy runs", add, "emu", "mine", {}, UpdateOutcome::kRefused,
         {{"Warning", "Zantric cannot change dictionaries while another copy of Zantric is "
                      "running.\nClose the other copies of Zantric and try again."}},
         0, 2},
        {"no word", add, "", "mine", {}, UpdateOutcome::kStopped,
         {{incomplete, "You must specify a word in the 'Enter Word' edit control."}}},
        {"ends in a hyphen", add, "co-", "mine", {}, UpdateOutcome::kWordRejected, {}, 1},
        {"two hyphens", add, "co--op", "mine", {}, UpdateOutcome::kWordRejected,
         {{incomplete, "co--op is not a valid Zantric word."}}},
        {"ten letters", remove, "abcdefghij", "mine", {}, UpdateOutcome::kWordRejected,
         {{incomplete, "abcdefghij is not a valid Zantric word."}}},
        {"pattern to add", add, "c?t", "mine", {}, UpdateOutcome::kWordRejected,
         {{incomplete, "c?t is not a valid Zantric word."}}},
        {"no dictionary", add, "emu", "", {}, UpdateOutcome::kStopped,
         {{incomplete, "Please select a dictionary."}}},
        {"already there", add, "CAT", "Mine.lex", {}, UpdateOutcome::kStopped,
         {{"Error", "mine.lex already contains the word 'Cat'"}}},
        {"elsewhere, not anyway", add, "dog", "mine", {kIdNo}, UpdateOutcome::kStopped,
         {{"Warning", "Your word can already be found in:\n\nother.lex\n\nDo you wish to add "
                      "your word anyway?"}}},
        {"new dictionary declined", add, "emu", "fresh", {kIdNo}, UpdateOutcome::kStopped,
         {{"New Dictionary", "Do you wish to create a new dictionary"}}},
        {"unknown dictionary", remove, "emu", "fresh", {}, UpdateOutcome::kDictionaryUnknown,
         {{incomplete, "Zantric does not recognise your chosen dictionary. Please select a "
                       "dictionary from the drop-down list."}}},
        {"not there to remove", remove, "emu", "mine", {}, UpdateOutcome::kNotChanged,
         {{"Dictionary Update Failed.", "The word to be removed could not be found."}}, 1},
        {"elsewhere, anyway", add, "dog", "mine", {kIdYes}, UpdateOutcome::kDone,
         {{"Warning", "Your word can already be found in:\n\nother.lex\n\nDo you wish to add "
                      "your word anyway?"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all("lexicons");
        fs::remove_all("temp");
        fs::create_directories("lexicons");
        fs::create_directories("temp");
        for (int i = 0; i < c.markers; ++i) {
            test::TempFolder::write(fs::path("temp") / ("$$copy" + std::to_string(i) + ".zti"), "");
        }
        writeDictionary("mine.lex", {"bat", "Cat", "cot"});
        writeDictionary("other.lex", {"dog"});
        DictionaryNames::resetForTests();
        m_messages.clear();
        for (int answer : c.answers) m_messages.script({answer});
        const std::string before = test::TempFolder::read(lexFile("mine.lex"));

        EXPECT_EQ(command(c.mode).ok(c.word, c.dictionary), c.outcome);

        EXPECT_EQ(shown(), c.messages);
        EXPECT_EQ(m_messages.beeps(), c.beeps);
        EXPECT_EQ(m_messages.unusedAnswers(), 0u);
        for (const test::RecordedMessage& m : m_messages.messages()) {
            // Only "already contains" is task-modal; the rest belong to the dialog.
            EXPECT_EQ(m.hasOwner, m.title != "Error") << m.text;
            EXPECT_EQ(m.style == kMbOkStop, m.title == "Dictionary Update Failed.") << m.text;
        }
        EXPECT_FALSE(fs::exists(lexFile("fresh.lex")));
        if (c.outcome == UpdateOutcome::kDone) {
            EXPECT_EQ(wordsOf("mine.lex"), (Words{"bat", "Cat", "cot", "dog"}));
        } else {
            EXPECT_TRUE(test::TempFolder::read(lexFile("mine.lex")) == before) << "changed";
        }
        EXPECT_TRUE(noRewriteFile());
    }
}

TEST_F(UpdateDictionaryTest, AddsInOrderRemovesPatternsAndDeletesTheEmptiedDictionary) {
    writeDictionary("mine.lex", {"bat", "cot", "cut"});
    DictionaryNames::instance().setSelected(lexPath("mine.lex"), true);

    EXPECT_EQ(command(UpdateMode::kAdd).ok("cat", "mine"), UpdateOutcome::kDone);
    EXPECT_EQ(wordsOf("mine.lex"), (Words{"bat", "cat", "cot", "cut"}));
    EXPECT_EQ((std::vector<int>{901, 903}), m_statuses);
    const std::string fourWords = test::TempFolder::read(lexFile("mine.lex"));

    EXPECT_EQ(command(UpdateMode::kRemove).ok("c?t", "mine.lex"), UpdateOutcome::kDone);
    EXPECT_EQ(wordsOf("mine.lex"), Words{"bat"});
    EXPECT_TRUE(test::TempFolder::read(lexFile("mine.lxb")) == fourWords) << "the backup";
    const DictionaryName* entry = DictionaryNames::instance().find(lexPath("mine.lex"));
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->selected());
    EXPECT_EQ(entry->header().wordCount, 1u);
    const std::string oneWord = test::TempFolder::read(lexFile("mine.lex"));

    m_statuses.clear();
    EXPECT_EQ(command(UpdateMode::kRemove).ok("bat", "mine"), UpdateOutcome::kDone);
    EXPECT_FALSE(fs::exists(lexFile("mine.lex")));
    EXPECT_TRUE(test::TempFolder::read(lexFile("mine.lxb")) == oneWord) << "the last version";
    EXPECT_EQ(DictionaryNames::instance().find(lexPath("mine.lex")), nullptr);
    EXPECT_EQ((std::vector<int>{901, 904}), m_statuses);
    EXPECT_EQ(m_messages.count(), 0u);
    EXPECT_TRUE(noRewriteFile());
}

TEST_F(UpdateDictionaryTest, AddingToANewNameCreatesTheDictionary) {
    DictionaryNames::instance();
    m_messages.clear();
    m_messages.script({kIdYes});

    EXPECT_EQ(command(UpdateMode::kAdd).ok("ABC", "Fresh"), UpdateOutcome::kDone);

    EXPECT_EQ(wordsOf("fresh.lex"), Words{"Abc"});
    EXPECT_EQ(UpdateDictionary::dictionaryNames(), Words{"fresh.lex"});
    EXPECT_EQ(shown(), (std::vector<Shown>{{"New Dictionary", "Do you wish to create a new dictionary"}}));
}

TEST_F(UpdateDictionaryTest, CancelPauseAndFailureLeaveTheDictionaryAsItWas) {
    struct Case {
        const char* what;
        UpdateMode mode;
        const char* word;
        UpdateDictionary::WorkRunner runner;
        UpdateOutcome outcome;
        std::vector<Shown> messages;
        bool blockRewrite = false;
    };
    const auto cancelFirst = [](ProgressWork& work) {
        work.cancelWork();
        return runWork(work);
    };
    // Cancel while the work waits at its first poll point; it must not end while paused.
    const auto cancelWhilePaused = [](ProgressWork& work) {
        work.pause();
        WorkerThread thread;
        thread.start(work);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_FALSE(thread.finished()) << "went on while paused";
        work.cancelWork();
        work.resume();
        thread.join();
        return work.result();
    };
    const std::vector<Case> cases = {
        {"add cancelled", UpdateMode::kAdd, "zzzz", cancelFirst, UpdateOutcome::kCancelled, {}},
        {"remove cancelled", UpdateMode::kRemove, "a?a?", cancelFirst, UpdateOutcome::kCancelled,
         {}},
        {"cancelled while paused", UpdateMode::kRemove, "aaaa", cancelWhilePaused,
         UpdateOutcome::kCancelled, {}},
        {"rewrite cannot be made", UpdateMode::kAdd, "zzzz", runWork, UpdateOutcome::kFailed,
         {{"Zantric Exception", std::string("Unable to create Dictionary: ") + kRewriteFileName}},
         true},
    };
    Words many;
    for (char a = 'a'; a <= 'z'; ++a) {
        for (char b = 'a'; b <= 'z'; ++b) {
            for (char c = 'a'; c <= 'e'; ++c) many.push_back(std::string{'a', a, b, c});
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all("lexicons");
        fs::remove_all(kRewriteFileName);
        fs::create_directories("lexicons");
        writeDictionary("mine.lex", many);
        DictionaryNames::resetForTests();
        m_messages.clear();
        const std::string before = test::TempFolder::read(lexFile("mine.lex"));
        if (c.blockRewrite) fs::create_directory(kRewriteFileName);

        EXPECT_EQ(command(c.mode, c.runner).ok(c.word, "mine"), c.outcome);

        EXPECT_EQ(shown(), c.messages);
        EXPECT_TRUE(test::TempFolder::read(lexFile("mine.lex")) == before) << "changed";
        EXPECT_FALSE(fs::exists(lexFile("mine.lxb")));
        EXPECT_FALSE(fs::is_regular_file(kRewriteFileName));
        EXPECT_FALSE(fs::exists(lexFile(kRewriteFileName)));
    }
    fs::remove_all(kRewriteFileName);
}

TEST_F(UpdateDictionaryTest, FindShowsWhereTheWordIsExactly) {
    writeDictionary("mine.lex", {"Apple"});
    writeDictionary("other.lex", {"apple"});
    struct Case {
        const char* word;
        Shown message;
    };
    const Case cases[] = {
        {"", {"Incomplete Information", "You must specify a word in the 'Enter Word' edit control."}},
        {"Apple", {"Find", "The word you are looking for can be found in:\n\nmine.lex"}},
        {"apple", {"Find", "The word you are looking for can be found in:\n\nother.lex"}},
        {"pear", {"Find", "Your word was not found in any dictionaries."}},
    };
    for (const Case& c : cases) {
        m_messages.clear();
        command(UpdateMode::kAdd).find(c.word);
        EXPECT_EQ(shown(), std::vector<Shown>{c.message}) << c.word;
    }
}

}  // namespace
}  // namespace zantric
