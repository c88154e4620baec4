// Ranker: the best matches of a search, best first. The search hands it every match line as it
// finds it (`offer`, on one thread at a time); a cheap score from the words alone keeps a bounded
// pool of the best sets of words; `best` picks the best of the pool by how well their words go
// together in pairs, rescores those with the phrase model in every order of their words
// (docs/ranking.md) and returns the best, each set of words once in its most natural order. Without
// a model, single words rank by their commonness level only. The ranker owns no model: the caller
// keeps the model and the levels alive while it ranks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/ranking/phrase_model.h"
#include "core/ranking/word_levels.h"

namespace zantric {

struct RankedMatch {
    std::string text;  // the words in their best order
    double score = 0;  // log10, higher is better
    friend bool operator==(const RankedMatch&, const RankedMatch&) = default;
};

class Ranker {
public:
    // The pool kept by the cheap score: at least this many sets, more when more are asked for.
    static constexpr std::size_t kPool = 10000;
    // The sets of the pool rescored in every order: at least this many, more when more are asked
    // for.
    static constexpr std::size_t kRescored = 2000;
    // The cheap score counts in millionths of a log10, so that its sums do not depend on the
    // order of the words.
    static constexpr double kCheapUnits = 1e6;

    // `model` and `levels` may each be null. A phrase search's matches are scored as phrases
    // (one-word matches too, so that they compare with the others); a single-word search's by
    // the word alone.
    Ranker(const PhraseModel* model, const WordLevels* levels, std::size_t best, bool phrases,
           std::size_t pool = kPool, std::size_t rescored = kRescored);

    // The set of words of `from` (a FROM typed as words) is the question, not an answer: a match
    // of the same words, in any order and case, is never among the best; nor is one whose words,
    // in some order, spell FROM's letters in FROM's order ("post master" from "postmaster").
    void leaveOut(std::string_view from);
    // One match: words separated by spaces. Allocates only for a match that enters the pool.
    void offer(std::string_view match);
    // A word's part of the cheap score (0 or less): the cheap score of a match is the sum of
    // its words' parts.
    std::int64_t wordPart(std::string_view word) const;
    // One match whose cheap score is known. Returns the cheap score below which a match no
    // longer enters the pool (the lowest std::int64_t while the pool is not full).
    std::int64_t keep(std::string_view match, std::int64_t cheap);
    // The best (at most `best`), best first; ties in the order of their words' text.
    std::vector<RankedMatch> best() const;

    // The score of one match in its given order (what --explain shows; docs/ranking.md).
    double score(std::string_view match) const;
    // What the words of a set gain from going together in pairs, in any order (0 or more): for
    // each word, the most that one of the others raises its probability when it comes first.
    double pairGain(std::string_view match) const;

private:
    struct Candidate {
        std::int64_t cheap;
        std::string key;   // the words in lower case, sorted, joined by spaces
        std::string text;  // the match as found
    };
    // The pool's order: the best first, the worst last.
    struct Better {
        bool operator()(const Candidate& a, const Candidate& b) const {
            return a.cheap != b.cheap ? a.cheap > b.cheap : a.key < b.key;
        }
    };
    double cheapScore(std::string_view match) const;
    // The same in millionths, reusing the sums of the words `match` shares at its start with the
    // match before (a search finds the phrases that start with the same words one after another).
    std::int64_t cheapScoreAfterLast(std::string_view match);
    double wordScore(std::string_view word) const;
    std::int64_t floor() const;
    // Whether the words of `match`, in some order, spell FROM (as leaveOut gave it).
    bool respells(std::string_view match) const;
    RankedMatch rescore(const std::string& text) const;
    // The sets of the pool that `best` rescores: all of them, or the best by the cheap score and
    // the pairs' gain together.
    std::vector<const std::string*> toRescore() const;

    const PhraseModel* m_model;
    const WordLevels* m_levels;
    std::size_t m_best;
    bool m_phrases;
    std::size_t m_poolSize;
    std::size_t m_rescoredSize;
    std::string m_question;  // the key of FROM's words, or ""
    std::string m_spelled;   // FROM's characters in lower case, without spaces
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    // Each word's part of the cheap score, as looked up once (a search lists few distinct words).
    std::unordered_map<std::string, std::int64_t, Hash, std::equal_to<>> m_wordParts;
    std::string m_last;                    // the match before
    std::vector<std::int64_t> m_lastSums;  // its cheap score up to the end of each word
    std::vector<std::size_t> m_lastEnds;   // where each of its words ends
    // The pool: each set of words once, as the form of it that scores best (of those that score
    // the same, the one with the fewest capitals: "it" rather than "It"; then the first in the
    // order of its characters).
    std::set<Candidate, Better> m_pool;
    std::unordered_map<std::string, std::set<Candidate, Better>::iterator> m_pooled;
};

// The words of a match in lower case, sorted, joined by single spaces: one key for every order.
std::string wordSetKey(std::string_view match);

}  // namespace zantric
