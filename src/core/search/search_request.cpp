#include "core/search/search_request.h"

#include <algorithm>
#include <utility>

#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {
namespace {

int messageIdOf(RequestError error) {
    switch (error) {
        case RequestError::kFindTooLong:
            return kStrFindTooLong;
        case RequestError::kFindWordTooLong:
            return kStrFindWordTooLong;
        case RequestError::kIncludeExcludeConflict:
            return kStrIncludeAndExclude;
        case RequestError::kFindEmpty:
            return kStrFindEmpty;
        case RequestError::kMultiWordWithoutFrom:
            return kStrMultiWordWithoutFrom;
        case RequestError::kFindLetterNotInFrom:
            return kStrFindLetterNotInFrom;
        case RequestError::kFindLongerThanFrom:
            return kStrFindLongerThanFrom;
        case RequestError::kNone:
        case RequestError::kFindUnknownCharacter:  // a text of its own, naming the character
        case RequestError::kTextAfterBang:
            break;
    }
    return -1;
}

// Clears a re-entrancy flag however the call ends.
class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyFlag() { m_flag = false; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& m_flag;
};

}  // namespace

void reportRequestError(Prompter& prompter, RequestError error) {
    int textId = messageIdOf(error);
    if (textId < 0) return;
    prompter.beep();
    prompter.ask(Message::fromIds(textId, kStrInputErrorTitle, MessageKind::kError));
}

bool SearchRequest::build(const SearchFields& fields) {
    updateMultiWord(fields.find);
    m_useAllFromLetters = fields.useAllFromLetters;
    m_suppressPermutations = fields.suppressPermutations;
    return setFind(fields.find) && setFrom(fields.from) && setInclude(fields.include) &&
           setExclude(fields.exclude) && prepare();
}

bool SearchRequest::setFind(std::string_view text) {
    if (m_inSetFind) return true;
    BusyFlag busy(m_inSetFind);

    FindPattern normalised = normaliseFind(text);
    if (normalised.error == RequestError::kFindUnknownCharacter) {
        const std::string message = loadString(kStrFindUnknownCharacter, normalised.unknown);
        m_workspace.prompter.beep();
        m_workspace.prompter.ask({message, loadString(kStrInputErrorTitle), MessageKind::kError});
        return false;
    }
    if (normalised.error != RequestError::kNone) {
        reportRequestError(m_workspace.prompter, normalised.error);
        return false;
    }
    if (normalised.droppedAfterBang &&
        m_workspace.prompter.ask(Message::fromIds(kStrTextAfterBang, kStrInvalidPatternTitle,
                                                  MessageKind::kQuestion, Buttons::kOkCancel)) !=
            Answer::kOk) {
        return false;
    }
    m_find = std::move(normalised.pattern);
    return true;
}

bool SearchRequest::setFrom(std::string_view text) {
    m_from = m_multiWord || m_useAllFromLetters ? toLowerAscii(text) : std::string(text);
    return true;
}

bool SearchRequest::setInclude(std::string_view text) {
    m_include = toLowerAscii(text);
    return checkIncludeExclude();
}

bool SearchRequest::setExclude(std::string_view text) {
    m_exclude = toLowerAscii(text);
    return checkIncludeExclude();
}

bool SearchRequest::checkIncludeExclude() {
    if (m_inCheckIncludeExclude) return true;
    BusyFlag busy(m_inCheckIncludeExclude);
    if (!includeExcludeConflict(m_include, m_exclude)) return true;
    reportRequestError(m_workspace.prompter, RequestError::kIncludeExcludeConflict);
    return false;
}

bool SearchRequest::prepare() {
    const int minWordLength = std::min(m_filters.minWordLength, kMaxWordLetters + 1);
    m_phraseMinWordLength = m_multiWord && minWordLength >= 2 ? minWordLength : 0;
    m_eachWordOnce = m_multiWord && m_filters.eachWordOnce;
    const Stoplist* struck =
        m_filters.commonStruck ? m_filters.commonStruck.get() : m_filters.stoplist.get();
    m_stoplist = struck && !struck->empty() ? struck : nullptr;
    if (m_find.empty()) {
        reportRequestError(m_workspace.prompter, RequestError::kFindEmpty);
        return false;
    }
    m_fromLetters.setText(m_from);
    // A FROM without a letter or blank (pasted spaces or digits, say) is as good as empty.
    if (m_multiWord && m_fromLetters.total() == 0) {
        reportRequestError(m_workspace.prompter, RequestError::kMultiWordWithoutFrom);
        return false;
    }
    const Stoplist* stoplist = this->stoplist();
    const std::uint64_t stoplistFingerprint = stoplist ? stoplist->fingerprint() : 0;
    m_analysisNeeded =
        !m_fromLetters.equals(m_analysedLetters) || stoplistFingerprint != m_analysedStoplist;
    if (m_analysisNeeded) {
        m_analysedLetters = m_fromLetters;
        m_analysedStoplist = stoplistFingerprint;
    }
    // Every fixed letter of the FIND that FROM can supply is held back, so that the wildcards
    // of other words cannot take it; each word takes its own letters back when it is searched.
    m_workLetters = m_fromLetters;
    m_workLetters.reserve(m_find);
    if (m_multiWord) m_readBufferSize = kMultiWordBufferSize;
    return checkFindAgainstFrom();
}

bool SearchRequest::checkFindAgainstFrom() {
    RequestError error = zantric::checkFindAgainstFrom(m_find, m_from, m_multiWord);
    if (error == RequestError::kNone) return true;
    reportRequestError(m_workspace.prompter, error);
    return false;
}

bool SearchRequest::updateMultiWord(std::string_view findFieldText) {
    m_multiWord = isMultiWord(findFieldText);
    return m_multiWord;
}

}  // namespace zantric
