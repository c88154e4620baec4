// Adding a word to and removing words from a dictionary, as the Add Word and Remove Word
// commands do it: WordChange runs the checks and questions of the OK command in order,
// then the change itself, WordChangeWork, under the caller's progress display, and reports
// the outcome. The window's dialog and the command line both drive it. UI thread, except
// WordChangeWork::work(), which runs on the worker thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/word_update.h"
#include "core/dictionary/workspace.h"
#include "core/shell/messages.h"
#include "core/shell/progress_work.h"

namespace zantric {

// The rule of the word edit: letters and at most one hyphen, neither first nor last, and at
// most twenty letters. With `wildcards` (a word to remove) a '?' counts as a letter and stands
// for any one letter.
bool zantricAddWordValidator(std::string_view text, bool wildcards = false);

// The keystroke filter of the dictionary name: letters, digits, space, underscore, hyphen and
// braces pass (and backspace, in the window).
bool dictionaryNameKeyAllowed(char c);

// The change itself: updateWord on the worker thread. Its progress is the share of the
// dictionary's words read so far; cancel stops the rewrite, leaving the dictionary as it was.
class WordChangeWork : public ProgressWork, private WordUpdateObserver {
public:
    WordChangeWork(Prompter& prompter, Catalogue& catalogue, std::string word,
                   std::filesystem::path path, UpdateMode mode);

    void work() override;
    void cancelWork() override;
    // updateWord's result; none until it returns, or when it threw (the exception was reported).
    std::optional<UpdateResult> change() const { return m_change.load(); }

private:
    void pollPoint() override;
    ReadControl& reads() override { return m_reads; }

    Catalogue& m_catalogue;
    ReadControl m_reads;
    std::string m_word;
    std::filesystem::path m_path;
    UpdateMode m_mode;
    std::uint32_t m_totalWords;  // as the catalogue knows them; 0 when unlisted
    std::atomic<std::optional<UpdateResult>> m_change;
};

// How an OK command ended.
enum class UpdateOutcome {
    kDone,               // the word was added or removed
    kRefused,            // another copy of the program runs: dictionaries may not change
    kWordRejected,       // the word is not valid: the word edit takes the focus again
    kDictionaryUnknown,  // remove mode, no such dictionary: the list of dictionaries drops down
    kStopped,            // a check failed or the user said No (the message has been shown)
    kDeclined,           // a pattern fits several words and the user did not say Yes to all
    kNotChanged,         // the word to remove was not there (or the word to add was)
    kCancelled,          // the user cancelled the change
    kFailed,             // a file error ended the change (the message has been shown)
};

class WordChange {
public:
    // Runs a work to its end under the caller's progress display; returns its result.
    using WorkRunner = std::function<WorkResult(ProgressWork&)>;
    // Shows a string-table text in the status line (901 clears it).
    using StatusSink = std::function<void(int textId)>;

    WordChange(Workspace workspace, UpdateMode mode, WorkRunner runner, StatusSink status = {});

    UpdateMode mode() const { return m_mode; }
    // "Add Word" or "Remove Word"; the OK button's "&Add" or "&Remove".
    std::string caption() const;
    std::string okButtonText() const;

    // The file names of the catalogued dictionaries, in catalogue order (the drop-down list).
    static std::vector<std::string> dictionaryNames(const Catalogue& catalogue);

    // The Find button: shows where `word` (exactly as typed) is found. Returns the list
    // (listDictionariesContaining), "" when the word is empty or found nowhere.
    std::string find(const std::string& word) const;

    // The OK button with the word and the dictionary name as typed. The word's accented letters
    // are folded in the dictionary's language (élève -> eleve in a French one). A word to remove
    // with a '?' that fits more than one word asks first, naming how many.
    UpdateOutcome ok(const std::string& typedWord, const std::string& dictionaryText);
    // How many words the last ok() removed.
    std::uint32_t removedWords() const { return m_removedWords; }

private:
    Answer message(int textId, int titleId, MessageKind kind, Buttons buttons = Buttons::kOk) const;
    Answer messageText(const std::string& text, int titleId, MessageKind kind,
                       Buttons buttons = Buttons::kOk) const;
    void status(int textId) const;
    // The steps of ok(). The typed word's checks, its letters after the first lower-cased; an
    // outcome when it is refused.
    std::optional<UpdateOutcome> checkWord(std::string& word) const;
    // Adding: false when the dictionary holds the word, or it is elsewhere (`list`) and the
    // user does not add it anyway.
    bool confirmAddition(const std::string& word, const std::string& list, const std::string& name,
                         const std::string& fileName) const;
    // A dictionary not in the catalogue: unknown when removing, else created if the user agrees.
    std::optional<UpdateOutcome> checkListed(const std::string& fileName) const;
    // Removing with a pattern: when it fits more than one word of the dictionary, the user says
    // Yes to removing them all, or nothing is removed.
    std::optional<UpdateOutcome> confirmRemoval(const std::string& word,
                                                const std::filesystem::path& path,
                                                const std::string& fileName) const;
    // After a removal: a dictionary left without words is deleted.
    void removeIfEmpty(const std::filesystem::path& path) const;
    // Reports what the change came to; the outcome it stands for.
    UpdateOutcome report(std::optional<UpdateResult> change) const;

    Workspace m_workspace;
    UpdateMode m_mode;
    WorkRunner m_runner;
    StatusSink m_status;
    std::uint32_t m_removedWords = 0;
};

}  // namespace zantric
