// A dictionary held in memory is walked over its records decoded once, not over its bytes. Every
// walk a search makes must deliver what reading the file's bytes delivers: the same words, the
// same letters left over after each, the same result and the same Checked figure; for readers
// that share the image, and for damaged files too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/dictionary/dictionary_reader.h"
#include "support/dictionary_files.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

using test::inWordOrder;
using test::Words;
using test::writeDictionary;

struct Step {
    std::string word;
    std::string rest;  // the letters left over, when there is a filter
    bool operator==(const Step&) const = default;
};
struct Walk {
    std::vector<Step> steps;
    int result = -1;
    std::uint32_t checked = 0;
    bool operator==(const Walk&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Walk& walk) {
    out << walk.steps.size() << " words, result " << walk.result << ", checked " << walk.checked;
    for (std::size_t i = 0; i < walk.steps.size() && i < 12; ++i) {
        out << " " << walk.steps[i].word << "[" << walk.steps[i].rest << "]";
    }
    return out;
}

std::string describe(const LetterPool& letters) {
    std::string text;
    for (int i = 0; i < LetterPool::kSlots; ++i) text += std::to_string(letters.working(i)) + ",";
    return text + std::to_string(letters.workingTotal()) + "," +
           std::to_string(letters.workingVowels());
}

Walk walk(DictionaryReader& d, const char* pattern, const LetterPool* letters, int minLength,
          char startLetter) {
    Walk w;
    // The only reader starts the count again at a new pattern.
    const std::uint32_t before =
        DictionaryReader::instanceCount() == 1 ? 0 : DictionaryReader::checked();
    char word[kOutWordSize];
    int r = d.nextMatch(word, pattern, letters, minLength, startLetter);
    for (; r == kMatchFound; r = d.nextMatch(word, nullptr)) {
        w.steps.push_back({word, d.letters() ? describe(*d.letters()) : ""});
    }
    w.result = r;
    w.checked = DictionaryReader::checked() - before;
    return w;
}

// Words of every length up to 20 with capitals, hyphens, gaps between first letters and no
// 6-letter word.
Words mixedWords() {
    Words words = {"a",       "I",       "at",       "ax",      "be",      "Al",        "cat",
                   "cot",     "cut",     "Cat",      "dog",     "god",     "act",       "ab-c",
                   "abc",     "tea",     "eat",      "ate",     "sea",     "zoo",       "cart",
                   "cats",    "coat",    "scat",     "east",    "seat",    "teas",      "rats",
                   "star",    "tsar",    "Paris",    "paris",   "pairs",   "stare",     "tears",
                   "rates",   "aster",   "well-off", "tastier", "artiste", "strainers", "retains",
                   "nastier", "stainer", "zzz"};
    for (const char* w :
         {"conservation", "Conversation", "counter-revolutionary", "counterrevolutionary"}) {
        words.push_back(w);
    }
    std::mt19937 random(11);
    const std::string letters = "aeinorstcldz";
    for (int i = 0; i < 400; ++i) {
        std::string w(1 + random() % kMaxWordLetters, 'a');
        if (w.size() == 6) w.push_back('a');
        for (auto& c : w) c = letters[random() % letters.size()];
        if (random() % 8 == 0) w[0] = static_cast<char>(w[0] - 'a' + 'A');
        if (w.size() > 2 && random() % 10 == 0) w.insert(1 + random() % (w.size() - 1), "-");
        words.push_back(w);
    }
    return words;
}

// The valid words of the system word list, when it is installed.
Words systemWords() {
    std::ifstream in("/usr/share/dict/words");
    Words words;
    std::string line;
    while (std::getline(in, line)) {
        bool ok = !line.empty() && line.size() <= kMaxWordLetters;
        for (std::size_t i = 0; ok && i < line.size(); ++i) {
            const char c = line[i];
            ok = (c >= 'a' && c <= 'z') || (i == 0 && c >= 'A' && c <= 'Z');
        }
        if (ok) words.push_back(line);
    }
    return words;
}

struct Case {
    const char* pattern;
    const char* from;  // nullptr: no letters
    int minLength;
    char startLetter;
};

// The walks of single-word searches (patterns), of the subset analysis ("*" with the FROM
// letters) and of the levels of a phrase search ("*" with what is left, a minimum length and a
// start letter), with blanks, unlimited letters and letters that spell nothing.
std::vector<Case> cases() {
    std::vector<Case> all;
    for (const char* from : {static_cast<const char*>(nullptr), "schoolmaster", "tea?rs", "Retains",
                             "??", "xq", "aeinorstcld"}) {
        for (const char* pattern : {"*", "c?t", "?at", "c*t", "*a*", "s*s", "????", "*ing", "a*e*",
                                    "Paris", "ta*", "?\?-?"}) {
            for (int minLength : {0, 3}) {
                for (char start : {'\0', 'c', 'q', 'z'}) {
                    all.push_back({pattern, from, minLength, start});
                }
            }
        }
    }
    return all;
}

// Each case on the first reader of the image, on a reader that shares it, and then once more
// with "*" and no letters, which keeps the letters given before.
void expectSameWalks(const std::string& name, const std::vector<Case>& walks) {
    for (const Case& c : walks) {
        SCOPED_TRACE(testing::Message() << c.pattern << " from " << (c.from ? c.from : "-")
                                        << " min " << c.minLength << " start " << +c.startLetter);
        const LetterPool letters(c.from ? c.from : "");
        const LetterPool* filter = c.from ? &letters : nullptr;
        Walk bytes[2];
        {
            DictionaryReader file(name, false, 1024);
            bytes[0] = walk(file, c.pattern, filter, c.minLength, c.startLetter);
            bytes[1] = walk(file, "*", nullptr, 2, 0);
        }
        {
            DictionaryReader first(name, true, 1024);
            EXPECT_EQ(walk(first, c.pattern, filter, c.minLength, c.startLetter), bytes[0]);
            EXPECT_EQ(walk(first, "*", nullptr, 2, 0), bytes[1]);
            DictionaryReader shared(name, true, 1024);
            EXPECT_EQ(walk(shared, c.pattern, filter, c.minLength, c.startLetter), bytes[0]);
        }
    }
}

TEST(DecodedWalk, SameAsTheBytesForEveryKindOfWalk) {
    test::TempFolder folder;
    writeDictionary("mixed.lex", inWordOrder(mixedWords()));
    expectSameWalks("mixed.lex", cases());
}

TEST(DecodedWalk, SameAsTheBytesOverTheSystemWordList) {
    Words words = systemWords();
    if (words.empty()) GTEST_SKIP() << "no system word list";
    test::TempFolder folder;
    writeDictionary("english.lex", inWordOrder(std::move(words)));
    expectSameWalks("english.lex", {{"*", "schoolmaster", 0, 0},
                                    {"*", "clinteastwood", 4, 'h'},
                                    {"*", "ab?de??", 0, 0},
                                    {"*", "soolms", 2, 'm'},
                                    {"c*t", "tacos?", 0, 0},
                                    {"?????", "retains", 0, 0}});
}

// A damaged file gives wrong words, but the same ones either way: every single-byte change of a
// small dictionary's records and header, and of the low byte of each index entry a reader uses.
// A byte 255 ends the data held in memory but not the file, so such changes are left out.
TEST(DecodedWalk, DamagedFilesGiveTheSameWordsEitherWay) {
    test::TempFolder folder;
    test::RecordingPresenter quiet;
    writeDictionary("good.lex",
                    inWordOrder({"a", "at", "Bat", "ab-c", "cat", "cot", "cots", "zoo", "strainers",
                                 "well-off", "conservation", "counter-revolutionary"}));
    std::string good = test::TempFolder::read("good.lex");
    std::fill(good.begin() + kHeaderOffset, good.begin() + kHeaderOffset + 4, '\0');  // Created
    const std::vector<Case> walks = {{"*", nullptr, 0, 0},
                                     {"*", "taco?", 0, 0},
                                     {"*", "cotsat", 3, 'c'},
                                     {"c?t", "tacos", 0, 0}};
    for (std::size_t at = 0; at < good.size(); ++at) {
        if (at < kHeaderOffset && (at % 4 != 0 || at >= 4 * 26 * kMaxWordLetters)) continue;
        for (unsigned char flip : {0x01, 0x80, 0xFE}) {
            std::string bytes = good;
            bytes[at] = static_cast<char>(bytes[at] ^ flip);
            if (bytes.find('\xFF') != std::string::npos) continue;
            SCOPED_TRACE(testing::Message() << "byte " << at << " ^ " << int(flip));
            test::TempFolder::write("bad.lex", bytes);
            expectSameWalks("bad.lex", walks);
            if (HasFailure()) return;
        }
    }
}

}  // namespace
}  // namespace zantric
