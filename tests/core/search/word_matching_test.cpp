// One word against a FIND pattern and the INCLUDE, EXCLUDE and "use all" filters, the stoplist,
// the letters a match leaves over, and the fields' histories.
#include "core/search/word_matching.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/search/field_history.h"
#include "core/search/match_explanation.h"
#include "core/search/stoplist.h"
#include "core/shell/paths.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

using Texts = std::vector<std::string>;

TEST(WordMatchingTest, PatternTest) {
    // clang-format off
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"cat", "c?t", true}, {"Cat", "c?t", true}, {"cat", "CAT", true}, {"c", "c*", true},
        {"catalogue", "c*", true}, {"a", "*", true}, {"abcabc", "*bc", true}, {"axb", "a*?b", true},
        {"mississip", "m*ss*p", true}, {"aaa", "*a*a*a*", true}, {"t-shirt", "tshirt", true},
        {"t-shirt", "t*t", true}, {"t-shirt", "??????", true}, {"T-Shirt", "t*", true},
        {"cart", "c?t", false}, {"ct", "c?t", false}, {"cats", "cat", false}, {"dog", "c*", false},
        {"abcabd", "*bc", false}, {"ab", "a*?b", false}, {"mississip", "m*ss*s", false},
        {"aa", "*a*a*a*", false}, {"t-shirt", "t?shirt", false}, {"cat", "cat!", false},
        {"cat", "", false},
    };
    // clang-format on
    for (auto [word, pattern, matches] : cases)
        EXPECT_EQ(matchesPattern(word, pattern), matches) << word << " " << pattern;
}

TEST(WordMatchingTest, WordPatternsOfAFind) {
    const std::pair<const char*, std::vector<std::string_view>> cases[] = {
        {"c?t", {"c?t"}}, {"a  b *", {"a", "b", "*"}}, {"cat !", {"cat", "!"}}, {"", {}}};
    for (const auto& [find, expected] : cases) {
        std::string_view rest = find;
        std::vector<std::string_view> words;
        while (!rest.empty()) words.push_back(takeWordPattern(rest));
        EXPECT_EQ(words, expected) << find;
        EXPECT_EQ(wordPatternCount(find), static_cast<int>(expected.size())) << find;
    }
    EXPECT_EQ(fixedCount("c*t?*"), 3);
    EXPECT_TRUE(onlyStarWords("* * !"));
    EXPECT_FALSE(onlyStarWords("* c*"));
}

TEST(WordMatchingTest, LastWordMinLength) {
    const struct {
        const char* pattern;
        int available;
        bool hasFrom, useAll;
        int expected;
    } cases[] = {
        // clang-format off
        {"*", 3, true, true, 3}, {"*", 3, true, false, 0}, {"*", 20, true, true, 20},
        {"*", 21, true, true, kNothingCanMatch},  // 20 letters at most
        {"*", 0, true, true, kNothingCanMatch}, {"*", 0, false, true, 0},  // no FROM: no checks
        {"????", 3, true, false, kNothingCanMatch}, {"??", 3, true, true, kNothingCanMatch},
        {"???", 3, true, true, 3}, {"?*", 5, true, true, 5},
        {"*", 100, true, false, 0},  // an unlimited letter
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lastWordMinLength(c.pattern, c.available, c.hasFrom, c.useAll), c.expected)
            << c.pattern << " " << c.available << " " << c.hasFrom << " " << c.useAll;
    }
}

TEST(WordMatchingTest, UseAllIncludeAndExclude) {
    const struct {
        const char *word, *include, *exclude;
        bool useAll;
        int available;
        bool accepted;
    } cases[] = {
        // clang-format off
        {"tea", "ee", "", false, 0, false},  // repeated INCLUDE letters need repeats
        {"tee", "ee", "", false, 0, true},     {"banana", "aaaa", "", false, 0, false},
        {"Tea", "t", "", false, 0, true},      {"well-off", "-", "", false, 0, true},
        {"welloff", "-", "", false, 0, false}, {"well-off", "", "-", false, 0, false},
        {"Xray", "", "x", false, 0, false},    {"cat", "", "xyz", false, 0, true},
        {"cat", "", "", true, 3, true},        {"cats", "", "", true, 3, false},
        {"ca-t", "", "", true, 3, true},       {"cats", "", "", true, 0, true},
        {"cats", "", "", false, 3, true},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WordFilter(c.include, c.exclude, c.useAll, c.available).accepts(c.word),
                  c.accepted)
            << c.word << " +" << c.include << " -" << c.exclude << " " << c.useAll;
    }
}

// A stoplist is read as the make command reads a word list: CRT becomes the dictionary's Crt,
// a line that is no word is skipped, and a line of more than 23 characters comes in pieces.
TEST(WordMatchingTest, StoplistTakesItsWordsWithTheWordRules) {
    test::TempFolder folder;
    test::RecordingPresenter messages;
    test::TempFolder::write(
        "stop.txt",
        "CRT\r\n  Ln  \nwell-to-do\nabcdefghijklmnopqrstu\nco-op\ncrt\nCRT\n\nit's\n"
        "abcdefghijklmnopqrstuvwxyz\nzebra");
    const Texts words = {"Crt", "Ln", "co-op", "crt", "xyz", "zebra"};
    EXPECT_EQ(readStoplistWords("stop.txt"), words);
    const Stoplist stoplist = Stoplist::read("stop.txt");
    for (const std::string& word : words) EXPECT_TRUE(stoplist.contains(word)) << word;
    for (const char* word : {"CRT", "ln", "coop", "", "zebras"})
        EXPECT_FALSE(stoplist.contains(word)) << word;
    EXPECT_EQ(stoplistWord(" APPLE ") + "|" + stoplistWord("apple pie"), "Apple|");
    // Written back one a line, it reads the same; missing or empty, it strikes nothing.
    ASSERT_TRUE(writeStoplistWords("copy.txt", words));
    EXPECT_EQ(test::TempFolder::read("copy.txt"), "Crt\nLn\nco-op\ncrt\nxyz\nzebra\n");
    EXPECT_EQ(Stoplist::read("copy.txt").fingerprint(), stoplist.fingerprint());
    EXPECT_NE(Stoplist(Texts{"Crt"}).fingerprint(), stoplist.fingerprint());
    EXPECT_EQ(Stoplist::read("missing.txt").fingerprint(), 0u);
    EXPECT_EQ(messages.count(), 0u);
    // A folder in its place cannot be read: that is said, and nothing is struck.
    std::filesystem::create_directory("folder.txt");
    EXPECT_TRUE(Stoplist::read("folder.txt").empty());
    ASSERT_EQ(messages.count(), 1u);
    EXPECT_EQ(messages.last().text, "Unable to Open File: " + shownPath("folder.txt"));
}

// What a match left over, worked out by hand: each letter uses its own FROM copy before a blank.
TEST(WordMatchingTest, ExplainNamesTheLettersLeftAndWhatBlanksStoodFor) {
    const struct {
        const char *find, *from;
        bool useAll;
        const char *match, *left, *blanks;
    } cases[] = {
        // clang-format off
        {"*", "cattle", false, "cat", "elt", ""}, {"*", "ca?t?", false, "tact", "?", "t"},
        {"*", "tea?rs", false, "test", "ar", "t"}, {"*", "ab?", true, "cab", "", "c"},
        {"*", "??", false, "At", "", "at"},
        {"*", "TAc", false, "tat", "AcT", ""},  // letters typed in capitals never run out
        {"*", "TAc?", true, "tact", "", "t"},   // ... unless all letters are to be used
        {"!", "acat?", true, "a a cat", "", "a"}, {"* *", "catdog??", false, "cat dog", "??", ""},
        {"* *", "coopt", false, "Co-op t", "", ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        const MatchExplanation explanation =
            explainMatch(c.match, searchedFromLetters(c.find, c.from, c.useAll));
        EXPECT_EQ(explanation.left + "|" + explanation.blanks, std::string(c.left) + "|" + c.blanks)
            << c.match << " from " << c.from;
    }
}

// Ten distinct texts, the most recent first; a start records the fields that are not empty.
TEST(WordMatchingTest, FieldHistories) {
    FieldHistory history;
    for (int i = 0; i < 11; ++i) EXPECT_TRUE(history.push(std::to_string(i)));  // 0 drops out
    EXPECT_TRUE(history.push("5"));  // an existing text moves to the top
    EXPECT_FALSE(history.push(""));
    EXPECT_EQ(history.entries(), (Texts{"5", "10", "9", "8", "7", "6", "4", "3", "2", "1"}));
    EXPECT_TRUE(history.push("CAT"));
    EXPECT_TRUE(history.push("cat"));  // case counts
    EXPECT_EQ(std::pair(history.indexOf("CAT"), history.indexOf("0")), std::pair(1, -1));
    SearchHistories histories;
    histories.find.push("*");
    histories.update({"c?t", "", "a", "", true, false});
    histories.update({"*", "tac", "", "", true, false});
    EXPECT_EQ(std::tuple(histories.find.entries(), histories.from.entries(),
                         histories.include.entries(), histories.exclude.size()),
              std::tuple(Texts{"*", "c?t"}, Texts{"tac"}, Texts{"a"}, 0u));
}

}  // namespace
}  // namespace zantric
