#include "core/ranking/ranker.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

namespace zantric {

namespace {

// What each word of a phrase adds to its log10 probability (docs/ranking.md): the model alone
// likes many short words, and a person reading a list of anagrams prefers few long ones.
constexpr double kPerWord = -1.0;
// What a name adds besides (a word the dictionary spells with a capital, other than "I"): a
// reader takes a phrase of words before one of names.
constexpr double kPerName = -1.0;

double wordTerm(std::string_view word) {
    const bool name = !word.empty() && word[0] >= 'A' && word[0] <= 'Z' && word != "I";
    return kPerWord + (name ? kPerName : 0.0);
}

double wordTerms(const std::vector<std::string_view>& words) {
    double total = 0;
    for (const std::string_view word : words) total += wordTerm(word);
    return total;
}

// Orders with more words than this are not all tried: the words are placed one at a time, each
// where the phrase so far scores best.
constexpr std::size_t kMostPermuted = 6;

// How much each commonness level lifts a word the model does not know.
constexpr double kLevelStep = 0.1;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool lessFolded(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return lowerAscii(x) < lowerAscii(y);
    });
}

// Calls `each` with every word of `match` (split at spaces).
template <typename Each>
void forEachWord(std::string_view match, Each each) {
    std::size_t at = 0;
    while (at < match.size()) {
        if (match[at] == ' ') {
            ++at;
            continue;
        }
        std::size_t end = match.find(' ', at);
        if (end == std::string_view::npos) end = match.size();
        each(match.substr(at, end - at));
        at = end;
    }
}

std::size_t capitals(std::string_view text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; }));
}

std::vector<std::string_view> wordsOf(std::string_view match) {
    std::vector<std::string_view> words;
    forEachWord(match, [&](std::string_view word) { words.push_back(word); });
    return words;
}

std::string joined(const std::vector<std::string_view>& words) {
    std::string text;
    for (const std::string_view word : words) {
        if (!text.empty()) text += ' ';
        text += word;
    }
    return text;
}

// Whether `words` (the words of a match not yet placed, none of them empty) can be placed one
// after another, each used once, so that they spell `rest` exactly, case aside.
bool spellsInSomeOrder(std::vector<std::string_view>& words, std::string_view rest) {
    if (words.empty()) return rest.empty();
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word.size() > rest.size() ||
            !std::equal(word.begin(), word.end(), rest.begin(),
                        [](char a, char b) { return lowerAscii(a) == b; })) {
            continue;
        }
        std::swap(words[i], words.back());
        words.pop_back();
        const bool spells = spellsInSomeOrder(words, rest.substr(word.size()));
        words.push_back(word);
        std::swap(words[i], words.back());
        if (spells) return true;
    }
    return false;
}

}  // namespace

std::string wordSetKey(std::string_view match) {
    std::vector<std::string_view> words = wordsOf(match);
    std::sort(words.begin(), words.end(), lessFolded);
    std::string key = joined(words);
    std::transform(key.begin(), key.end(), key.begin(), lowerAscii);
    return key;
}

Ranker::Ranker(const PhraseModel* model, const WordLevels* levels, std::size_t best, bool phrases,
               std::size_t pool, std::size_t rescored)
    : m_model(model),
      m_levels(levels),
      m_best(best),
      m_phrases(phrases),
      m_poolSize(std::max(best, pool)),
      m_rescoredSize(std::max(best, rescored)) {}

void Ranker::leaveOut(std::string_view from) {
    m_question = wordSetKey(from);
    m_spelled.clear();
    for (const char c : from) {
        if (c != ' ') m_spelled += lowerAscii(c);
    }
}

double Ranker::wordScore(std::string_view word) const {
    if (m_model) {
        if (const std::optional<double> known = m_model->word(word)) return *known;
    }
    const double unknown = m_model ? m_model->unknownWord() : 0.0;
    return unknown + kLevelStep * (m_levels ? m_levels->level(word) : 0);
}

double Ranker::cheapScore(std::string_view match) const {
    double total = 0;
    forEachWord(match, [&](std::string_view word) { total += wordScore(word) + wordTerm(word); });
    return total;
}

double Ranker::score(std::string_view match) const {
    const std::vector<std::string_view> words = wordsOf(match);
    if (!m_phrases || !m_model) return cheapScore(match);
    return m_model->phrase(words) + wordTerms(words);
}

double Ranker::pairGain(std::string_view match) const {
    if (!m_model) return 0;
    const std::vector<std::string_view> words = wordsOf(match);
    double total = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::optional<double> alone = m_model->word(words[i]);
        if (!alone) continue;
        double most = 0;
        for (std::size_t j = 0; j < words.size(); ++j) {
            if (j == i) continue;
            if (const std::optional<double> after = m_model->pair(words[j], words[i])) {
                most = std::max(most, *after - *alone);
            }
        }
        total += most;
    }
    return total;
}

std::int64_t Ranker::wordPart(std::string_view word) const {
    return std::llround((wordScore(word) + wordTerm(word)) * kCheapUnits);
}

std::int64_t Ranker::cheapScoreAfterLast(std::string_view match) {
    std::int64_t total = 0;
    bool same = true;
    std::size_t count = 0;
    for (std::size_t at = 0; at < match.size(); ++at) {
        if (match[at] == ' ') continue;
        const std::size_t end = std::min(match.find(' ', at), match.size());
        const std::string_view word = match.substr(at, end - at);
        same = same && count < m_lastSums.size() && m_lastEnds[count] == end &&
               std::string_view(m_last).substr(at, end - at) == word;
        if (same) {
            total = m_lastSums[count];
        } else {
            auto known = m_wordParts.find(word);
            if (known == m_wordParts.end()) {
                known = m_wordParts.emplace(std::string(word), wordPart(word)).first;
            }
            total += known->second;
            m_lastSums.resize(count);
            m_lastEnds.resize(count);
            m_lastSums.push_back(total);
            m_lastEnds.push_back(end);
        }
        ++count;
        at = end;
    }
    m_last.assign(match);
    return total;
}

void Ranker::offer(std::string_view match) { keep(match, cheapScoreAfterLast(match)); }

bool Ranker::respells(std::string_view match) const {
    if (m_spelled.empty()) return false;
    std::vector<std::string_view> words = wordsOf(match);
    return !words.empty() && spellsInSomeOrder(words, m_spelled);
}

std::int64_t Ranker::floor() const {
    return m_pool.size() >= m_poolSize ? std::prev(m_pool.end())->cheap
                                       : std::numeric_limits<std::int64_t>::min();
}

std::int64_t Ranker::keep(std::string_view match, std::int64_t cheap) {
    if (cheap < floor()) return floor();
    std::string key = wordSetKey(match);
    if (key == m_question) return floor();
    if (const auto pooled = m_pooled.find(key); pooled != m_pooled.end()) {
        const Candidate& was = *pooled->second;
        const std::size_t before = capitals(was.text), now = capitals(match);
        if (cheap > was.cheap ||
            (cheap == was.cheap && (now < before || (now == before && match < was.text)))) {
            m_pool.erase(pooled->second);
            pooled->second = m_pool.insert({cheap, std::move(key), std::string(match)}).first;
        }
        return floor();
    }
    if (respells(match)) return floor();  // a set in the pool was looked at when it entered
    Candidate candidate{cheap, std::move(key), std::string(match)};
    if (m_pool.size() >= m_poolSize) {
        const auto worst = std::prev(m_pool.end());
        if (!Better{}(candidate, *worst)) return floor();
        m_pooled.erase(worst->key);
        m_pool.erase(worst);
    }
    const auto entered = m_pool.insert(std::move(candidate)).first;
    m_pooled.emplace(entered->key, entered);
    return floor();
}

RankedMatch Ranker::rescore(const std::string& text) const {
    std::vector<std::string_view> words = wordsOf(text);
    if (!m_phrases || !m_model || words.size() < 2) return {text, score(text)};
    const double extra = wordTerms(words);
    std::vector<std::string_view> bestOrder;
    double best = 0;
    if (words.size() <= kMostPermuted) {
        std::sort(words.begin(), words.end(), lessFolded);
        do {
            const double value = m_model->phrase(words);
            if (bestOrder.empty() || value > best) {
                best = value;
                bestOrder = words;
            }
        } while (std::next_permutation(words.begin(), words.end(), lessFolded));
    } else {
        // One word at a time, each the one that scores best after those placed.
        std::sort(words.begin(), words.end(), lessFolded);
        while (!words.empty()) {
            std::size_t chosen = 0;
            double chosenValue = 0;
            for (std::size_t i = 0; i < words.size(); ++i) {
                bestOrder.push_back(words[i]);
                const double value = m_model->phrase(bestOrder);
                bestOrder.pop_back();
                if (i == 0 || value > chosenValue) {
                    chosen = i;
                    chosenValue = value;
                }
            }
            bestOrder.push_back(words[chosen]);
            words.erase(words.begin() + static_cast<std::ptrdiff_t>(chosen));
        }
        best = m_model->phrase(bestOrder);
    }
    return {joined(bestOrder), best + extra};
}

std::vector<const std::string*> Ranker::toRescore() const {
    std::vector<const std::string*> texts;
    texts.reserve(m_pool.size());
    for (const Candidate& candidate : m_pool) texts.push_back(&candidate.text);
    if (!m_phrases || !m_model || texts.size() <= m_rescoredSize) return texts;
    // The pool in the order of the cheap score and the pairs' gain together; of those that score
    // the same, in the pool's order.
    std::vector<std::pair<double, std::size_t>> order;
    order.reserve(m_pool.size());
    for (const Candidate& candidate : m_pool) {
        order.emplace_back(
            static_cast<double>(candidate.cheap) / kCheapUnits + pairGain(candidate.text),
            order.size());
    }
    const auto cut = order.begin() + static_cast<std::ptrdiff_t>(m_rescoredSize);
    std::partial_sort(order.begin(), cut, order.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    std::vector<const std::string*> chosen;
    chosen.reserve(m_rescoredSize);
    for (auto at = order.begin(); at != cut; ++at) chosen.push_back(texts[at->second]);
    return chosen;
}

std::vector<RankedMatch> Ranker::best() const {
    std::vector<RankedMatch> ranked;
    const std::vector<const std::string*> texts = toRescore();
    ranked.reserve(texts.size());
    for (const std::string* text : texts) ranked.push_back(rescore(*text));
    std::sort(ranked.begin(), ranked.end(), [](const RankedMatch& a, const RankedMatch& b) {
        return a.score != b.score ? a.score > b.score : a.text < b.text;
    });
    if (ranked.size() > m_best) ranked.resize(m_best);
    return ranked;
}

}  // namespace zantric
