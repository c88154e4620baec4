// SearchControl: one level of a search. It enumerates the dictionary words that fit its word of
// the FIND and the letters still available, and either stores each answer (a single-word
// search) or runs the level of the next word with the letters left (a phrase search). Levels
// live on the stack of the level above; the top level is run by the search worker thread. The
// levels of a phrase search share the top level's SubtreeMemo, which replays a sub-search that
// was met before instead of walking it again.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/search/search_data.h"
#include "core/search/src_letters.h"
#include "core/search/subtree_memo.h"

namespace zantric {

class VLBData;

inline constexpr int kMaxPhraseLength = 15 * 11 + 1;  // 15 words of 9 letters, hyphen, space

class SearchControl {
public:
    // The top level: the whole FIND, the request's work letters, an empty phrase. Resets the
    // checked base and the checked counter. When `stop` is set, no further dictionary is opened
    // (a cancel confirmed between two dictionaries of a single-word search still counts).
    SearchControl(const SearchData& request, std::atomic<std::int64_t>& checkedBase,
                  const std::atomic<bool>* stop = nullptr);
    ~SearchControl();
    SearchControl(const SearchControl&) = delete;
    SearchControl& operator=(const SearchControl&) = delete;

    // Runs this level and the levels below; every accepted word or phrase is appended to
    // `results`. Returns true when the run was cancelled, or stopped because the store took no
    // more matches.
    bool run(VLBData& results);

private:
    SearchControl(const SearchData& request, std::string_view position, const SrcLetters& letters,
                  char* phrase, int phraseLength, bool afterBang, int minLength, char firstLetter,
                  SubtreeMemo* memo);

    const SearchData& m_request;
    std::string_view m_position;  // the rest of the FIND, from this level's word on
    SrcLetters m_letters;
    char* m_phrase;  // the words of the levels above, each followed by a space
    int m_phraseLength;
    bool m_afterBang;
    int m_minLength;
    char m_firstLetter;
    bool m_useAll;
    std::atomic<std::int64_t>* m_checkedBase = nullptr;  // the top level only
    const std::atomic<bool>* m_stop = nullptr;           // the top level only
    SubtreeMemo* m_memo = nullptr;                       // a phrase search's, shared by its levels
    std::unique_ptr<SubtreeMemo> m_ownedMemo;            // the top level of a phrase search
    SubtreeMemo::Outcome m_outcome = SubtreeMemo::kNothing;  // what run() left, for the level above
    char m_phraseBuffer[kMaxPhraseLength + 16];              // the top level's phrase
};

}  // namespace zantric
