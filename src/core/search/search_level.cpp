#include "core/search/search_level.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/results/results_store.h"
#include "core/search/match_sink.h"
#include "core/search/stoplist.h"
#include "core/search/subtree_memo.h"
#include "core/search/word_matching.h"

namespace zantric {

namespace {

char lowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Whether the letters (those available and those held in reserve for later words, with the
// blanks) could spell the word again somewhere below. Words are short: each letter is counted
// against the copies of it before it rather than in a table.
bool couldSpell(std::string_view word, const LetterPool& letters) {
    const int blanks = letters.available(LetterPool::kBlank);
    if (blanks >= LetterPool::kUnlimited) return true;
    int shortage = 0;
    for (std::size_t p = 0; p < word.size(); ++p) {
        const char c = lowerLetter(word[p]);
        if (c < 'a' || c > 'z') continue;
        const int i = c - 'a';
        const int available = letters.available(i);
        if (available >= LetterPool::kUnlimited) continue;
        int copies = 1;
        for (std::size_t q = 0; q < p; ++q) copies += lowerLetter(word[q]) == c;
        if (copies > std::max(available, 0) + std::max(letters.reserved(i), 0) &&
            ++shortage > blanks) {
            return false;
        }
    }
    return true;
}

// The order of two words, the case of their letters aside.
bool lessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return lowerLetter(x) < lowerLetter(y);
    });
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

SearchLevel::SearchLevel(const SearchRequest& request, std::atomic<std::int64_t>& checkedBase,
                         const std::atomic<bool>* stop, int threads)
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
      m_stop(stop),
      m_struckWords(false),
      m_threads(std::clamp(threads, 1, kMaxSearchThreads)) {
    checkedBase.store(0);
    DictionaryReader::resetChecked();
    if (request.multiWord()) {
        m_ownedMemo = std::make_unique<SubtreeMemo>();
        m_memo = m_ownedMemo.get();
    }
}

SearchLevel::~SearchLevel() = default;

SearchLevel::SearchLevel(const SearchLevel& top, ThreadTop)
    : m_request(top.m_request),
      m_position(top.m_position),
      m_letters(top.m_letters),
      m_phrase(m_phraseBuffer),
      m_phraseLength(0),
      m_afterBang(top.m_afterBang),
      m_minLength(top.m_minLength),
      m_firstLetter(top.m_firstLetter),
      m_useAll(top.m_useAll),
      m_memo(top.m_memo),
      m_struckWords(false),
      m_repeatableCount(0) {}

SearchLevel::SearchLevel(const SearchRequest& request, std::string_view position,
                         const LetterPool& letters, char* phrase, int phraseLength, bool afterBang,
                         int minLength, char firstLetter, SubtreeMemo* memo, SearchLevel* parent)
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
      m_parent(parent) {}

int SearchLevel::repeatVariant() {
    // The words in lower case and in order, each followed by a space: one text for one set.
    auto wordAt = [this](int i) {
        return std::string_view(m_phrase + m_repeatable[i].start,
                                static_cast<std::size_t>(m_repeatable[i].length));
    };
    int order[kMaxPhraseWords];
    for (int i = 0; i < m_repeatableCount; ++i) {
        int at = i;
        for (; at > 0 && lessIgnoringCase(wordAt(i), wordAt(order[at - 1])); --at) {
            order[at] = order[at - 1];
        }
        order[at] = i;
    }
    char text[kMaxPhraseLength + 16];
    std::size_t length = 0;
    for (int i = 0; i < m_repeatableCount; ++i) {
        for (char c : wordAt(order[i])) text[length++] = lowerLetter(c);
        text[length++] = ' ';
    }
    return m_memo->variantOf(std::string_view(text, length));
}

void SearchLevel::noteStruck() {
    SearchLevel* top = this;
    while (top->m_parent) top = top->m_parent;
    top->m_struckWords = true;
}

bool SearchLevel::run(ResultsStore& results) {
    results.setStopCheck(&DictionaryReader::stopRequested);
    MatchSink sink(results);
    // Without filters the levels run code that has none of their tests.
    return m_request.filtered() ? runLevel<true>(sink) : runLevel<false>(sink);
}

template <bool kFiltered>
bool SearchLevel::runBelow(MatchSink& results, const char* word, int wordLength,
                           const LetterPool& childLetters, bool permutation, std::string_view rest,
                           SubtreeMemo::Outcome& outcome) {
    char childFirst = 0;
    int childMin = 0;
    if (permutation) {
        childFirst = word[0] >= 'A' && word[0] <= 'Z' ? static_cast<char>(word[0] + 32) : word[0];
        childMin = static_cast<int>(letterCount(std::string_view(word, std::size_t(wordLength))));
    }
    SearchLevel child(m_request, rest, childLetters, m_phrase, m_phraseLength + wordLength + 1,
                      m_afterBang, childMin, childFirst, m_memo, this);
    const bool cancelled = child.runLevel<kFiltered>(results);
    outcome = child.m_outcome;
    return cancelled;
}

template <bool kFiltered>
bool SearchLevel::runSplit(ResultsStore& store, const char* pattern, const LetterPool* letters,
                           int length, bool permutation, std::string_view rest) {
    DictionaryReader top(Catalogue::instance().subsetDictionaryName(), true,
                         m_request.readBufferSize());
    if (m_stop && m_stop->load()) DictionaryReader::setCancel();
    // The cursor: the top reader, one word at a time, under the mutex; words are numbered in
    // the order it gives them.
    std::mutex cursor;
    char word[kOutWordSize];
    int r = top.nextMatch(word, pattern, letters, length, m_firstLetter);
    bool taken = false;  // the word in `word` went to a thread
    std::int64_t nextIndex = 0;

    ChunkOrder order(store);
    std::mutex failureMutex;
    std::exception_ptr failure;
    std::atomic<bool> struck{false};
    auto work = [&](int counter) {
        // Readers of the top level's words open below the top reader, as on one thread.
        const DictionaryReader::ThreadScope scope(counter, 1);
        try {
            SearchLevel level(*this, ThreadTop{});
            MatchSink sink(order);
            char mine[kOutWordSize];
            LetterPool childLetters;
            for (;;) {
                std::int64_t index = 0;
                {
                    const std::lock_guard<std::mutex> lock(cursor);
                    if (order.halted()) break;
                    if (taken && r == kMatchFound) r = top.nextMatch(word, nullptr);
                    if (r != kMatchFound) {
                        if (r == kMatchCancelled) order.halt();
                        break;
                    }
                    taken = true;
                    std::memcpy(mine, word, sizeof mine);
                    if (const LetterPool* filter = top.letters()) {
                        filter->remainingInto(childLetters);
                    }
                    index = nextIndex++;
                }
                const int wordLength = static_cast<int>(std::strlen(mine));
                std::memcpy(level.m_phrase, mine, static_cast<std::size_t>(wordLength));
                level.m_phrase[wordLength] = ' ';
                sink.beginChunk(index);
                SubtreeMemo::Outcome below;
                const bool cancelled = level.runBelow<kFiltered>(
                    sink, mine, wordLength, childLetters, permutation, rest, below);
                sink.endChunk(!cancelled);
            }
            if (level.m_struckWords) struck.store(true);
        } catch (...) {
            {
                const std::lock_guard<std::mutex> lock(failureMutex);
                if (!failure) failure = std::current_exception();
            }
            order.halt();
        }
    };

    m_memo->share();
    DictionaryReader::openThreadCounters(m_threads);
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(m_threads - 1));
    try {
        for (int t = 1; t < m_threads; ++t) threads.emplace_back(work, t);
    } catch (...) {
        // Fewer threads than asked for: the words go to those that started.
    }
    work(0);
    for (std::thread& thread : threads) thread.join();
    DictionaryReader::foldThreadCounters();
    if (failure) std::rethrow_exception(failure);
    if (struck.load()) m_struckWords = true;
    return order.halted();
}

template <bool kFiltered>
// NOLINTNEXTLINE(readability-function-size): one level's steps in the order they run; to be split
bool SearchLevel::runLevel(MatchSink& results) {
    // This level's word pattern; m_position moves on to the next word.
    std::string_view rest = m_position;
    std::string_view wp = takeWordPattern(rest);

    if (!m_afterBang && wp.find('!') != std::string_view::npos) m_afterBang = true;
    if (m_afterBang) {
        wp = "*";
        m_useAll = true;
    }
    const bool permutation =
        m_request.suppressPermutations() && (m_afterBang || (wp == "*" && onlyStarWords(rest)));
    const bool lastWord = rest.empty() && !m_afterBang;

    // With Suppress Permutations the level above passes the place of the word it added (its
    // letters and first letter); 0 otherwise. Taken before the trailing-word rule changes them.
    const int addedMinLength = m_minLength;
    const char addedFirstLetter = m_firstLetter;

    // The word's own fixed letters come back from the reserve.
    LetterPool letters = m_letters;
    letters.release(wp);
    const int total = letters.total();
    const int vowels = letters.vowels();

    // A trailing word no shorter than the one before: either it may be as short, or it must
    // take every letter left.
    if (m_minLength != 0 && 0 < total - m_minLength && total - m_minLength < m_minLength) {
        m_minLength = total;
        m_firstLetter = 0;
    }

    // The phrase is complete. A store that takes no more matches stops the search as a cancel
    // does.
    if ((m_afterBang && total == 0) || (wp.empty() && !m_useAll) ||
        (wp.empty() && m_useAll && total == 0)) {
        if (!results.append(std::string_view(m_phrase, static_cast<std::size_t>(m_phraseLength)),
                            false)) {
            m_outcome = SubtreeMemo::kUnknown;
            return true;
        }
        m_outcome = SubtreeMemo::kComplete;
        return false;
    }

    const bool hasFrom = m_request.hasFromLetters();
    // A word is still needed, but no letter or no vowel-like letter is left.
    if (m_request.multiWord() && hasFrom && (total == 0 || vowels == 0)) return false;
    // ... or too few letters for a word of the minimum length.
    const int minWord = kFiltered ? m_request.phraseMinWordLength() : 0;
    if (kFiltered && minWord != 0 && hasFrom && total != LetterPool::kUnlimited &&
        total < minWord) {
        return false;
    }

    int length = 0;
    if (lastWord) {
        if (hasFrom && total < fixedCount(wp)) return false;
        if (m_useAll && hasFrom) {
            if (total > kMaxWordLetters || total == 0) return false;
            if (!hasStar(wp) && static_cast<int>(wp.size()) < total) return false;
        }
        length = m_useAll && total != LetterPool::kUnlimited ? total : 0;
    }
    if (length <= m_minLength) length = m_minLength;
    if (m_request.suppressPermutations() && lastWord && length != m_minLength) m_firstLetter = 0;
    if (kFiltered && length < minWord) {
        // Longer than the word before: its first letter no longer orders this one.
        if (minWord > m_minLength) m_firstLetter = 0;
        length = minWord;
    }

    // Each word once: the words above that these letters could spell again.
    if constexpr (kFiltered) m_repeatableCount = 0;
    if (kFiltered && m_parent && m_request.eachWordOnce()) {
        // With Suppress Permutations no word below comes before this level's first place in
        // the order of lengths and first letters, so a word above that does cannot come again.
        const int firstOrder =
            permutation ? length * 32 + (m_firstLetter != 0 ? m_firstLetter - 'a' : 0) : 0;
        // Most words cannot come again for want of their first letter: that is looked at before
        // the word's letters are counted.
        const bool blanksLeft = letters.available(LetterPool::kBlank) > 0;
        auto consider = [&](WordSpan span) {
            const char* word = m_phrase + span.start;
            const int first = lowerLetter(word[0]) - 'a';
            if (span.order >= firstOrder && m_repeatableCount < kMaxPhraseWords &&
                (blanksLeft || first < 0 || first >= 26 || letters.available(first) > 0 ||
                 letters.reserved(first) > 0) &&
                couldSpell(std::string_view(word, static_cast<std::size_t>(span.length)),
                           letters)) {
                m_repeatable[m_repeatableCount++] = span;
            }
        };
        for (int i = 0; i < m_parent->m_repeatableCount; ++i) consider(m_parent->m_repeatable[i]);
        // The word the level above added, before its space.
        const int start = m_parent->m_phraseLength;
        const std::string_view added(m_phrase + start,
                                     static_cast<std::size_t>(m_phraseLength - start - 1));
        const int addedOrder =
            addedMinLength != 0
                ? addedMinLength * 32 + (addedFirstLetter != 0 ? addedFirstLetter - 'a' : 0)
                : letterCount(added) * 32 + (lowerLetter(added[0]) - 'a');
        consider({start, static_cast<int>(added.size()), addedOrder});
    }

    // A phrase search may have met this state before: then the same phrases follow. Below the
    // top level, with letters that run out: each level takes at least one letter, so at most
    // `total` readers are opened below, and only fewer free ones than that change the outcome.
    // With words that may not come again, the same state gives the same phrases only with the
    // same such words: they are part of the state.
    int variant = 0;
    if constexpr (kFiltered) {
        if (m_memo && m_repeatableCount != 0) variant = repeatVariant();
    }
    m_outcome = SubtreeMemo::kUnknown;
    SubtreeMemo::Key key;
    SubtreeMemo::Recording recording;
    const int freeReaders = kMaxReaders - DictionaryReader::threadReaders();
    if (m_memo && m_phraseLength > 0 && hasFrom && total != LetterPool::kUnlimited &&
        SubtreeMemo::makeKey(static_cast<std::size_t>(m_position.data() - m_request.find().data()),
                             m_afterBang, letters, length, m_firstLetter,
                             freeReaders < total + 1 ? freeReaders : total + 1, key, variant)) {
        const SubtreeMemo::Outcome stored =
            m_memo->findOrBegin(key, DictionaryReader::checked(), recording, results);
        if (stored != SubtreeMemo::kUnknown && !DictionaryReader::cancelled()) {
            switch (m_memo->replay(stored, results, m_phrase, m_phraseLength, kMaxPhraseLength)) {
                case SubtreeMemo::Replay::kDone:
                    m_outcome = stored;
                    return false;
                case SubtreeMemo::Replay::kStopped:
                    return true;
                case SubtreeMemo::Replay::kTooLong:
                    break;
            }
        }
    }

    // The word pattern as the reader takes it: a NUL-terminated copy.
    char pattern[64];
    const std::size_t patternLength =
        wp.size() < sizeof pattern - 1 ? wp.size() : sizeof pattern - 1;
    std::memcpy(pattern, wp.data(), patternLength);
    pattern[patternLength] = '\0';

    const bool multiWord = m_request.multiWord();
    const Catalogue& catalogue = Catalogue::instance();
    bool cancelled = false;
    char word[kOutWordSize];

    auto enumerate = [&](const std::string& name) {
        if (!multiWord && m_checkedBase) {
            m_checkedBase->fetch_add(static_cast<std::int64_t>(DictionaryReader::checked()));
        }
        DictionaryReader dictionary(name, multiWord, m_request.readBufferSize());
        // Opening the first reader clears the readers' cancel flag: a cancel confirmed just
        // before that still stops this reader at its first word.
        if (m_stop && m_stop->load()) DictionaryReader::setCancel();
        int r = dictionary.nextMatch(word, pattern, hasFrom ? &letters : nullptr, length,
                                     m_firstLetter);
        for (; r == kMatchFound; r = dictionary.nextMatch(word, nullptr)) {
            if (!multiWord) {
                const std::string_view w(word);
                if ((!m_request.useAllFromLetters() || total == 0 || letterCount(w) == total) &&
                    passesInclude(w, m_request.include()) &&
                    passesExclude(w, m_request.exclude())) {
                    // Phrase searches leave the stoplist out of the subset instead.
                    if (kFiltered && m_request.stoplist() && m_request.stoplist()->contains(w)) {
                        noteStruck();
                        continue;
                    }
                    if (!results.append(w, true)) {
                        cancelled = true;
                        return;
                    }
                }
                continue;
            }
            // The next word of the phrase, with the letters this word left.
            const int wordLength = static_cast<int>(std::strlen(word));
            if (kFiltered && m_repeatableCount != 0) {
                bool repeated = false;
                for (int i = 0; i < m_repeatableCount && !repeated; ++i) {
                    repeated = sameWord(word, wordLength, m_phrase + m_repeatable[i].start,
                                        m_repeatable[i].length);
                }
                if (repeated) {
                    noteStruck();
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
            LetterPool childLetters;
            if (const LetterPool* filter = dictionary.letters())
                filter->remainingInto(childLetters);
            SubtreeMemo::Outcome below;
            const bool childCancelled = runBelow<kFiltered>(results, word, wordLength, childLetters,
                                                            permutation, rest, below);
            if (recording.active) {
                m_memo->add(recording, std::string_view(word, static_cast<std::size_t>(wordLength)),
                            below);
            }
            if (childCancelled) {
                cancelled = true;
                return;
            }
        }
        if (r == kMatchCancelled) cancelled = true;
    };

    if (multiWord && m_threads > 1 && !m_parent) {
        cancelled = runSplit<kFiltered>(results.store(), pattern, hasFrom ? &letters : nullptr,
                                        length, permutation, rest);
    } else if (multiWord) {
        enumerate(catalogue.subsetDictionaryName());
        if (recording.active) {
            m_outcome = m_memo->end(recording, key, DictionaryReader::checked(), cancelled);
        }
    } else {
        for (std::size_t i = 0; i < catalogue.count() && !cancelled; ++i) {
            const CatalogueEntry& entry = catalogue.entry(i);
            if (m_stop && m_stop->load()) return true;
            if (entry.selected()) enumerate(entry.filePath());
        }
    }
    return cancelled;
}

}  // namespace zantric
