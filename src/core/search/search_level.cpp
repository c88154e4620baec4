#include "core/search/search_level.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/word_order.h"
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

// Whether the word holds a vowel-like letter.
bool hasVowel(const char* word) {
    for (; *word; ++word) {
        if (LetterPool::isVowel(*word)) return true;
    }
    return false;
}

// The top level's reader as the search threads share it: one word at a time, under a mutex;
// words are numbered in the order it gives them.
class WordCursor {
public:
    WordCursor(DictionaryReader& top, const char* pattern, const LetterPool* letters, int length,
               char firstLetter)
        : m_top(top), m_result(top.nextMatch(m_word, pattern, letters, length, firstLetter)) {}

    // The next word into `mine`, the letters it left into `childLetters` and its number into
    // `index`; false when no word is left or the threads halt (a cancel halts them).
    bool take(ChunkOrder& order, char* mine, LetterPool& childLetters, std::int64_t& index) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (order.halted()) return false;
        if (m_taken && m_result == kMatchFound) m_result = m_top.nextMatch(m_word, nullptr);
        if (m_result != kMatchFound) {
            if (m_result == kMatchCancelled) order.halt();
            return false;
        }
        m_taken = true;  // the word in m_word went to a thread
        std::memcpy(mine, m_word, sizeof m_word);
        if (const LetterPool* filter = m_top.letters()) filter->remainingInto(childLetters);
        index = m_nextIndex++;
        return true;
    }

private:
    std::mutex m_mutex;
    DictionaryReader& m_top;
    char m_word[kOutWordSize];
    MatchResult m_result;
    bool m_taken = false;
    std::int64_t m_nextIndex = 0;
};

// The first exception any search thread threw, thrown again on the calling thread.
class FirstFailure {
public:
    void keep(std::exception_ptr failure) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_failure) m_failure = std::move(failure);
    }
    void rethrow() const {
        if (m_failure) std::rethrow_exception(m_failure);
    }

private:
    std::mutex m_mutex;
    std::exception_ptr m_failure;
};

// Runs `work(0)` on the calling thread and `work(t)` on threads 1 to threads - 1; returns when
// all have ended.
template <class Work>
void runOnThreads(int threads, Work& work) {
    std::vector<std::thread> started;
    started.reserve(static_cast<std::size_t>(threads - 1));
    try {
        for (int t = 1; t < threads; ++t) started.emplace_back(work, t);
    } catch (...) {
        // Fewer threads than asked for: the words go to those that started.
    }
    work(0);
    for (std::thread& thread : started) thread.join();
}

}  // namespace

SearchLevel::SearchLevel(const SearchRequest& request, ReadControl& reads,
                         std::atomic<std::int64_t>& checkedBase, const std::atomic<bool>* stop,
                         int threads, std::size_t keptLimit)
    : m_request(request),
      m_lane(&reads.lane()),
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
      m_keptLimit(keptLimit),
      m_struckWords(false),
      m_threads(std::clamp(threads, 1, kMaxSearchThreads)) {
    checkedBase.store(0);
    reads.resetChecked();
    if (request.multiWord()) {
        m_ownedMemo = std::make_unique<SubtreeMemo>();
        m_memo = m_ownedMemo.get();
    }
}

SearchLevel::~SearchLevel() = default;

SearchLevel::SearchLevel(const SearchLevel& top, ReadLane& lane)
    : m_request(top.m_request),
      m_lane(&lane),
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
      m_lane(parent->m_lane),
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
    results.setStopCheck(&m_lane->control());
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
    // Words without a vowel-like letter come first (looked for only when the analysis kept
    // some): after one, a word with one may be of any length.
    const bool vowelless = permutation && m_request.analysedVowelless() && !hasVowel(word);
    if (permutation && !vowelless) {
        childFirst = word[0] >= 'A' && word[0] <= 'Z' ? static_cast<char>(word[0] + 32) : word[0];
        childMin = static_cast<int>(letterCount(std::string_view(word, std::size_t(wordLength))));
    }
    SearchLevel child(m_request, rest, childLetters, m_phrase, m_phraseLength + wordLength + 1,
                      m_afterBang, childMin, childFirst, m_memo, this);
    if (permutation) {
        child.m_bound = m_newBlock && !vowelless ? nullptr : word;
        child.m_boundVowelless = vowelless;
        child.m_vowelsOnly = m_request.analysedVowelless() && !vowelless;
    }
    const bool cancelled = child.runLevel<kFiltered>(results);
    outcome = child.m_outcome;
    return cancelled;
}

template <bool kFiltered>
bool SearchLevel::runSplit(ResultsStore& store, const char* pattern, const LetterPool* letters,
                           int length, bool permutation, std::string_view rest) {
    ReadControl& reads = m_lane->control();
    DictionaryReader top(reads, m_request.subsetDictionary(), true, m_request.readBufferSize());
    if (m_stop && m_stop->load()) reads.setCancel();
    WordCursor cursor(top, pattern, letters, length, m_firstLetter);
    ChunkOrder order(store, reads, m_keptLimit);
    FirstFailure failure;
    std::atomic<bool> struck{false};
    auto work = [&](int counter) {
        // Readers of the top level's words open below the top reader, as on one thread.
        ReadLane lane(reads, counter, 1);
        try {
            SearchLevel level(*this, lane);
            MatchSink sink(order);
            char mine[kOutWordSize];
            LetterPool childLetters;
            std::int64_t index = 0;
            while (cursor.take(order, mine, childLetters, index)) {
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
            failure.keep(std::current_exception());
            order.halt();
        }
    };

    m_memo->share();
    reads.openThreadCounters(m_threads);
    runOnThreads(m_threads, work);
    reads.foldThreadCounters();
    failure.rethrow();
    if (struck.load()) m_struckWords = true;
    return order.halted();
}

// runLevel runs once for every word of the level above: its steps are inlined into it, so that
// they keep its state in registers as one function would.
template <bool kFiltered>
bool SearchLevel::runLevel(MatchSink& results) {
    Plan plan(m_letters);
    planWord(plan);
    if (phraseComplete(plan)) return storePhrase(results);
    if (!chooseLength<kFiltered>(plan)) return false;
    if (m_bound && boundEnds(plan)) m_bound = nullptr;
    if constexpr (kFiltered) collectRepeatable(plan);

    // With words that may not come again, the same state gives the same phrases only with the
    // same such words: they are part of the state.
    int variant = 0;
    if constexpr (kFiltered) {
        if (m_memo && m_repeatableCount != 0) variant = repeatVariant();
    }
    m_outcome = SubtreeMemo::kUnknown;
    SubtreeMemo::Key key;
    SubtreeMemo::Recording recording;
    switch (replayOrRecord(plan, variant, results, key, recording)) {
        case Replayed::kDone:
            return false;
        case Replayed::kStopped:
            return true;
        case Replayed::kNo:
            break;
    }

    // The word pattern as the reader takes it: a NUL-terminated copy.
    char pattern[64];
    const std::size_t patternLength =
        plan.pattern.size() < sizeof pattern - 1 ? plan.pattern.size() : sizeof pattern - 1;
    std::memcpy(pattern, plan.pattern.data(), patternLength);
    pattern[patternLength] = '\0';

    const Catalogue& catalogue = m_request.catalogue();
    if (!m_request.multiWord()) {
        bool cancelled = false;
        for (std::size_t i = 0; i < catalogue.count() && !cancelled; ++i) {
            const CatalogueEntry& entry = catalogue.entry(i);
            if (m_stop && m_stop->load()) return true;
            if (entry.selected()) {
                cancelled =
                    readWords<kFiltered>(entry.filePath(), plan, pattern, results, recording);
            }
        }
        return cancelled;
    }
    if (m_threads > 1 && !m_parent) {
        return runSplit<kFiltered>(results.store(), pattern, plan.hasFrom ? &plan.letters : nullptr,
                                   plan.length, plan.permutation, plan.rest);
    }
    const bool cancelled =
        readWords<kFiltered>(catalogue.subsetDictionaryName(), plan, pattern, results, recording);
    if (recording.active) {
        m_outcome = m_memo->end(recording, key, m_lane->checked(), cancelled);
    }
    return cancelled;
}

// A word with a vowel-like letter before bounds only the words of its length and first letter,
// when the letters can spell any; one without, only words no longer than it.
[[gnu::always_inline]] inline bool SearchLevel::boundEnds(const Plan& plan) const {
    if (m_boundVowelless) return plan.length > letterCount(m_bound);
    return m_firstLetter == 0 ||
           (plan.hasFrom && plan.letters.available(m_firstLetter - 'a') <= 0 &&
            plan.letters.available(LetterPool::kBlank) <= 0);
}

[[gnu::always_inline]] inline void SearchLevel::planWord(Plan& plan) {
    // This level's word pattern; m_position moves on to the next word.
    plan.rest = m_position;
    plan.pattern = takeWordPattern(plan.rest);

    if (!m_afterBang && plan.pattern.find('!') != std::string_view::npos) m_afterBang = true;
    if (m_afterBang) {
        plan.pattern = "*";
        m_useAll = true;
    }
    plan.permutation = m_request.suppressPermutations() &&
                       (m_afterBang || (plan.pattern == "*" && onlyStarWords(plan.rest)));
    plan.lastWord = plan.rest.empty() && !m_afterBang;

    // With Suppress Permutations the level above passes the place of the word it added (its
    // letters and first letter); 0 otherwise. Taken before the trailing-word rule changes them.
    plan.addedMinLength = m_minLength;
    plan.addedFirstLetter = m_firstLetter;

    // The word's own fixed letters come back from the reserve.
    plan.letters.release(plan.pattern);
    plan.total = plan.letters.total();
    plan.hasFrom = m_request.hasFromLetters();
    plan.length = 0;

    // A trailing word no shorter than the one before: either it may be as short, or it must
    // take every letter left (unless it may be the last and leave letters over).
    const int total = plan.total;
    if (m_minLength != 0 && (m_useAll || !plan.lastWord) && 0 < total - m_minLength &&
        total - m_minLength < m_minLength) {
        m_minLength = total;
        m_firstLetter = 0;
    }
}

[[gnu::always_inline]] inline bool SearchLevel::phraseComplete(const Plan& plan) const {
    return (m_afterBang && plan.total == 0) || (plan.pattern.empty() && !m_useAll) ||
           (plan.pattern.empty() && m_useAll && plan.total == 0);
}

[[gnu::always_inline]] inline bool SearchLevel::storePhrase(MatchSink& results) {
    // A store that takes no more matches stops the search as a cancel does.
    if (!results.append(std::string_view(m_phrase, static_cast<std::size_t>(m_phraseLength)),
                        false)) {
        m_outcome = SubtreeMemo::kUnknown;
        return true;
    }
    m_outcome = SubtreeMemo::kComplete;
    return false;
}

template <bool kFiltered>
[[gnu::always_inline]] inline bool SearchLevel::chooseLength(Plan& plan) {
    const int total = plan.total;
    // A word is still needed, but no letter or no vowel-like letter is left.
    if (m_request.multiWord() && plan.hasFrom && (total == 0 || plan.letters.vowels() == 0)) {
        return false;
    }
    // ... or too few letters for a word of the minimum length.
    const int minWord = kFiltered ? m_request.phraseMinWordLength() : 0;
    if (kFiltered && minWord != 0 && plan.hasFrom && total != LetterPool::kUnlimited &&
        total < minWord) {
        return false;
    }

    int length = 0;
    if (plan.lastWord) {
        if (plan.hasFrom && total < fixedCount(plan.pattern)) return false;
        if (m_useAll && plan.hasFrom) {
            if (total > kMaxWordLetters || total == 0) return false;
            if (!hasStar(plan.pattern) && static_cast<int>(plan.pattern.size()) < total) {
                return false;
            }
        }
        length = m_useAll && total != LetterPool::kUnlimited ? total : 0;
    }
    if (length <= m_minLength) length = m_minLength;
    if (m_request.suppressPermutations() && plan.lastWord && length != m_minLength) {
        m_firstLetter = 0;
    }
    if (kFiltered && length < minWord) {
        // Longer than the word before: its first letter no longer orders this one.
        if (minWord > m_minLength) m_firstLetter = 0;
        length = minWord;
    }
    plan.length = length;
    return true;
}

[[gnu::always_inline]] inline void SearchLevel::collectRepeatable(const Plan& plan) {
    m_repeatableCount = 0;
    if (!m_parent || !m_request.eachWordOnce()) return;
    const LetterPool& letters = plan.letters;
    // With Suppress Permutations no word below comes before this level's first place in the
    // order of lengths and first letters, so a word above that does cannot come again.
    const int firstOrder =
        plan.permutation ? plan.length * 32 + (m_firstLetter != 0 ? m_firstLetter - 'a' : 0) : 0;
    // Most words cannot come again for want of their first letter: that is looked at before
    // the word's letters are counted.
    const bool blanksLeft = letters.available(LetterPool::kBlank) > 0;
    auto consider = [&](WordSpan span) {
        const char* word = m_phrase + span.start;
        const int first = lowerLetter(word[0]) - 'a';
        if (span.order >= firstOrder && m_repeatableCount < kMaxPhraseWords &&
            (blanksLeft || first < 0 || first >= 26 || letters.available(first) > 0 ||
             letters.reserved(first) > 0) &&
            couldSpell(std::string_view(word, static_cast<std::size_t>(span.length)), letters)) {
            m_repeatable[m_repeatableCount++] = span;
        }
    };
    for (int i = 0; i < m_parent->m_repeatableCount; ++i) consider(m_parent->m_repeatable[i]);
    // The word the level above added, before its space.
    const int start = m_parent->m_phraseLength;
    const std::string_view added(m_phrase + start,
                                 static_cast<std::size_t>(m_phraseLength - start - 1));
    const int addedOrder = plan.addedMinLength != 0
                               ? plan.addedMinLength * 32 +
                                     (plan.addedFirstLetter != 0 ? plan.addedFirstLetter - 'a' : 0)
                               : letterCount(added) * 32 + (lowerLetter(added[0]) - 'a');
    consider({start, static_cast<int>(added.size()), addedOrder});
}

[[gnu::always_inline]] inline SearchLevel::Replayed SearchLevel::replayOrRecord(
    const Plan& plan, int variant, MatchSink& results, SubtreeMemo::Key& key,
    SubtreeMemo::Recording& recording) {
    // A phrase search may have met this state before: then the same phrases follow. Below the
    // top level, with letters that run out: each level takes at least one letter, so at most
    // `total` readers are opened below, and only fewer free ones than that change the outcome.
    const int total = plan.total;
    const int freeReaders = kMaxReaders - m_lane->openReaders();
    if (!m_memo || m_phraseLength <= 0 || !plan.hasFrom || total == LetterPool::kUnlimited ||
        !SubtreeMemo::makeKey(static_cast<std::size_t>(m_position.data() - m_request.find().data()),
                              m_afterBang, plan.letters, plan.length, m_firstLetter,
                              freeReaders < total + 1 ? freeReaders : total + 1, key, variant,
                              m_bound, m_vowelsOnly)) {
        return Replayed::kNo;
    }
    const SubtreeMemo::Outcome stored = m_memo->findOrBegin(
        key, m_lane->checked(), m_lane->control(), results.memoPending(), recording, results);
    if (stored == SubtreeMemo::kUnknown || m_lane->control().cancelled()) return Replayed::kNo;
    switch (m_memo->replay(stored, *m_lane, results, m_phrase, m_phraseLength, kMaxPhraseLength)) {
        case SubtreeMemo::Replay::kDone:
            m_outcome = stored;
            return Replayed::kDone;
        case SubtreeMemo::Replay::kStopped:
            return Replayed::kStopped;
        case SubtreeMemo::Replay::kTooLong:
            break;
    }
    return Replayed::kNo;
}

template <bool kFiltered>
[[gnu::always_inline]] inline bool SearchLevel::readWords(const std::filesystem::path& name,
                                                          const Plan& plan, const char* pattern,
                                                          MatchSink& results,
                                                          SubtreeMemo::Recording& recording) {
    const bool multiWord = m_request.multiWord();
    if (!multiWord && m_checkedBase) {
        m_checkedBase->fetch_add(static_cast<std::int64_t>(m_lane->checked()));
    }
    DictionaryReader dictionary(*m_lane, name, multiWord, m_request.readBufferSize());
    // Opening the first reader clears the readers' cancel flag: a cancel confirmed just
    // before that still stops this reader at its first word.
    if (m_stop && m_stop->load()) m_lane->control().setCancel();
    char word[kOutWordSize];
    MatchResult r = dictionary.nextMatch(word, pattern, plan.hasFrom ? &plan.letters : nullptr,
                                         plan.length, m_firstLetter);
    for (; r == kMatchFound; r = dictionary.nextMatch(word, nullptr)) {
        if (!multiWord) {
            const std::string_view match(word, static_cast<std::size_t>(dictionary.matchLength()));
            if (!offerWord<kFiltered>(match, plan, results)) return true;
        } else if (followWord<kFiltered>(dictionary, word, plan, results, recording)) {
            return true;
        }
    }
    return r == kMatchCancelled;
}

template <bool kFiltered>
[[gnu::always_inline]] inline bool SearchLevel::offerWord(std::string_view word, const Plan& plan,
                                                          MatchSink& results) {
    if ((m_request.useAllFromLetters() && plan.total != 0 && letterCount(word) != plan.total) ||
        !passesInclude(word, m_request.include()) || !passesExclude(word, m_request.exclude())) {
        return true;
    }
    // Phrase searches leave the stoplist out of the subset instead.
    if (kFiltered && m_request.stoplist() && m_request.stoplist()->contains(word)) {
        noteStruck();
        return true;
    }
    return results.append(word, true);
}

template <bool kFiltered>
[[gnu::always_inline]] inline bool SearchLevel::followWord(const DictionaryReader& dictionary,
                                                           const char* word, const Plan& plan,
                                                           MatchSink& results,
                                                           SubtreeMemo::Recording& recording) {
    // The next word of the phrase, with the letters this word left.
    const int wordLength = dictionary.matchLength();
    if (plan.permutation) {
        // The first word of its length and first letter that the reader gave: the letters left
        // spell no word of that length and first letter before it, so it bounds nothing below.
        const int letters = wordLength - (std::memchr(word, '-', std::size_t(wordLength)) ? 1 : 0);
        m_newBlock = letters != m_blockLength || lowerLetter(word[0]) != m_blockFirst;
        m_blockLength = letters;
        m_blockFirst = lowerLetter(word[0]);
    }
    // Suppress Permutations: the trailing words without a vowel-like letter come first, and each
    // kind in the dictionary's word order (words it counts as equal, in the order of their
    // characters). A word after the bound in that order lifts it: all words the reader gives
    // later are after it too.
    if (m_vowelsOnly && !hasVowel(word)) return false;
    if (m_bound && !(m_boundVowelless && hasVowel(word))) {
        const int order = compareWords(word, m_bound);
        if (order < 0 || (order == 0 && std::strcmp(word, m_bound) < 0)) return false;
        if (order > 0) m_bound = nullptr;
    }
    if (kFiltered && m_repeatableCount != 0) {
        bool repeated = false;
        for (int i = 0; i < m_repeatableCount && !repeated; ++i) {
            repeated = sameWord(word, wordLength, m_phrase + m_repeatable[i].start,
                                m_repeatable[i].length);
        }
        if (repeated) {
            noteStruck();
            return false;
        }
    }
    if (m_phraseLength + wordLength + 1 > kMaxPhraseLength) {
        // What is skipped here depends on the phrase so far, not on the state.
        if (recording.active) m_memo->add(recording, {}, SubtreeMemo::kUnknown);
        return false;
    }
    std::memcpy(m_phrase + m_phraseLength, word, static_cast<std::size_t>(wordLength));
    m_phrase[m_phraseLength + wordLength] = ' ';
    LetterPool childLetters;
    if (const LetterPool* filter = dictionary.letters()) filter->remainingInto(childLetters);
    SubtreeMemo::Outcome below;
    const bool childCancelled = runBelow<kFiltered>(results, word, wordLength, childLetters,
                                                    plan.permutation, plan.rest, below);
    if (recording.active) {
        m_memo->add(recording, std::string_view(word, static_cast<std::size_t>(wordLength)), below);
    }
    return childCancelled;
}

}  // namespace zantric
