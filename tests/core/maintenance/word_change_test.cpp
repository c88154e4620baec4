// Add Word and Remove Word: the word rule, every check and question of OK with its text and in
// its order, the emptied dictionary deleted, and what cancel, pause and failure leave behind.
#include "core/maintenance/word_change.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/shell/paths.h"
#include "support/dictionary_files.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::bytesOf;
using test::lexPath;
using test::Words;
using test::writeDictionary;

using Shown = std::pair<std::string, std::string>;  // title, text

class WordChangeTest : public test::ProgramFolderTest {
protected:
    WordChange command(UpdateMode mode, WordChange::WorkRunner runner = runWork) {
        return WordChange(
            mode, std::move(runner), [this](int id) { m_statuses.push_back(id); }, this);
    }
    std::vector<Shown> shown() const {
        std::vector<Shown> result;
        for (const test::RecordedMessage& m : m_messages.messages())
            result.emplace_back(m.title, m.text);
        return result;
    }
    static bool rewriteFileLeft() {
        return fs::is_regular_file(kRewriteFileName) ||
               fs::exists(fs::path("lexicons") / kRewriteFileName);
    }

    std::vector<int> m_statuses;
};

TEST(ZantricAddWordValidator, LettersAndOneInnerHyphenUpToTwentyLetters) {
    struct Case {
        const char* text;
        bool word, pattern;  // valid as a word to add / as a word or pattern to remove
    };
    // clang-format off
    const Case cases[] = {
        {"Cat", true, true}, {"co-op", true, true}, {"co--op", false, false},
        {"-ish", false, false}, {"ish-", false, false}, {"abcd-efghi", true, true},
        {"", false, false}, {"c?t", false, true},
        {"c*t", false, false}, {"caf\xc3\xa9", false, false}, {"abcdefghij-klmnopqrst", true, true},
        {"abcdefghijklmnopqrst", true, true}, {"abcdefghijklmnopqrstu", false, false},
        {"?bcdefghijklmnopqrs-tu", false, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(zantricAddWordValidator(c.text), c.word) << c.text;
        EXPECT_EQ(zantricAddWordValidator(c.text, true), c.pattern) << c.text;
    }
}

// Each check of OK stops at its message, in order; the last case gets through.
TEST_F(WordChangeTest, ChecksAndQuestionsOfOk) {
    const UpdateMode add = UpdateMode::kAdd, remove = UpdateMode::kRemove;
    using O = UpdateOutcome;
    const std::string incomplete = "Incomplete Information";
    const std::string otherCopy =
        "Zantric cannot change dictionaries while another copy of Zantric is running.\nClose the "
        "other copies of Zantric and try again.";
    const std::string noWord = "You must specify a word in the 'Enter Word' edit control.";
    const std::string elsewhere =
        "Your word can already be found in:\n\nother.lex\n\nDo you wish to add your word anyway?";
    const std::string unknown =
        "Zantric does not recognise your chosen dictionary. Please select a dictionary from the "
        "drop-down list.";
    const std::string notFound = "The word to be removed could not be found.";
    const std::string notValid = " is not a valid Zantric word.";
    const std::string contains = " already contains the word ";
    const std::string newOne = "Do you wish to create a new dictionary";
    struct Case {
        UpdateMode mode;
        const char* word;
        const char* dictionary;
        int answer;  // 0: no question
        UpdateOutcome outcome;
        std::string title, text;  // the one message, if any
        int beeps = 0;
        bool otherCopy = false;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {add, "emu", "mine", 0, O::kRefused, "Warning", otherCopy, 0, true},
        {add, "", "mine", 0, O::kStopped, incomplete, noWord},
        {add, "co-", "mine", 0, O::kWordRejected, "", "", 1},
        {add, "co--op", "mine", 0, O::kWordRejected, incomplete, "co--op" + notValid},
        {add, "c?t", "mine", 0, O::kWordRejected, incomplete, "c?t" + notValid},
        {add, "emu", "", 0, O::kStopped, incomplete, "Please select a dictionary."},
        {add, "CAT", "Mine.lex", 0, O::kStopped, "Error", "mine.lex" + contains + "'Cat'"},
        {add, "dog", "mine", kIdNo, O::kStopped, "Warning", elsewhere},
        {add, "emu", "fresh", kIdNo, O::kStopped, "New Dictionary", newOne},
        {remove, "emu", "fresh", 0, O::kDictionaryUnknown, incomplete, unknown},
        {remove, "emu", "mine", 0, O::kNotChanged, "Dictionary Update Failed.", notFound, 1},
        {add, "dog", "mine", kIdYes, O::kDone, "Warning", elsewhere},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        fresh();
        if (c.otherCopy) {
            test::TempFolder::write("temp/$$one.zti", "");
            test::TempFolder::write("temp/$$two.zti", "");
        }
        writeDictionary(lexPath("mine.lex"), {"bat", "Cat", "cot"});
        writeDictionary(lexPath("other.lex"), {"dog"});
        if (c.answer) m_messages.script({c.answer});
        const std::string before = bytesOf("mine.lex");

        EXPECT_EQ(command(c.mode).ok(c.word, c.dictionary), c.outcome);

        std::vector<Shown> expected;
        if (!c.title.empty()) expected.emplace_back(c.title, c.text);
        EXPECT_EQ(shown(), expected);
        EXPECT_EQ(m_messages.beeps(), c.beeps);
        EXPECT_EQ(m_messages.unusedAnswers(), 0u);
        for (const test::RecordedMessage& m : m_messages.messages()) {
            // Only "already contains" is task-modal; the rest belong to the dialog.
            EXPECT_EQ(m.hasOwner, m.title != "Error");
            EXPECT_EQ(m.style == kMbOkStop, m.title == "Dictionary Update Failed.");
        }
        EXPECT_FALSE(fs::exists("lexicons/fresh.lex"));
        if (c.outcome == O::kDone) {
            EXPECT_EQ(test::wordsOf(lexPath("mine.lex")), (Words{"bat", "Cat", "cot", "dog"}));
        } else {
            EXPECT_TRUE(bytesOf("mine.lex") == before) << "changed";
        }
        EXPECT_FALSE(rewriteFileLeft());
    }
}

TEST_F(WordChangeTest, RemovingTheLastWordsDeletesTheDictionary) {
    writeDictionary(lexPath("mine.lex"), {"bat", "cot", "cut"});
    Catalogue::instance().setSelected(lexPath("mine.lex"), true);

    EXPECT_EQ(command(UpdateMode::kAdd).ok("cat", "mine"), UpdateOutcome::kDone);
    EXPECT_EQ(test::wordsOf(lexPath("mine.lex")), (Words{"bat", "cat", "cot", "cut"}));
    EXPECT_EQ(command(UpdateMode::kRemove).ok("c?t", "mine.lex"), UpdateOutcome::kDone);
    EXPECT_EQ(test::wordsOf(lexPath("mine.lex")), Words{"bat"});
    EXPECT_TRUE(Catalogue::instance().isSelected(lexPath("mine.lex")));
    const std::string lastVersion = bytesOf("mine.lex");

    EXPECT_EQ(command(UpdateMode::kRemove).ok("bat", "mine"), UpdateOutcome::kDone);
    EXPECT_FALSE(fs::exists("lexicons/mine.lex"));
    EXPECT_TRUE(bytesOf("mine.lxb") == lastVersion) << "the backup";
    EXPECT_EQ(Catalogue::instance().find(lexPath("mine.lex")), nullptr);
    EXPECT_EQ(m_statuses, (std::vector<int>{901, 903, 901, 904, 901, 904}));
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(WordChangeTest, CancelPauseAndFailureLeaveTheDictionaryAsItWas) {
    const auto cancelFirst = [](ProgressWork& work) {
        work.cancelWork();
        return runWork(work);
    };
    // Cancel while the work waits at its first poll point; it must not go on while paused.
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
    struct Case {
        UpdateMode mode;
        const char* word;
        WordChange::WorkRunner runner;
        UpdateOutcome outcome;
        bool blockRewrite = false;
    };
    const std::vector<Case> cases = {
        {UpdateMode::kAdd, "zzzz", cancelFirst, UpdateOutcome::kCancelled},
        {UpdateMode::kRemove, "a?a", cancelFirst, UpdateOutcome::kCancelled},
        {UpdateMode::kRemove, "aaa", cancelWhilePaused, UpdateOutcome::kCancelled},
        {UpdateMode::kAdd, "zzzz", runWork, UpdateOutcome::kFailed, true},
    };
    Words many;
    for (int i = 0; i < 26 * 26; ++i) many.push_back({'a', char('a' + i / 26), char('a' + i % 26)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        fresh();
        writeDictionary(lexPath("mine.lex"), many);
        const std::string before = bytesOf("mine.lex");
        if (c.blockRewrite) fs::create_directory(kRewriteFileName);

        EXPECT_EQ(command(c.mode, c.runner).ok(c.word, "mine"), c.outcome);

        std::vector<Shown> expected;
        if (c.blockRewrite) {
            expected = {{"Zantric Exception",
                         "Unable to create Dictionary: " + shownPath(kRewriteFileName)}};
        }
        EXPECT_EQ(shown(), expected);
        EXPECT_TRUE(bytesOf("mine.lex") == before) << "changed";
        EXPECT_FALSE(fs::exists("lexicons/mine.lxb"));
        EXPECT_FALSE(rewriteFileLeft());
        fs::remove_all(kRewriteFileName);
    }
}

}  // namespace
}  // namespace zantric
