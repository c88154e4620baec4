// The ranking: phrase scores worked out by hand from tests/data/ranking/tiny.arpa and tiny.lm, the
// best of random matches against scoring every match in every order, the graded word lists, and
// word-count models damaged in many ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/ranking/count_model.h"
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

std::string testData(const char* name) {
    const char* data = std::getenv("ZANTRIC_TEST_DATA");
    return std::string(data ? data : "tests/data") + "/ranking/" + name;
}

std::unique_ptr<CountModel> tinyCounts(std::string_view language) {
    Outcome<std::unique_ptr<CountModel>> model = CountModel::read(testData("tiny.lm"), language);
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

TEST(RankingTest, CountScoresAsWorkedOutByHand) {
    const auto fr = tinyCounts("fr");
    const auto de = tinyCounts("de");
    ASSERT_TRUE(fr && de);
    struct Row {
        const CountModel* model;
        const char* phrase;
        double log10;
    };
    for (const Row& row : std::initializer_list<Row>{
             {fr.get(), "CHAT", -1.0},              // chat and Chat counted together
             {fr.get(), "ÉLÈVE", -4.2218},          // a Latin-1 capital matches its small letter
             {fr.get(), "eleve", -4.0},             // no accents: élève and élevé together
             {fr.get(), "éleve", -6.3010},          // an accented word only as written: unknown
             {fr.get(), "oeuvre", -6.0},            // œ folds to oe
             {fr.get(), "mull", -5.0},              // ü folds to u
             {de.get(), "muell", -5.0},             // but in German to ue
             {de.get(), "mull", -6.3010},           //
             {fr.get(), "le chat noir", -2.0},      // two pairs, one of them "Le chat"
             {fr.get(), "noir chat", -2.3979},      // no pair: backed off
             {fr.get(), "noir nuit", -1.0},         // a pair counted more than its first word
             {fr.get(), "chat chien", -7.3010},     // an unknown word
             {fr.get(), "chien chat", -7.3010}}) {  // and no context after it
        EXPECT_NEAR(row.model->phrase(split(row.phrase)), row.log10, 1e-4) << row.phrase;
    }
    EXPECT_FALSE(fr->word("chien").has_value());
    const WordLevels levels = fr->levels();
    for (const auto& [word, level] :
         std::initializer_list<std::pair<const char*, int>>{{"Chat", 10},
                                                            {"eleve", 10},
                                                            {"élève", 9},
                                                            {"élevé", 8},
                                                            {"müll", 6},
                                                            {"mull", 6},
                                                            {"oeuvre", 3},
                                                            {"chien", 0}}) {
        EXPECT_EQ(levels.level(word), level) << word;
    }
}

TEST(RankingTest, DamagedCountModelsAreReadOrRefused) {
    const test::TempFolder folder;
    std::string huge = "\\1-grams:\n";
    for (int i = 0; i < 20000; ++i) huge += "1000000000000000 noir\n";
    struct Row {
        const char* what;
        std::string text;
        double noir;  // its log10; 1 for a file refused
    };
    for (const Row& row : std::initializer_list<Row>{
             {"empty", "", 1},
             {"no words", "\\data\\\nngram 1=1\n\\2-grams:\n5 noir noir\n", 1},
             {"markers only", "\\1-grams:\n1 <s>\n1 </s>\n", 1},
             {"junk lines",
              "\\1-grams:\nabc x\n-5 x\n0 x\n5 x y\n99999999999999999 x\n12\n\x01 x\n" +
                  std::string(300, 'x') + " x\n10 " + std::string(64, 'x') +
                  "\n10 noir\r\n5 x\x01y\n",
              0},
             {"pairs first, no end", "\\2-grams:\n5 noir noir\n\\1-grams:\n10 noir", 0},
             {"after the end", "\\1-grams:\n10 noir\n\\end\\\n10 x\n", 0},
             {"cut characters", "\\1-grams:\n10 noir\n10 \xC3\n10 x\xC5\n", std::log10(1.0 / 3)},
             {"huge counts", huge, std::log10(18446744073709551615.0 / 2e19)}}) {
        test::TempFolder::write("model.lm", row.text);
        const auto model = CountModel::read("model.lm", "fr");
        EXPECT_EQ(model.ok(), row.noir <= 0) << row.what;
        if (model && row.noir <= 0) {
            EXPECT_NEAR(*model.value()->word("noir"), row.noir, 1e-6) << row.what;
            EXPECT_FALSE(model.value()->word("x").has_value()) << row.what;
        }
    }
    for (const char* path : {"nothing.lm", "."}) EXPECT_FALSE(CountModel::read(path, "fr").ok());
    // Any cut or changed byte of a good model is read or refused, never more.
    const std::string good = test::TempFolder::read(testData("tiny.lm"));
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        std::string bad = good.substr(0, random() % (good.size() + 1));
        for (int n = 0; n < 4 && !bad.empty(); ++n)
            bad[random() % bad.size()] = static_cast<char>(random());
        test::TempFolder::write("model.lm", bad);
        if (const auto model = CountModel::read("model.lm", "de")) {
            for (const char* phrase : {"le chat noir", "\xC3", "m\xC3\xBCll"}) {
                EXPECT_LE(model.value()->phrase(split(phrase)), 0) << round;
            }
        }
    }
}

TEST(RankingTest, CountModelOfALanguage) {
    const test::TempFolder folder;
    for (const char* name : {"fr_CA.lm", "fr_FR.lm", "de_CH.lm", "de_AT.lm", "es.lm"}) {
        test::TempFolder::write(std::string("models/") + name, "");
    }
    test::TempFolder::write("models/it_IT.lm/x", "");
    for (const auto& [code, file] :
         std::initializer_list<std::pair<const char*, const char*>>{{"fr", "fr_FR.lm"},
                                                                    {"de", "de_AT.lm"},
                                                                    {"de_CH", "de_CH.lm"},
                                                                    {"es", ""},
                                                                    {"it", ""},
                                                                    {"FR", ""},
                                                                    {"../models/fr", ""},
                                                                    {"", ""}}) {
        const auto path = countModelOf("models", code);
        EXPECT_EQ(path ? path->filename().string() : "", file) << code;
    }
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
