#include "core/search/bounded_search.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/results/results_store.h"
#include "core/search/search_level.h"
#include "core/search/search_request.h"
#include "core/shell/cancel_gate.h"

namespace zantric {

namespace {

constexpr int kLetters = 26;
// The walk stops at the pause gate, looks at the cancel flag and hands on its Checked count every
// this many words tried.
constexpr std::uint64_t kPollEvery = 1 << 14;
// mostLeft's figures: not worked out yet; no words spell the letters.
constexpr std::int64_t kUnknown = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kNoSet = std::numeric_limits<std::int64_t>::min() / 4;
// The most figures mostLeft keeps: one for each set of letters of a FROM of twenty different
// letters, four for one of twenty-two.
constexpr std::size_t kMostFigures = std::size_t{1} << 22;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A word the search may use: its part of the score and the letters it takes.
struct Word {
    std::int64_t part;
    std::uint32_t text;    // where its characters start in the texts
    std::uint8_t length;   // its characters
    std::uint8_t letters;  // its letters
    std::uint8_t kinds;    // distinct letters: the first `kinds` of letter and count
    std::uint32_t group;   // the same number for the same word, case aside
    std::array<std::uint8_t, kMaxWordLetters> letter;
    std::array<std::uint8_t, kMaxWordLetters> count;
};

class BoundedSearch {
public:
    BoundedSearch(const SearchRequest& request, ResultsStore& store, SetKeeper& keeper,
                  CancelGate& gate, std::atomic<std::int64_t>& checked)
        : m_request(request),
          m_store(store),
          m_keeper(keeper),
          m_gate(gate),
          m_checked(checked),
          m_eachWordOnce(request.eachWordOnce()) {}

    void readWords(ReadLane& lane);
    // Gives the words that are spelled alike but for case one group number.
    void groupWords();
    BoundedOutcome run();

private:
    // Extends the phrase (m_phrase, `score` so far) by each word of the level's list (its
    // `count` entries at m_lists[at]), every one of which the letters left can spell, best first.
    bool walk(std::size_t at, std::size_t count, std::int64_t score);
    // The words of m_lists[from, from + count) that the letters left can spell and that add at
    // least `least`, appended to m_lists as the next level's list; its length.
    std::size_t follows(std::size_t from, std::size_t count, std::int64_t least);
    // The most that words spelling exactly the letters left add together (kNoSet: no words do),
    // each figure worked out once. The bound of every phrase that starts with the words so far.
    std::int64_t mostLeft();
    bool fits(const Word& word) const {
        for (int k = 0; k < word.kinds; ++k) {
            if (m_left[word.letter[k]] < word.count[k]) return false;
        }
        return true;
    }
    // Whether the letters left hold every letter the word takes, if not as many: most words that
    // do not fit fail here, without reading their Word.
    bool mayFit(std::uint32_t index) const { return (m_masks[index] & ~m_leftMask) == 0; }
    void take(const Word& word, int sign) {
        for (int k = 0; k < word.kinds; ++k) {
            const std::uint8_t letter = word.letter[k];
            m_left[letter] -= sign * word.count[k];
            m_leftIndex -= static_cast<std::size_t>(sign * word.count[k]) * m_radix[letter];
            if (m_left[letter] > 0) {
                m_leftMask |= std::uint32_t{1} << letter;
            } else {
                m_leftMask &= ~(std::uint32_t{1} << letter);
            }
        }
        m_total -= sign * word.letters;
    }
    bool repeated(const Word& word) const;
    bool store(std::int64_t score);
    bool poll();

    const SearchRequest& m_request;
    ResultsStore& m_store;
    SetKeeper& m_keeper;
    CancelGate& m_gate;
    std::atomic<std::int64_t>& m_checked;
    const bool m_eachWordOnce;

    std::vector<Word> m_words;           // best first
    std::vector<std::int64_t> m_parts;   // each word's part, at its index, for the scans
    std::vector<std::uint32_t> m_masks;  // the letters each word takes, a bit for each
    std::string m_texts;
    std::vector<std::uint32_t> m_lists;  // the words each level may take, level after level
    std::array<int, kLetters> m_left{};
    std::uint32_t m_leftMask = 0;  // the letters left, a bit for each
    int m_total = 0;
    // mostLeft's figures, one for each set of letters FROM holds (none when FROM holds too many
    // letters: then the bound is 0), at the sum over the letters left of each one's count times
    // its radix.
    std::vector<std::int64_t> m_most;
    std::array<std::size_t, kLetters> m_radix{};
    std::size_t m_leftIndex = 0;
    std::array<std::vector<std::uint32_t>, kLetters> m_withLetter;  // best first
    std::int64_t m_floor = std::numeric_limits<std::int64_t>::min();
    std::vector<std::uint32_t> m_phrase;  // the words so far
    int m_phraseLength = 0;               // their characters, each with a space after it
    std::string m_line;
    std::uint64_t m_tried = 0;
    std::uint64_t m_toPoll = kPollEvery;
    bool m_struck = false;
    bool m_stopped = false;
};

void BoundedSearch::readWords(ReadLane& lane) {
    const LetterPool& from = m_request.workLetters();
    for (int i = 0; i < kLetters; ++i) m_left[static_cast<std::size_t>(i)] = from.available(i);
    m_total = from.total();
    DictionaryReader reader(lane, m_request.subsetDictionary(), true, m_request.readBufferSize());
    char text[kOutWordSize];
    MatchResult r = reader.nextMatch(text, "*", &from, m_request.phraseMinWordLength());
    for (; r == kMatchFound; r = reader.nextMatch(text, nullptr)) {
        const std::string_view word(text, static_cast<std::size_t>(reader.matchLength()));
        LetterPool left;
        reader.letters()->remainingInto(left);
        Word entry{m_keeper.wordPart(word),
                   static_cast<std::uint32_t>(m_texts.size()),
                   static_cast<std::uint8_t>(word.size()),
                   0,
                   0,
                   0,
                   {},
                   {}};
        for (int i = 0; i < kLetters; ++i) {
            const int used = from.available(i) - left.available(i);
            if (used <= 0) continue;
            entry.letter[entry.kinds] = static_cast<std::uint8_t>(i);
            entry.count[entry.kinds++] = static_cast<std::uint8_t>(used);
            entry.letters = static_cast<std::uint8_t>(entry.letters + used);
        }
        if (entry.letters == 0) continue;
        m_texts += word;
        m_words.push_back(entry);
    }
    if (r == kMatchCancelled) m_stopped = true;
    groupWords();
    // Best first; words of one part in the order read.
    std::stable_sort(m_words.begin(), m_words.end(),
                     [](const Word& a, const Word& b) { return a.part > b.part; });
    for (std::uint32_t index = 0; index < m_words.size(); ++index) {
        const Word& word = m_words[index];
        std::uint32_t mask = 0;
        for (int k = 0; k < word.kinds; ++k) {
            m_withLetter[word.letter[k]].push_back(index);
            mask |= std::uint32_t{1} << word.letter[k];
        }
        m_parts.push_back(word.part);
        m_masks.push_back(mask);
    }
    for (std::size_t i = 0; i < kLetters; ++i) {
        if (m_left[i] > 0) m_leftMask |= std::uint32_t{1} << i;
    }
    std::size_t figures = 1;
    for (std::size_t i = 0; i < kLetters && figures <= kMostFigures; ++i) {
        m_radix[i] = figures;
        m_leftIndex += static_cast<std::size_t>(m_left[i]) * figures;
        figures *= static_cast<std::size_t>(m_left[i]) + 1;
    }
    if (figures <= kMostFigures) m_most.assign(figures, kUnknown);
}

void BoundedSearch::groupWords() {
    // Open addressing: each slot holds the index of the first word of a group, or kFree. A word
    // is hashed as folded into a buffer of its own and compared, folded, where it is stored.
    constexpr std::uint32_t kFree = std::numeric_limits<std::uint32_t>::max();
    std::size_t slots = 16;
    while (slots < 2 * m_words.size()) slots *= 2;
    std::vector<std::uint32_t> table(slots, kFree);
    std::uint32_t groups = 0;
    char folded[kOutWordSize];
    for (Word& word : m_words) {
        const std::string_view text(m_texts.data() + word.text, word.length);
        std::transform(text.begin(), text.end(), folded, lowerAscii);
        const std::string_view key(folded, text.size());
        std::size_t slot = std::hash<std::string_view>{}(key) & (slots - 1);
        for (; table[slot] != kFree; slot = (slot + 1) & (slots - 1)) {
            const Word& first = m_words[table[slot]];
            const std::string_view stored(m_texts.data() + first.text, first.length);
            if (std::equal(stored.begin(), stored.end(), key.begin(), key.end(),
                           [](char a, char b) { return lowerAscii(a) == b; })) {
                break;
            }
        }
        if (table[slot] == kFree) {
            table[slot] = static_cast<std::uint32_t>(&word - m_words.data());
            word.group = groups++;
        } else {
            word.group = m_words[table[slot]].group;
        }
    }
}

BoundedOutcome BoundedSearch::run() {
    if (!m_stopped && !m_words.empty()) {
        // Each level's list is at most as long as the one above; a phrase has at most
        // kMaxPhraseWords words, so the lists never move.
        m_lists.reserve(m_words.size() * (kMaxPhraseWords + 1));
        for (std::uint32_t i = 0; i < m_words.size(); ++i) m_lists.push_back(i);
        m_phrase.reserve(kMaxPhraseWords);
        walk(0, m_words.size(), 0);
    }
    m_checked.fetch_add(static_cast<std::int64_t>(m_tried % kPollEvery));
    return {m_stopped, m_struck};
}

bool BoundedSearch::walk(std::size_t at, std::size_t count, std::int64_t score) {
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t index = m_lists[at + k];
        const Word& word = m_words[index];
        const std::int64_t with = score + word.part;
        // The words after this one add no more than it.
        if (with < m_floor) break;
        if (++m_tried == m_toPoll && poll()) return true;
        if (m_phraseLength + word.length + 1 > kMaxPhraseLength) continue;
        if (m_eachWordOnce && repeated(word)) {
            m_struck = true;
            continue;
        }
        m_phrase.push_back(index);
        m_phraseLength += word.length + 1;
        if (word.letters == m_total) {
            if (store(with)) return true;
        } else if (m_phrase.size() < static_cast<std::size_t>(kMaxPhraseWords) &&
                   with + word.part >= m_floor) {
            // Another word is needed, and none of those that may follow adds more than this one.
            take(word, 1);
            const std::int64_t most = mostLeft();
            bool stopped = false;
            if (most != kNoSet && with + most >= m_floor) {
                const std::size_t next = m_lists.size();
                const std::size_t first = m_eachWordOnce ? k + 1 : k;
                const std::size_t found = follows(at + first, count - first, m_floor - with);
                stopped = found != 0 && walk(next, found, with);
                m_lists.resize(next);
            }
            take(word, -1);
            if (stopped) return true;
        }
        m_phrase.pop_back();
        m_phraseLength -= word.length + 1;
    }
    return false;
}

std::size_t BoundedSearch::follows(std::size_t from, std::size_t count, std::int64_t least) {
    const std::size_t start = m_lists.size();
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t index = m_lists[from + k];
        if (m_parts[index] < least) break;
        if (!mayFit(index)) continue;
        const Word& word = m_words[index];
        if (word.letters <= m_total && fits(word)) m_lists.push_back(index);
    }
    return m_lists.size() - start;
}

std::int64_t BoundedSearch::mostLeft() {
    if (m_total == 0) return 0;
    if (m_most.empty()) return 0;
    if (m_most[m_leftIndex] != kUnknown) return m_most[m_leftIndex];
    // Some word takes each letter left: those of the letter that the fewest words take.
    const std::vector<std::uint32_t>* takers = nullptr;
    for (std::size_t i = 0; i < kLetters; ++i) {
        if (m_left[i] > 0 && (!takers || m_withLetter[i].size() < takers->size())) {
            takers = &m_withLetter[i];
        }
    }
    std::int64_t most = kNoSet;
    for (const std::uint32_t index : *takers) {
        // What follows adds nothing above 0, and the words after this one add no more.
        if (m_parts[index] <= most) break;
        if (!mayFit(index)) continue;
        const Word& word = m_words[index];
        if (word.letters > m_total || !fits(word)) continue;
        take(word, 1);
        const std::int64_t rest = mostLeft();
        take(word, -1);
        if (rest != kNoSet) most = std::max(most, word.part + rest);
    }
    m_most[m_leftIndex] = most;
    return most;
}

bool BoundedSearch::repeated(const Word& word) const {
    return std::any_of(m_phrase.begin(), m_phrase.end(),
                       [&](std::uint32_t index) { return m_words[index].group == word.group; });
}

bool BoundedSearch::store(std::int64_t score) {
    m_line.clear();
    for (const std::uint32_t index : m_phrase) {
        const Word& word = m_words[index];
        if (!m_line.empty()) m_line += ' ';
        m_line.append(m_texts, word.text, word.length);
    }
    if (!m_store.append(m_line, true)) {
        m_stopped = true;
        return true;
    }
    m_floor = m_keeper.keep(m_line, score);
    return false;
}

bool BoundedSearch::poll() {
    m_toPoll += kPollEvery;
    m_checked.fetch_add(static_cast<std::int64_t>(kPollEvery));
    if (m_gate.stopRequested()) m_stopped = true;
    return m_stopped;
}

}  // namespace

bool boundedSearchSuits(const SearchRequest& request) {
    return request.multiWord() && request.find() == "!" && request.hasFromLetters() &&
           request.fromLetters().available(LetterPool::kBlank) == 0 &&
           request.fromLetters().total() != LetterPool::kUnlimited;
}

BoundedOutcome runBoundedSearch(const SearchRequest& request, ReadLane& lane, ResultsStore& store,
                                SetKeeper& keeper, std::atomic<std::int64_t>& checked) {
    checked.store(0);
    BoundedSearch search(request, store, keeper, lane.control(), checked);
    search.readWords(lane);
    return search.run();
}

}  // namespace zantric
