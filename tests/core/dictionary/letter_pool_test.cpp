#include "core/dictionary/letter_pool.h"

#include <gtest/gtest.h>

#include <string>

namespace zantric {
namespace {

int at(char c) { return c == '?' ? LetterPool::kBlank : c - 'a'; }

TEST(LetterPoolTest, AddingText) {
    struct Case {
        const char* text;
        const char* counts;  // letter=count pairs that must hold, e.g. "t1e1?1"
        int total;
        int vowels;
    };
    const Case cases[] = {
        {"tea?", "t1e1a1?1", 4, 3}, {"Tea", "e1a1", 100, 2},
        {"a b-1!", "a1b1", 2, 1},  // other characters are ignored
        {"AaA", "", 100, 3},       // vowels count every vowel typed
        {"yY?", "", 100, 3},        {"", "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LetterPool letters(c.text);
        for (const char* p = c.counts; *p != '\0'; p += 2) {
            EXPECT_EQ(letters.countOf(p[0]), p[1] - '0') << p[0];
        }
        EXPECT_EQ(letters.total(), c.total);
        EXPECT_EQ(letters.vowels(), c.vowels);
    }
    LetterPool upper("Tea");
    EXPECT_EQ(upper.countOf('t'), 100);
    EXPECT_EQ(upper.countOf('T'), 100);
}

TEST(LetterPoolTest, HundredCopiesBecomeUnlimited) {
    LetterPool letters(std::string(100, 'b'));
    EXPECT_EQ(letters.countOf('b'), 100);
    EXPECT_EQ(letters.total(), 100);
    letters.addText(std::string(30, 'b') + "cc");
    EXPECT_EQ(letters.countOf('b'), 100);
    EXPECT_EQ(letters.countOf('c'), 2);
    EXPECT_EQ(letters.total(), 100);
    EXPECT_EQ(letters.tryWord("bbbbbbbbb ", ' '), 0);
    EXPECT_EQ(letters.workingTotal(), 100);
}

TEST(LetterPoolTest, TryWord) {
    struct Case {
        const char* letters;
        const char* word;
        int result;
        int workingTotal;  // after a fit
        int workingVowels;
    };
    const Case cases[] = {
        {"Tea", "tat ", 0, 100, 1}, {"Tea", "tee ", 3, 0, 0},
        {"ab?", "cab ", 0, 0, 1},   // the blank stands in for c, which is no vowel
        {"ab?", "ccab ", 2, 0, 0},  // the second c finds neither a c nor a blank
        {"abc", "dab ", 1, 0, 0},   // first letter missing, no blanks
        {"b?", "ba ", 0, 0, 0},     // a vowel taken by the blank
        {"aab", "ab ", 0, 1, 1},    // a letter uses its own copy before a blank
        {"aab", " ", 0, 3, 2},      // the empty word
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.letters) + " / " + c.word);
        LetterPool letters(c.letters);
        ASSERT_EQ(letters.tryWord(c.word, ' '), c.result);
        if (c.result != 0) continue;
        EXPECT_EQ(letters.workingTotal(), c.workingTotal);
        EXPECT_EQ(letters.workingVowels(), c.workingVowels);
        LetterPool left = letters.remaining();
        EXPECT_EQ(left.total(), c.workingTotal);
        EXPECT_EQ(left.vowels(), c.workingVowels);
        LetterPool into("zzz");
        letters.remainingInto(into);
        EXPECT_TRUE(into.equals(left));
    }
    LetterPool abq("ab?");
    ASSERT_EQ(abq.tryWord("cab ", ' '), 0);
    LetterPool left = abq.remaining();
    for (char c : std::string("abc?")) EXPECT_EQ(left.countOf(c), 0) << c;
}

TEST(LetterPoolTest, Equality) {
    EXPECT_TRUE(LetterPool("abc").equals(LetterPool("cab")));
    EXPECT_TRUE(LetterPool("a b c").equals(LetterPool("cab")));
    EXPECT_FALSE(LetterPool("abc").equals(LetterPool("abC")));
    EXPECT_FALSE(LetterPool("abc").equals(LetterPool("abc?")));
    EXPECT_FALSE(LetterPool("abc").equals(LetterPool("abd")));
    LetterPool reserved("abc");
    reserved.reserve("a");
    EXPECT_FALSE(reserved.equals(LetterPool("abc")));
}

TEST(LetterPoolTest, ReserveAndRelease) {
    LetterPool letters("cattle");
    letters.reserve("cat");
    EXPECT_EQ(letters.total(), 3);
    EXPECT_EQ(letters.vowels(), 1);  // e is left
    EXPECT_TRUE(letters.equals(LetterPool("tle")));
    for (char c : std::string("cat")) EXPECT_EQ(letters.reserved(at(c)), 1) << c;

    letters.release("c?t");
    EXPECT_EQ(letters.total(), 5);
    EXPECT_EQ(letters.reserved(at('c')), 0);
    EXPECT_EQ(letters.reserved(at('t')), 0);
    EXPECT_EQ(letters.reserved(at('a')), 1);
    EXPECT_TRUE(letters.equals(LetterPool("cttle")));

    // Only letters with an available copy are reserved; '?' never is.
    LetterPool ab("ab?");
    ab.reserve("xa?A");
    EXPECT_EQ(ab.reserved(at('a')), 1);
    EXPECT_EQ(ab.reserved(at('?')), 0);
    EXPECT_EQ(ab.total(), 2);
    ab.release("aa");  // only what was reserved comes back
    EXPECT_TRUE(ab.equals(LetterPool("ab?")));

    // An unlimited letter is lowered by reserving and restored by releasing.
    LetterPool unlimited("Tea");
    unlimited.reserve("t");
    EXPECT_EQ(unlimited.countOf('t'), 99);
    EXPECT_EQ(unlimited.total(), 100);
    unlimited.release("t");
    EXPECT_TRUE(unlimited.equals(LetterPool("Tea")));

    // The reserve travels with the letters a word leaves over.
    LetterPool phrase("catdog");
    phrase.reserve("d");
    ASSERT_EQ(phrase.tryWord("cat ", ' '), 0);
    LetterPool left = phrase.remaining();
    EXPECT_EQ(left.reserved(at('d')), 1);
    left.release("d");
    EXPECT_TRUE(left.equals(LetterPool("dog")));
}

TEST(LetterPoolTest, CopiesAndSetText) {
    LetterPool original("cattle");
    original.reserve("c");
    LetterPool copy(original);
    EXPECT_TRUE(copy.equals(original));
    EXPECT_EQ(copy.reserved(at('c')), 1);
    LetterPool assigned;
    assigned = original;
    EXPECT_EQ(assigned.reserved(at('c')), 1);
    assigned.setText("dog");
    EXPECT_TRUE(assigned.equals(LetterPool("dog")));
    EXPECT_EQ(assigned.reserved(at('c')), 0);
    assigned.setText("");
    EXPECT_TRUE(assigned.equals(LetterPool()));
}

}  // namespace
}  // namespace zantric
