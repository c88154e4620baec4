#include "core/search/word_matching.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace zantric {
namespace {

TEST(WordMatchingTest, PatternTest) {
    struct Case {
        const char* word;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"cat", "c?t", true},
        {"cot", "c?t", true},
        {"Cat", "c?t", true},
        {"cart", "c?t", false},
        {"ct", "c?t", false},
        {"cat", "cat", true},
        {"cats", "cat", false},
        {"c", "c*", true},
        {"catalogue", "c*", true},
        {"dog", "c*", false},
        {"a", "*", true},
        {"abcabc", "*bc", true},
        {"abcabd", "*bc", false},
        {"ab", "a*?b", false},
        {"axb", "a*?b", true},
        {"mississip", "m*ss*p", true},
        {"mississip", "m*ss*s", false},
        {"aaa", "*a*a*a*", true},
        {"aa", "*a*a*a*", false},
        {"t-shirt", "tshirt", true},
        {"t-shirt", "t?shirt", false},
        {"t-shirt", "t*t", true},
        {"t-shirt", "??????", true},
        {"T-Shirt", "t*", true},
        {"cat", "cat!", false},
        {"cat", "", false},
        {"cat", "CAT", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(matchesPattern(c.word, c.pattern), c.matches) << c.word << " / " << c.pattern;
    }
}

TEST(WordMatchingTest, WordPatternsOfAFind) {
    struct Case {
        const char* find;
        std::vector<std::string_view> words;
    };
    const Case cases[] = {
        {"c?t", {"c?t"}},
        {"a  b *", {"a", "b", "*"}},
        {"cat !", {"cat", "!"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::string_view rest = c.find;
        std::vector<std::string_view> words;
        while (!rest.empty()) words.push_back(takeWordPattern(rest));
        EXPECT_EQ(words, c.words) << c.find;
        EXPECT_EQ(wordPatternCount(c.find), static_cast<int>(c.words.size())) << c.find;
    }
    EXPECT_EQ(fixedCount("c*t?*"), 3);
    EXPECT_TRUE(onlyStarWords("* * !"));
    EXPECT_TRUE(onlyStarWords(""));
    EXPECT_FALSE(onlyStarWords("* c*"));
}

TEST(WordMatchingTest, LastWordMinLength) {
    struct Case {
        const char* pattern;
        int available;
        bool hasFrom;
        bool useAll;
        int expected;
    };
    const Case cases[] = {
        {"*", 3, true, true, 3},
        {"*", 3, true, false, 0},
        {"*", 10, true, true, kNothingCanMatch},  // no word has ten letters
        {"*", 0, true, true, kNothingCanMatch},
        {"*", 0, false, true, 0},  // no FROM: no letter checks
        {"c?t", 2, false, false, 0},
        {"????", 3, true, false, kNothingCanMatch},  // more fixed letters than available
        {"??", 3, true, true, kNothingCanMatch},     // cannot use all three
        {"???", 3, true, true, 3},
        {"?*", 5, true, true, 5},
        {"*", 100, true, false, 0},  // an unlimited letter
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lastWordMinLength(c.pattern, c.available, c.hasFrom, c.useAll), c.expected)
            << c.pattern << " " << c.available << " " << c.hasFrom << " " << c.useAll;
    }
}

TEST(WordMatchingTest, UseAllIncludeAndExclude) {
    struct Case {
        const char* word;
        const char* include;
        const char* exclude;
        bool useAll;
        int available;
        bool accepted;
    };
    const Case cases[] = {
        {"tea", "ee", "", false, 0, false},  // repeated INCLUDE letters need repeats
        {"tee", "ee", "", false, 0, true},
        {"banana", "naan", "", false, 0, true},
        {"banana", "aaaa", "", false, 0, false},
        {"Tea", "t", "", false, 0, true},  // the word is lower-cased
        {"well-off", "-", "", false, 0, true},
        {"welloff", "-", "", false, 0, false},
        {"well-off", "", "-", false, 0, false},
        {"Xray", "", "x", false, 0, false},
        {"cat", "", "xyz", false, 0, true},
        {"cat", "", "", true, 3, true},
        {"cats", "", "", true, 3, false},
        {"ca-t", "", "", true, 3, true},  // the hyphen is not a letter
        {"cats", "", "", true, 0, true},  // no letters available: no length demand
        {"cats", "", "", false, 3, true},
    };
    for (const Case& c : cases) {
        WordFilter filter(c.include, c.exclude, c.useAll, c.available);
        EXPECT_EQ(filter.accepts(c.word), c.accepted)
            << c.word << " +" << c.include << " -" << c.exclude << " " << c.useAll;
    }
}

}  // namespace
}  // namespace zantric
