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
        return WordChange(workspace(), mode, std::move(runner), {});
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
};

// The texts of OK's messages, and a case of its checks: the one message it shows, if any.
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
const std::string inputError = "Input Error";
std::string notValid(const std::string& word, const std::string& fault) {
    return word + " is not a valid Zantric word: " + fault +
           ".\nA Zantric word has 1 to 20 letters a–z and at most one hyphen, neither first nor "
           "last.";
}
const std::string contains = " already contains the word ";
const std::string newOne = "Do you wish to create a new dictionary";
struct Case {
    UpdateMode mode;
    std::string word;
    const char* dictionary;
    int answer;  // 0: no question
    UpdateOutcome outcome;
    std::string title, text;  // the one message, if any
    int beeps = 0;
    bool otherCopy = false;
};
// Each check of OK stops at its message, in order; the last case gets through.
TEST_F(WordChangeTest, ChecksAndQuestionsOfOk) {
    const UpdateMode add = UpdateMode::kAdd, remove = UpdateMode::kRemove;
    const std::string outside = "characters outside a–z",
                      tooLong = "too long (more than 20 letters)",
                      hyphens = "more than one hyphen, or a hyphen first or last";
    const std::string long21(21, 'a'), long21q = std::string(20, '?') + "-a";
    using O = UpdateOutcome;
    // clang-format off
    const std::vector<Case> cases = {
        {add, "emu", "mine", 0, O::kRefused, "Warning", otherCopy, 0, true},
        {add, "", "mine", 0, O::kStopped, incomplete, noWord},
        {add, "co-", "mine", 0, O::kWordRejected, "", "", 1},
        {add, "co--op", "mine", 0, O::kWordRejected, inputError, notValid("co--op", hyphens)},
        {add, "-co", "mine", 0, O::kWordRejected, inputError, notValid("-co", hyphens)},
        {add, "c?t", "mine", 0, O::kWordRejected, inputError, notValid("c?t", outside)},
        {add, "café", "mine", 0, O::kWordRejected, inputError, notValid("café", outside)},
        {add, "ice cream", "mine", 0, O::kWordRejected, inputError, notValid("ice cream", outside)},
        {add, long21, "mine", 0, O::kWordRejected, inputError, notValid(long21, tooLong)},
        {remove, long21q, "mine", 0, O::kWordRejected, inputError, notValid(long21q, tooLong)},
        {add, "emu", "", 0, O::kStopped, incomplete, "Please select a dictionary."},
        {add, "CAT", "Mine.lex", 0, O::kStopped, "Error", "mine.lex" + contains + "'Cat'"},
        {add, "dog", "mine", test::kIdNo, O::kStopped, "Warning", elsewhere},
        {add, "emu", "fresh", test::kIdNo, O::kStopped, "New Dictionary", newOne},
        {remove, "emu", "fresh", 0, O::kDictionaryUnknown, incomplete, unknown},
        {remove, "emu", "mine", 0, O::kNotChanged, "Dictionary Update Failed.", notFound, 1},
        {remove, "?at", "mine", test::kIdNo, O::kDeclined, "Confirm",
         "2 words of mine.lex fit '?at'.\n\nDo you wish to remove them all?"},
        {add, "dog", "mine", test::kIdYes, O::kDone, "Warning", elsewhere},
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
            EXPECT_EQ(m.style == test::kMbOkStop, m.title == "Dictionary Update Failed.");
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

// Cancel while the work waits paused at its first poll point (it must not go on while paused),
// or no rewrite file: the dictionary is as it was. Cancel at other points: word_update_test.
TEST_F(WordChangeTest, CancelPauseAndFailureLeaveTheDictionaryAsItWas) {
    const auto cancelWhilePaused = [](ProgressWork& work) {
        EXPECT_EQ(work.text(), "Removing Word");  // the progress window's title
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
    const std::vector<Shown> failed = {
        {"Zantric Exception", "Unable to create Dictionary: " + shownPath(kRewriteFileName)}};
    Words many;
    for (int i = 0; i < 26 * 26; ++i) many.push_back({'a', char('a' + i / 26), char('a' + i % 26)});
    for (bool pause : {true, false}) {
        SCOPED_TRACE(pause);
        fresh();
        writeDictionary(lexPath("mine.lex"), many);
        const std::string before = bytesOf("mine.lex");
        if (!pause) fs::create_directory(kRewriteFileName);
        EXPECT_EQ(command(UpdateMode::kRemove, pause ? WordChange::WorkRunner(cancelWhilePaused)
                                                     : WordChange::WorkRunner(runWork))
                      .ok("aaa", "mine"),
                  pause ? UpdateOutcome::kCancelled : UpdateOutcome::kFailed);
        EXPECT_EQ(shown(), pause ? std::vector<Shown>{} : failed);
        EXPECT_TRUE(bytesOf("mine.lex") == before) << "changed";
        EXPECT_FALSE(fs::exists("lexicons/mine.lxb") || rewriteFileLeft());
        fs::remove_all(kRewriteFileName);
    }
}

}  // namespace
}  // namespace zantric
