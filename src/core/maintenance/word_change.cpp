#include "core/maintenance/word_change.h"

#include <algorithm>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_language.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/maintenance/new_dictionary.h"
#include "core/session/program_session.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"
#include "core/sort/word_list_reader.h"

namespace zantric {
namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The typed word with its accented letters folded in the language of the dictionary named
// `dictionaryText`; as typed for an English or unknown dictionary, or a letter with no fold
// (which the word rule then refuses).
std::string foldTyped(const Workspace& workspace, const std::string& typed,
                      const std::string& dictionaryText) {
    const std::string name = dictionaryFileName(dictionaryText);
    if (name.empty()) return typed;
    const std::filesystem::path path = workspace.settings.dictionaryPath(name);
    const CatalogueEntry* entry = workspace.catalogue.find(path);
    const Language language = dictionaryLanguage(entry ? entry->filePath() : path);
    std::string folded(typed.size() + 1, '\0');
    const int length = foldLetters(language, typed, folded.data());
    if (length < 0) return typed;
    folded.resize(static_cast<std::size_t>(length));
    return folded;
}

}  // namespace

bool zantricAddWordValidator(std::string_view text, bool wildcards) {
    return !text.empty() && wordFault(text, wildcards) == WordFault::kNone;
}

bool dictionaryNameKeyAllowed(char c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == ' ' || c == '_' || c == '-' || c == '{' ||
           c == '}';
}

// --- WordChangeWork -------------------------------------------------------------------------

WordChangeWork::WordChangeWork(Prompter& prompter, Catalogue& catalogue, std::string word,
                               std::filesystem::path path, UpdateMode mode)
    : ProgressWork(prompter),
      m_catalogue(catalogue),
      m_word(std::move(word)),
      m_path(std::move(path)),
      m_mode(mode),
      m_totalWords(0) {
    if (const CatalogueEntry* entry = m_catalogue.find(m_path)) {
        m_totalWords = entry->header().wordCount;
    }
    setText(mode == UpdateMode::kAdd ? "Adding Word" : "Removing Word");
}

void WordChangeWork::work() {
    // A backup that cannot be kept is told, whether or not the change then goes through.
    Status keptOld;
    UpdateResult change = UpdateResult::kCancelled;
    try {
        change = updateWord(m_catalogue, m_path, m_word, m_mode, this, &keptOld);
    } catch (const ZantricException&) {
        keptOld.report(prompter());
        throw;
    }
    keptOld.report(prompter());
    m_change.store(change);
    setResult(change == UpdateResult::kDone ? WorkResult::kDone : WorkResult::kFailed);
}

void WordChangeWork::cancelWork() {
    ProgressWork::cancelWork();
    m_reads.setCancel();
}

void WordChangeWork::pollPoint() {
    if (m_totalWords > 0) {
        const std::uint64_t share = m_reads.checked() * 100 / m_totalWords;
        setPercent(static_cast<int>(std::min<std::uint64_t>(share, 100)));
    }
    // Opening a reader clears the reader's cancel flag: a cancel given before then is given again.
    if (poll()) m_reads.setCancel();
}

// --- WordChange ---------------------------------------------------------------------------

WordChange::WordChange(Workspace workspace, UpdateMode mode, WorkRunner runner, StatusSink status)
    : m_workspace(workspace),
      m_mode(mode),
      m_runner(std::move(runner)),
      m_status(std::move(status)) {}

std::string WordChange::caption() const {
    return loadString(m_mode == UpdateMode::kAdd ? kStrAddWordCaption : kStrRemoveWordCaption);
}

std::string WordChange::okButtonText() const {
    return m_mode == UpdateMode::kAdd ? "&Add" : "&Remove";
}

std::vector<std::string> WordChange::dictionaryNames(const Catalogue& catalogue) {
    std::vector<std::string> names;
    for (const CatalogueEntry& entry : catalogue.entries()) {
        names.push_back(entry.displayName());
    }
    return names;
}

Answer WordChange::message(int textId, int titleId, MessageKind kind, Buttons buttons) const {
    return m_workspace.prompter.ask(Message::fromIds(textId, titleId, kind, buttons));
}

Answer WordChange::messageText(const std::string& text, int titleId, MessageKind kind,
                               Buttons buttons) const {
    return m_workspace.prompter.ask({text, loadString(titleId), kind, buttons});
}

void WordChange::status(int textId) const {
    if (m_status) m_status(textId);
}

std::string WordChange::find(const std::string& word) const {
    if (word.empty()) {
        message(kStrNoWord, kStrIncompleteTitle, MessageKind::kPlain);
        return {};
    }
    std::string list;
    try {
        list = listDictionariesContaining(m_workspace.catalogue, word);
    } catch (const ZantricException& e) {
        reportFailure(m_workspace.prompter, e);
        return {};
    }
    if (list.empty()) {
        message(kStrFoundNowhere, kStrFindTitle, MessageKind::kPlain);
    } else {
        messageText(loadString(kStrFoundIn) + list, kStrFindTitle, MessageKind::kPlain);
    }
    return list;
}

UpdateOutcome WordChange::ok(const std::string& typedWord, const std::string& dictionaryText) {
    m_removedWords = 0;
    if (!onlyCopyRunning(m_workspace.settings, m_workspace.prompter))
        return UpdateOutcome::kRefused;
    status(kStrStatusBlank);
    std::string word = foldTyped(m_workspace, typedWord, dictionaryText);
    if (const std::optional<UpdateOutcome> refused = checkWord(word)) return *refused;

    std::string list;
    try {
        list = listDictionariesContaining(m_workspace.catalogue, word);
    } catch (const ZantricException& e) {
        reportFailure(m_workspace.prompter, e);
        return UpdateOutcome::kFailed;
    }
    if (dictionaryText.empty()) {
        message(kStrNoDictionary, kStrIncompleteTitle, MessageKind::kPlain);
        return UpdateOutcome::kStopped;
    }
    if (!checkDictionaryName(m_workspace.prompter, dictionaryText)) return UpdateOutcome::kStopped;
    const std::string name = dictionaryFileName(dictionaryText);
    const std::filesystem::path path = m_workspace.settings.dictionaryPath(name);
    const std::string fileName = path.filename().string();

    if (m_mode == UpdateMode::kAdd && !confirmAddition(word, list, name, fileName)) {
        return UpdateOutcome::kStopped;
    }
    if (const std::optional<UpdateOutcome> refused = checkListed(fileName)) return *refused;
    if (m_mode == UpdateMode::kRemove) {
        if (const std::optional<UpdateOutcome> refused = confirmRemoval(word, path, fileName)) {
            return *refused;
        }
    }

    auto wordCount = [this, &path] {
        const CatalogueEntry* entry = m_workspace.catalogue.find(path);
        return entry ? entry->header().wordCount : 0;
    };
    const std::uint32_t before = wordCount();
    WordChangeWork work(m_workspace.prompter, m_workspace.catalogue, word, path, m_mode);
    m_runner(work);
    const std::optional<UpdateResult> change = work.change();
    if (m_mode == UpdateMode::kRemove && change == UpdateResult::kDone) {
        removeIfEmpty(path);
        m_removedWords = before - std::min(before, wordCount());
    }
    return report(change);
}

std::optional<UpdateOutcome> WordChange::confirmRemoval(const std::string& word,
                                                        const std::filesystem::path& path,
                                                        const std::string& fileName) const {
    if (word.find('?') == std::string::npos) return std::nullopt;
    const CatalogueEntry* entry = m_workspace.catalogue.find(path);
    std::int64_t count = 0;
    try {
        count = countWordsCountingAs(entry ? entry->filePath() : path, word);
    } catch (const ZantricException& e) {
        reportFailure(m_workspace.prompter, e);
        return UpdateOutcome::kFailed;
    }
    if (count <= 1) return std::nullopt;
    const std::string question =
        loadString(kStrRemoveWordsCount, m_workspace.prompter.countText(count)) + fileName +
        loadString(kStrRemoveWordsFit) + word + loadString(kStrRemoveWordsQuestion);
    if (messageText(question, kStrConfirmTitle, MessageKind::kPlain, Buttons::kYesNo) ==
        Answer::kYes)
        return std::nullopt;
    return UpdateOutcome::kDeclined;
}

std::optional<UpdateOutcome> WordChange::checkWord(std::string& word) const {
    if (word.empty()) {
        message(kStrNoWord, kStrIncompleteTitle, MessageKind::kPlain);
        return UpdateOutcome::kStopped;
    }
    if (word.back() == '-') {
        m_workspace.prompter.beep();
        return UpdateOutcome::kWordRejected;
    }
    if (const WordFault fault = wordFault(word, m_mode == UpdateMode::kRemove);
        fault != WordFault::kNone) {
        messageText(wordRefusalText(word, fault), kStrInputErrorTitle, MessageKind::kPlain);
        return UpdateOutcome::kWordRejected;
    }
    for (std::size_t i = 1; i < word.size(); ++i) word[i] = lower(word[i]);
    return std::nullopt;
}

bool WordChange::confirmAddition(const std::string& word, const std::string& list,
                                 const std::string& name, const std::string& fileName) const {
    if (list.find("\n" + name) != std::string::npos) {
        // Task-modal, as the program has always shown it.
        m_workspace.prompter.ask({fileName + loadString(kStrAlreadyContains) + word + "'",
                                  loadString(kStrErrorTitle), MessageKind::kPlain});
        return false;
    }
    return list.empty() ||
           messageText(loadString(kStrFoundAlreadyIn) + list + loadString(kStrAddAnyway),
                       kStrWarningTitle, MessageKind::kPlain, Buttons::kYesNo) == Answer::kYes;
}

std::optional<UpdateOutcome> WordChange::checkListed(const std::string& fileName) const {
    const std::vector<std::string> names = dictionaryNames(m_workspace.catalogue);
    const bool listed = std::any_of(names.begin(), names.end(), [&](const std::string& entry) {
        return entry.starts_with(fileName);
    });
    if (listed) return std::nullopt;
    if (m_mode == UpdateMode::kRemove) {
        message(kStrUnknownDictionary, kStrIncompleteTitle, MessageKind::kPlain);
        return UpdateOutcome::kDictionaryUnknown;
    }
    if (message(kStrCreateNew, kStrNewDictionaryTitle, MessageKind::kPlain, Buttons::kYesNo) !=
        Answer::kYes) {
        return UpdateOutcome::kStopped;
    }
    return std::nullopt;
}

void WordChange::removeIfEmpty(const std::filesystem::path& path) const {
    // A dictionary left without words goes; its last version stays as the backup.
    Catalogue& catalogue = m_workspace.catalogue;
    if (const CatalogueEntry* entry = catalogue.find(path);
        entry && entry->header().wordCount == 0) {
        if (removeFile(entry->filePath())) {
            catalogue.remove(path);
        } else {
            messageText(loadString(kStrCannotRemoveEmpty) + shownPath(path), kStrErrorTitle,
                        MessageKind::kPlain);
        }
    }
}

UpdateOutcome WordChange::report(std::optional<UpdateResult> change) const {
    if (!change) return UpdateOutcome::kFailed;  // the exception's text has been shown
    switch (*change) {
        case UpdateResult::kDone:
            status(m_mode == UpdateMode::kAdd ? kStrWordAdded : kStrWordRemoved);
            return UpdateOutcome::kDone;
        case UpdateResult::kAlreadyPresent:
        case UpdateResult::kNotFound:
            m_workspace.prompter.beep();
            message(kStrWordNotFound, kStrUpdateFailedTitle, MessageKind::kError);
            return UpdateOutcome::kNotChanged;
        case UpdateResult::kCancelled:
            break;
    }
    return UpdateOutcome::kCancelled;
}

}  // namespace zantric
