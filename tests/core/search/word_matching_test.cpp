#include "core/search/word_matching.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>
#include <vector>

#include "core/search/match_explanation.h"
#include "core/search/stoplist.h"
#include "core/shell/paths.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

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
        {"*", 20, true, true, 20},
        {"*", 21, true, true, kNothingCanMatch},  // no word has 21 letters
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

// A stoplist is read as the make command reads a word list: CRT becomes the dictionary's Crt,
// a line that is no word is skipped, and a line of more than 23 characters comes in pieces.
TEST(WordMatchingTest, StoplistTakesItsWordsWithTheWordRules) {
    test::TempFolder folder;
    test::RecordingPresenter messages;
    test::TempFolder::write(
        "stop.txt",
        "CRT\r\n  Ln  \nwell-to-do\nabcdefghijklmnopqrstu\nco-op\ncrt\nCRT\n\nit's\n"
        "abcdefghijklmnopqrstuvwxyz\nzebra");
    const std::vector<std::string> words = {"Crt", "Ln", "co-op", "crt", "xyz", "zebra"};
    EXPECT_EQ(readStoplistWords("stop.txt"), words);
    const Stoplist stoplist = Stoplist::read("stop.txt");
    for (const char* word : {"Crt", "crt", "Ln", "co-op", "xyz", "zebra"}) {
        EXPECT_TRUE(stoplist.contains(word)) << word;
    }
    for (const char* word : {"CRT", "ln", "coop", "abcdefghi", "", "zebras"}) {
        EXPECT_FALSE(stoplist.contains(word)) << word;
    }
    EXPECT_EQ(stoplistWord(" APPLE "), "Apple");
    EXPECT_EQ(stoplistWord("apple pie"), "");

    // Written back one a line, it reads the same; missing or empty, it strikes nothing.
    ASSERT_TRUE(writeStoplistWords("copy.txt", words));
    EXPECT_EQ(test::TempFolder::read("copy.txt"), "Crt\nLn\nco-op\ncrt\nxyz\nzebra\n");
    EXPECT_EQ(Stoplist::read("copy.txt").fingerprint(), stoplist.fingerprint());
    EXPECT_NE(Stoplist(std::vector<std::string>{"Crt"}).fingerprint(), stoplist.fingerprint());
    EXPECT_TRUE(Stoplist::read("missing.txt").empty());
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
    struct Case {
        const char* find;
        const char* from;
        bool useAll;
        const char* match;
        const char* left;
        const char* blanks;
    };
    const Case cases[] = {
        {"*", "cattle", false, "cat", "elt", ""},
        {"*", "ca?t?", false, "tact", "?", "t"},
        {"*", "tea?rs", false, "test", "ar", "t"},
        {"*", "ab?", true, "cab", "", "c"},
        {"*", "??", false, "At", "", "at"},
        {"*", "TAc", false, "tat", "AcT", ""},  // letters typed in capitals never run out
        {"*", "TAc?", true, "tact", "", "t"},   // ... unless all letters are to be used
        {"!", "acat?", true, "a a cat", "", "a"},
        {"* *", "catdog??", false, "cat dog", "??", ""},
        {"* *", "coopt", false, "Co-op t", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.match << " from " << c.from);
        const MatchExplanation explanation =
            explainMatch(c.match, searchedFromLetters(c.find, c.from, c.useAll));
        EXPECT_EQ(explanation.left, c.left);
        EXPECT_EQ(explanation.blanks, c.blanks);
    }
}

}  // namespace
}  // namespace zantric
