// The letters a search may use: counts from typed text (a capital or a hundred copies make a
// letter unlimited, '?' is a blank) and a word tried against them. Letters reserved for FIND
// words: the phrase search tests.
#include "core/dictionary/letter_pool.h"

#include <gtest/gtest.h>

namespace zantric {
namespace {

TEST(LetterPoolTest, AddingText) {
    const struct {
        std::string text;
        const char* counts;  // letter and count pairs that must hold; '*' is 100
        int total, vowels;
    } cases[] = {
        // clang-format off
        {"tea?", "t1e1a1?1", 4, 3}, {"Tea", "t*T*e1a1", 100, 2}, {"a b-1!", "a1b1", 2, 1},
        {"AaA", "a*", 100, 3}, {"yY?", "y*?1", 100, 3}, {"", "a0?0", 0, 0},
        {std::string(100, 'b'), "b*", 100, 0}, {std::string(130, 'b') + "cc", "b*c2", 100, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const LetterPool letters(c.text);
        for (const char* p = c.counts; *p != '\0'; p += 2)
            EXPECT_EQ(letters.countOf(p[0]), p[1] == '*' ? 100 : p[1] - '0') << p[0];
        EXPECT_EQ(std::pair(letters.total(), letters.vowels()), std::pair(c.total, c.vowels));
    }
}

TEST(LetterPoolTest, TryWord) {
    const struct {
        const char *letters, *word;
        int result, workingTotal, workingVowels;  // the working counts after a fit
        const char* left;                         // the letters left over; nullptr: not compared
    } cases[] = {
        // clang-format off
        {"Tea", "tat ", 0, 100, 1, "Te"}, {"Tea", "tee ", 3, 0, 0, ""},
        {"ab?", "cab ", 0, 0, 1, nullptr},  // the blank stands in for c, which is no vowel
        {"ab?", "ccab ", 2, 0, 0, ""},      // the second c finds neither a c nor a blank
        {"abc", "dab ", 1, 0, 0, ""},       // first letter missing, no blanks
        {"b?", "ba ", 0, 0, 0, ""},         // a vowel taken by the blank
        {"aab", "ab ", 0, 1, 1, "a"},       // a letter uses its own copy before a blank
        {"aab", " ", 0, 3, 2, "aab"}, {"bbbbbbbbbbbb", "bbbbbbbbb ", 0, 3, 0, "bbb"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.letters) + " / " + c.word);
        LetterPool letters(c.letters);
        ASSERT_EQ(letters.tryWord(c.word, ' '), c.result);
        if (c.result != 0) continue;
        const LetterPool left = letters.remaining();
        EXPECT_EQ(std::tuple(letters.workingTotal(), letters.workingVowels(), left.vowels()),
                  std::tuple(c.workingTotal, c.workingVowels, c.workingVowels));
        EXPECT_TRUE(!c.left || left.equals(LetterPool(c.left)));
        LetterPool into("zzz");
        letters.remainingInto(into);
        EXPECT_TRUE(into.equals(left));
    }
}

}  // namespace
}  // namespace zantric
