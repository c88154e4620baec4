#include "core/search/search_control.h"

#include <algorithm>
#include <cstring>

#include "core/dictionary/dictionary.h"
#include "core/dictionary/dictionary_names.h"
#include "core/results/vlb_data.h"
#include "core/search/stoplist.h"
#include "core/search/subtree_memo.h"
#include "core/search/word_matching.h"

namespace zantric {

namespace {

char lowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Whether the letters (those available and those held in reserve for later words, with the
// blanks) could spell the word again somewhere below.
bool couldSpell(std::string_view word, const SrcLetters& letters) {
    int need[26] = {};
    for (char c : word) {
        c = lowerLetter(c);
        if (c >= 'a' && c <= 'z') ++need[c - 'a'];
    }
    int blanks = letters.available(SrcLetters::kBlank);
    if (blanks >= SrcLetters::kUnlimited) return true;
    for (int i = 0; i < 26; ++i) {
        if (need[i] == 0 || letters.available(i) >= SrcLetters::kUnlimited) continue;
        const int have = std::max(letters.available(i), 0) + std::max(letters.reserved(i), 0);
        if (need[i] > have && (blanks -= need[i] - have) < 0) return false;
    }
    return true;
}

// The same word, the case of its letters aside.
bool sameWord(const char* a, int aLength, const char* b, int bLength) {
    if (aLength != bLength) return false;
    for (int i = 0; i < aLength; ++i) {
        if (lowerLetter(a[i]) != lowerLetter(b[i])) return false;
    }
    return true;
}

}  // namespace

SearchControl::SearchControl(const SearchData& request, std::atomic<std::int32_t>& checkedBase,
                             const std::atomic<bool>* stop)
    : m_request(request),
      m_position(request.find()),
      m_letters(request.workLetters()),
      m_phrase(m_phraseBuffer),
      m_phraseLength(0),
      m_afterBang(false),
      m_minLength(0),
      m_firstLetter(0),
      m_useAll(request.useAllFromLetters()),
      m_checkedBase(&checkedBase),
      m_stop(stop) {
    checkedBase.store(0);
    Dictionary::resetChecked();
    if (request.multiWord()) {
        m_ownedMemo = std::make_unique<SubtreeMemo>();
        m_memo = m_ownedMemo.get();
    }
}

SearchControl::~SearchControl() = default;

SearchControl::SearchControl(const SearchData& request, std::string_view position,
                             const SrcLetters& letters, char* phrase, int phraseLength,
                             bool afterBang, int minLength, char firstLetter, SubtreeMemo* memo,
                             bool* struck, const RepeatCandidates* candidates)
    : m_request(request),
      m_position(position),
      m_letters(letters),
      m_phrase(phrase),
      m_phraseLength(phraseLength),
      m_afterBang(afterBang),
      m_minLength(minLength),
      m_firstLetter(firstLetter),
      m_useAll(request.useAllFromLetters()),
      m_memo(memo),
      m_struck(struck),
      m_candidates(candidates) {}

bool SearchControl::run(VLBData& results) {
    // This level's word pattern; m_position moves on to the next word.
    std::string_view rest = m_position;
    std::string_view wp = takeWordPattern(rest);

    if (!m_afterBang && wp.find('!') != std::string_view::npos) m_afterBang = true;
    if (m_afterBang) {
        wp = "*";
        m_useAll = true;
    }
    const bool permutation = m_request.suppressPermutations() &&
                             (m_afterBang || (wp == "*" && onlyStarWords(rest)));
    const bool lastWord = rest.empty() && !m_afterBang;

    // The word's own fixed letters come back from the reserve.
    SrcLetters letters = m_letters;
    letters.release(wp);
    const int total = letters.total();
    const int vowels = letters.vowels();

    // A trailing word no shorter than the one before: either it may be as short, or it must
    // take every letter left.
    if (m_minLength != 0 && 0 < total - m_minLength && total - m_minLength < m_minLength) {
        m_minLength = total;
        m_firstLetter = 0;
    }

    // The phrase is complete.
    if ((m_afterBang && total == 0) || (wp.empty() && !m_useAll) ||
        (wp.empty() && m_useAll && total == 0)) {
        results.append(std::string_view(m_phrase, static_cast<std::size_t>(m_phraseLength)), false);
        m_outcome = SubtreeMemo::kComplete;
        return false;
    }

    const bool hasFrom = m_request.hasFromLetters();
    // A word is still needed, but no letter or no vowel-like letter is left.
    if (m_request.multiWord() && hasFrom && (total == 0 || vowels == 0)) return false;
    // ... or too few letters for a word of the minimum length.
    const int minWord = m_request.phraseMinWordLength();
    if (minWord != 0 && hasFrom && total != SrcLetters::kUnlimited && total < minWord) return false;

    int length = 0;
    if (lastWord) {
        if (hasFrom && total < fixedCount(wp)) return false;
        if (m_useAll && hasFrom) {
            if (total > kMaxWordLetters || total == 0) return false;
            if (!hasStar(wp) && static_cast<int>(wp.size()) < total) return false;
        }
        length = m_useAll && total != SrcLetters::kUnlimited ? total : 0;
    }
    if (length <= m_minLength) length = m_minLength;
    if (m_request.suppressPermutations() && lastWord && length != m_minLength) m_firstLetter = 0;
    if (length < minWord) {
        // Longer than the word before: its first letter no longer orders this one.
        if (minWord > m_minLength) m_firstLetter = 0;
        length = minWord;
    }

    // Each word once: the words above that these letters could spell again. Where there are
    // none, what follows depends on the state alone, as the memo needs.
    WordSpan repeatable[kMaxPhraseWords];
    int repeatableCount = 0;
    if (m_candidates) {
        auto consider = [&](WordSpan span) {
            if (repeatableCount < kMaxPhraseWords &&
                couldSpell(
                    std::string_view(m_phrase + span.start, static_cast<std::size_t>(span.length)),
                    letters)) {
                repeatable[repeatableCount++] = span;
            }
        };
        for (int i = 0; i < m_candidates->count; ++i) consider(m_candidates->words[i]);
        consider(m_candidates->added);
    }

    // A phrase search may have met this state before: then the same phrases follow. Below the
    // top level, with letters that run out: each level takes at least one letter, so at most
    // `total` readers are opened below, and only fewer free ones than that change the outcome.
    m_outcome = SubtreeMemo::kUnknown;
    SubtreeMemo::Key key;
    SubtreeMemo::Recording recording;
    const int freeReaders = kMaxReaders - Dictionary::instanceCount();
    if (m_memo && m_phraseLength > 0 && hasFrom && total != SrcLetters::kUnlimited &&
        repeatableCount == 0 &&
        SubtreeMemo::makeKey(static_cast<std::size_t>(m_position.data() - m_request.find().data()),
                             m_afterBang, letters, length, m_firstLetter,
                             freeReaders < total + 1 ? freeReaders : total + 1, key)) {
        const SubtreeMemo::Outcome stored = m_memo->find(key);
        if (stored == SubtreeMemo::kUnknown) {
            recording = m_memo->begin(Dictionary::checked());
        } else if (!Dictionary::cancelled() &&
                   m_memo->replay(stored, results, m_phrase, m_phraseLength, kMaxPhraseLength)) {
            m_outcome = stored;
            return false;
        }
    }

    // The word pattern as the reader takes it: a NUL-terminated copy.
    char pattern[64];
    const std::size_t patternLength = wp.size() < sizeof pattern - 1 ? wp.size() : sizeof pattern - 1;
    std::memcpy(pattern, wp.data(), patternLength);
    pattern[patternLength] = '\0';

    const bool multiWord = m_request.multiWord();
    const bool eachWordOnce = m_request.eachWordOnce();
    const Stoplist* stoplist = multiWord ? nullptr : m_request.stoplist();  // phrases: the subset
    const DictionaryNames& catalogue = DictionaryNames::instance();
    bool cancelled = false;
    char word[kOutWordSize];

    auto enumerate = [&](const std::string& name) {
        if (!multiWord && m_checkedBase) {
            m_checkedBase->fetch_add(static_cast<std::int32_t>(Dictionary::checked()));
        }
        Dictionary dictionary(name, multiWord, m_request.readBufferSize());
        // Opening the first reader clears the readers' cancel flag: a cancel confirmed just
        // before that still stops this reader at its first word.
        if (m_stop && m_stop->load()) Dictionary::setCancel();
        int r = dictionary.nextMatch(word, pattern, hasFrom ? &letters : nullptr, length,
                                     m_firstLetter);
        for (; r == kMatchFound; r = dictionary.nextMatch(word, nullptr)) {
            if (!multiWord) {
                const std::string_view w(word);
                if ((!m_request.useAllFromLetters() || total == 0 || letterCount(w) == total) &&
                    passesInclude(w, m_request.include()) && passesExclude(w, m_request.exclude())) {
                    if (stoplist && stoplist->contains(w)) {
                        *m_struck = true;
                        continue;
                    }
                    results.append(w, true);
                }
                continue;
            }
            // The next word of the phrase, with the letters this word left.
            const int wordLength = static_cast<int>(std::strlen(word));
            if (repeatableCount != 0) {
                bool repeated = false;
                for (int i = 0; i < repeatableCount && !repeated; ++i) {
                    repeated = sameWord(word, wordLength, m_phrase + repeatable[i].start,
                                        repeatable[i].length);
                }
                if (repeated) {
                    *m_struck = true;
                    continue;
                }
            }
            if (m_phraseLength + wordLength + 1 > kMaxPhraseLength) {
                // What is skipped here depends on the phrase so far, not on the state.
                if (recording.active) m_memo->add(recording, {}, SubtreeMemo::kUnknown);
                continue;
            }
            std::memcpy(m_phrase + m_phraseLength, word, static_cast<std::size_t>(wordLength));
            m_phrase[m_phraseLength + wordLength] = ' ';
            SrcLetters childLetters;
            if (const SrcLetters* filter = dictionary.letters()) filter->remainingInto(childLetters);
            char childFirst = 0;
            int childMin = 0;
            if (permutation) {
                childFirst = word[0] >= 'A' && word[0] <= 'Z' ? static_cast<char>(word[0] + 32) : word[0];
                childMin = static_cast<int>(letterCount(std::string_view(word)));
            }
            RepeatCandidates candidates{repeatable, repeatableCount, {m_phraseLength, wordLength}};
            SearchControl child(m_request, rest, childLetters, m_phrase,
                                m_phraseLength + wordLength + 1, m_afterBang, childMin, childFirst,
                                m_memo, m_struck, eachWordOnce ? &candidates : nullptr);
            const bool childCancelled = child.run(results);
            if (recording.active) {
                m_memo->add(recording, std::string_view(word, static_cast<std::size_t>(wordLength)),
                            child.m_outcome);
            }
            if (childCancelled) {
                cancelled = true;
                return;
            }
        }
        if (r == kMatchCancelled) cancelled = true;
    };

    if (multiWord) {
        enumerate(catalogue.subsetDictionaryName());
        if (recording.active) {
            m_outcome = m_memo->end(recording, key, Dictionary::checked(), cancelled);
        }
    } else {
        for (std::size_t i = 0; i < catalogue.count() && !cancelled; ++i) {
            const DictionaryName& entry = catalogue.entry(i);
            if (m_stop && m_stop->load()) return true;
            if (entry.selected()) enumerate(entry.filePath());
        }
    }
    return cancelled;
}

}  // namespace zantric
