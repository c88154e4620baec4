// The ranking: phrase scores worked out by hand from tests/data/ranking/tiny.arpa, the best of
// random matches against scoring every match in every order, and the graded word lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/ranking/phrase_model.h"
#include "core/ranking/ranker.h"
#include "core/ranking/word_levels.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

std::unique_ptr<PhraseModel> tinyModel() {
    const char* data = std::getenv("ZANTRIC_TEST_DATA");
    Outcome<std::unique_ptr<PhraseModel>> model =
        openNgramModel(std::string(data ? data : "tests/data") + "/ranking/tiny.arpa");
    EXPECT_TRUE(model.ok());
    return model ? std::move(model.value()) : nullptr;
}

std::vector<std::string_view> split(std::string_view text) {
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

TEST(RankingTest, PhraseScoresAsWorkedOutByHand) {
    const auto model = tinyModel();
    ASSERT_TRUE(model);
    struct Row {
        const char* phrase;
        double log10;
    };
    for (const Row& row : std::initializer_list<Row>{
             {"cat dog", -3.1},   // unigram, bigram, then back-offs to the unigram </s>
             {"dog cat", -4.5},   // back-offs only
             {"god act", -3.8},   // a bigram without a back-off weight
             {"CAT Dog", -3.1},   // case does not count
             {"cat cog", -10.5},  // an unknown word: -8, and no context after it
             {"dog", -1.6 - 1.2}}) {
        EXPECT_NEAR(model->phrase(split(row.phrase)), row.log10, 1e-3) << row.phrase;
    }
    EXPECT_NEAR(*model->word("dog"), -1.6, 1e-3);
    EXPECT_FALSE(model->word("cog").has_value());
    EXPECT_NEAR(*model->pair("cat", "dog"), -0.3, 1e-3);
    EXPECT_FALSE(model->pair("dog", "cat").has_value());  // backed off: not a pair of the model
    const Ranker ranker(model.get(), nullptr, 1, true);
    for (const Row& row : std::initializer_list<Row>{
             {"dog cat", 1.3},      // P(dog | cat) -0.3 against P(dog) -1.6, either order
             {"act cat god", 1.8},  // P(act | god) -0.7 against -2.5; no pair for cat
             {"cat cog dog", 1.3},  // an unknown word pairs with none
             {"dog go a", 0}}) {    // no pairs
        EXPECT_NEAR(ranker.pairGain(row.phrase), row.log10, 1e-3) << row.phrase;
    }
    for (const char* path : {"tests/nothing.arpa", "."}) EXPECT_FALSE(openNgramModel(path).ok());
}

// Every set once, best first, each in its best order: as scoring every order of every match.
std::vector<RankedMatch> bruteForce(const Ranker& ranker, const std::vector<std::string>& found,
                                    std::string_view question, std::size_t best) {
    std::map<std::string, RankedMatch> sets;
    for (const std::string& match : found) {
        std::vector<std::string_view> words = split(match);
        std::sort(words.begin(), words.end());
        const std::string key = wordSetKey(match);
        if (key == question || sets.contains(key)) continue;
        RankedMatch top{"", -1e9};
        do {
            std::string text;
            for (const std::string_view word : words)
                text += (text.empty() ? "" : " ") + std::string(word);
            if (const double score = ranker.score(text); score > top.score) top = {text, score};
        } while (std::next_permutation(words.begin(), words.end()));
        sets[key] = top;
    }
    std::vector<RankedMatch> ranked;
    ranked.reserve(sets.size());
    for (const auto& [key, match] : sets) ranked.push_back(match);
    std::stable_sort(ranked.begin(), ranked.end(), [](const RankedMatch& a, const RankedMatch& b) {
        return a.score != b.score ? a.score > b.score : a.text < b.text;
    });
    if (ranked.size() > best) ranked.resize(best);
    return ranked;
}

TEST(RankingTest, BestEqualsScoringEveryMatch) {
    const auto model = tinyModel();
    ASSERT_TRUE(model);
    const std::vector<std::string> vocabulary{"a",   "act", "at",  "cat", "cog", "do",
                                              "dog", "go",  "god", "tag", "to"};
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const bool phrases = round % 2 == 0;
        std::vector<std::string> found;
        for (int i = 0; i < 60; ++i) {
            std::string match = vocabulary[random() % vocabulary.size()];
            for (std::size_t n = phrases ? random() % 4 : 0; n > 0; --n) {
                match += " " + vocabulary[random() % vocabulary.size()];
            }
            found.push_back(match);
        }
        const std::size_t best = 1 + random() % 12;
        // A single-word search's pool is its answer, so a small pool is tried there.
        Ranker ranker(model.get(), nullptr, best, phrases, phrases ? Ranker::kPool : best);
        ranker.leaveOut(found[0]);
        for (const std::string& match : found) ranker.offer(match);
        const std::vector<RankedMatch> want = bruteForce(ranker, found, wordSetKey(found[0]), best);
        const std::vector<RankedMatch> got = ranker.best();
        ASSERT_EQ(got.size(), want.size()) << round;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].score, want[i].score, 1e-9) << round << " " << got[i].text;
            EXPECT_EQ(wordSetKey(got[i].text), wordSetKey(want[i].text)) << round;
        }
    }
}

TEST(RankingTest, PoolRescoresTheSetsWhoseWordsGoTogether) {
    const auto model = tinyModel();
    ASSERT_TRUE(model);
    // By the cheap score, "a to" (-4.5) comes before "cat dog" (-5.1); with the pair's gain, 1.3,
    // "cat dog" (-3.8) is the one set rescored of the two kept.
    Ranker ranker(model.get(), nullptr, 1, true, 2, 1);
    for (const char* match : {"a to", "dog cat", "cog act"}) ranker.offer(match);
    const std::vector<RankedMatch> best = ranker.best();
    ASSERT_EQ(best.size(), 1u);
    EXPECT_EQ(best[0].text, "cat dog");
    EXPECT_NEAR(best[0].score, -5.1, 1e-3);
}

TEST(RankingTest, FromRespelledIsTheQuestion) {
    const auto model = tinyModel();
    ASSERT_TRUE(model);
    struct Row {
        const char* from;
        const char* match;
        bool kept;
    };
    for (const Row& row : std::initializer_list<Row>{{"postmaster", "post master", false},
                                                     {"postmaster", "master post", false},
                                                     {"post master", "postmaster", false},
                                                     {"Cat dog", "CATDO g", false},
                                                     {"postmaster", "stamp store", true},
                                                     {"catdog", "cat god", true},
                                                     {"cat dog", "cat dogs", true}}) {
        Ranker ranker(model.get(), nullptr, 5, true);
        ranker.leaveOut(row.from);
        ranker.offer(row.match);
        EXPECT_EQ(ranker.best().size(), row.kept ? 1u : 0u) << row.from << " / " << row.match;
    }
}

TEST(RankingTest, WordLevelsFromGradedLists) {
    const test::TempFolder folder;
    test::TempFolder::write("lists/english-words.10", "Cat\ndog\r\n");
    test::TempFolder::write("lists/english-words.50", "cat\nact\n");
    test::TempFolder::write("lists/american-proper-names.80", "Clint\n");
    test::TempFolder::write("lists/british-words.10", "colour\n");
    const Outcome<WordLevels> levels = WordLevels::read("lists", "american");
    ASSERT_TRUE(levels.ok());
    struct Row {
        const char* word;
        int level;
    };
    for (const Row& row : std::initializer_list<Row>{
             {"cat", 10}, {"CAT", 10}, {"dog", 10}, {"act", 6}, {"clint", 2}, {"colour", 0}}) {
        EXPECT_EQ(levels.value().level(row.word), row.level) << row.word;
    }
    EXPECT_EQ(levels.value().wordsOfLevel(6), (std::vector<std::string>{"act", "cat", "dog"}));
    EXPECT_FALSE(WordLevels::read("nowhere", "american").ok());
}

}  // namespace
}  // namespace zantric
