// The reader's walk: which words a pattern, a minimum length and a letters filter deliver, and
// how many records it decodes on the way (the Checked figure).
#include "core/dictionary/dictionary_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/dictionary/word_order.h"
#include "support/dictionary_files.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

using test::Words;
using test::writeDictionary;

Words collect(DictionaryReader& d, const char* pattern, const LetterPool* letters = nullptr,
              int minLength = 0, char startLetter = 0, int* result = nullptr) {
    Words words;
    char word[kOutWordSize];
    int r = d.nextMatch(word, pattern, letters, minLength, startLetter);
    for (; r == kMatchFound; r = d.nextMatch(word, nullptr)) words.emplace_back(word);
    if (result) *result = r;
    return words;
}

const Words kSmall = {"a",   "at",   "bat",  "cat",  "cot",  "cut",
                      "dog", "cart", "cats", "coat", "comet"};

TEST(DictionaryReader, PatternsAndCheckedCounts) {
    test::TempFolder folder;
    writeDictionary("small.lex", kSmall);
    const LetterPool tca("tca");
    const struct {
        const char* pattern;
        const LetterPool* letters;
        int minLength;
        Words words;
        std::uint32_t checked;
    } cases[] = {
        {"*", nullptr, 0, kSmall, 11},
        {"c?t", nullptr, 0, {"cat", "cot", "cut"}, 5},
        {"?at", nullptr, 0, {"bat", "cat"}, 6},
        {"c*t", nullptr, 0, {"cat", "cot", "cut", "cart", "coat", "comet"}, 9},
        {"*a*", nullptr, 0, {"a", "at", "bat", "cat", "cart", "cats", "coat"}, 11},
        {"*", nullptr, 4, {"cart", "cats", "coat", "comet"}, 4},
        {"*", &tca, 0, {"a", "at", "cat"}, 8},
        {"cat", nullptr, 0, {"cat"}, 5},
        {"abcdefghij", nullptr, 0, {}, 0},
        {"*", nullptr, 10, {}, 0},
    };
    for (bool memory : {false, true}) {
        for (const auto& c : cases) {
            DictionaryReader d("small.lex", memory, 1024);
            int result = -1;
            EXPECT_EQ(collect(d, c.pattern, c.letters, c.minLength, 0, &result), c.words)
                << c.pattern << " memory " << memory;
            EXPECT_EQ(result, kNoMoreWords);
            EXPECT_EQ(DictionaryReader::checked(), c.checked) << c.pattern << " memory " << memory;
        }
    }
    DictionaryReader d("small.lex", false, 1024);
    char word[kOutWordSize];
    EXPECT_EQ(d.nextMatch(word, ""), kEmptyPattern);
}

// Long words among short ones: the walks jump over the empty groups between them.
TEST(DictionaryReader, LongWordsInFileAndMemory) {
    test::TempFolder folder;
    Words all = {"a", "at", "cat", "cot", "strawberry", "conservation", "conversation"};
    all.insert(all.end(), {"nationalization", "counterrevolutionary", "counter-revolutionary"});
    writeDictionary("long.lex", all);
    const LetterPool conversation("conversation");
    const LetterPool blanks("????????????????????");
    const struct {
        const char* pattern;
        const LetterPool* letters;
        int minLength;
        Words words;
        std::uint32_t checked;
    } cases[] = {
        {"*", nullptr, 0, all, 10},
        {"c*n", nullptr, 0, {"conservation", "conversation"}, 8},
        {"*ation", nullptr, 0, {"conservation", "conversation", "nationalization"}, 6},
        {"????????????????????", nullptr, 0, {"counterrevolutionary", "counter-revolutionary"}, 2},
        {"?????????????????????", nullptr, 0, {}, 0},
        {"c???????????????????", nullptr, 0, {"counterrevolutionary", "counter-revolutionary"}, 2},
        {"*",
         nullptr,
         12,
         {"conservation", "conversation", "nationalization", "counterrevolutionary",
          "counter-revolutionary"},
         5},
        {"*", nullptr, 21, {}, 0},
        {"*", &conversation, 0, {"a", "at", "cat", "cot", "conservation", "conversation"}, 8},
        {"*", &blanks, 13, {"nationalization", "counterrevolutionary", "counter-revolutionary"}, 3},
    };
    for (bool memory : {false, true}) {
        for (const auto& c : cases) {
            DictionaryReader d("long.lex", memory, 1024);
            EXPECT_EQ(collect(d, c.pattern, c.letters, c.minLength), c.words)
                << c.pattern << " memory " << memory;
            EXPECT_EQ(DictionaryReader::checked(), c.checked) << c.pattern << " memory " << memory;
        }
    }
}

TEST(DictionaryReader, CapitalsAndHyphensComeBack) {
    test::TempFolder folder;
    writeDictionary("mixed.lex", {"abc", "ab-c", "Paris", "paris", "parse", "well-off"});
    DictionaryReader d("mixed.lex", false, 1024);
    EXPECT_EQ(collect(d, "*"), (Words{"abc", "ab-c", "Paris", "paris", "parse", "well-off"}));
    EXPECT_EQ(collect(d, "paris"), (Words{"Paris", "paris"}));
    EXPECT_EQ(collect(d, "Paris"), (Words{"Paris", "paris"}));
    EXPECT_EQ(collect(d, "*f"), (Words{"well-off"}));
}

TEST(DictionaryReader, LettersFilterLeavesTheRestForTheNextWord) {
    test::TempFolder folder;
    writeDictionary("small.lex", kSmall);
    DictionaryReader d("small.lex", true, 1024);
    const LetterPool letters("tacos?");
    char word[kOutWordSize];
    ASSERT_EQ(d.nextMatch(word, "c?t", &letters), kMatchFound);
    EXPECT_STREQ(word, "cat");
    const LetterPool rest = d.letters()->remaining();
    EXPECT_EQ(rest.total(), 3);
    EXPECT_EQ(rest.countOf('o'), 1);
    EXPECT_EQ(rest.countOf('s'), 1);
    EXPECT_EQ(rest.countOf('?'), 1);
    EXPECT_EQ(rest.countOf('c'), 0);
    ASSERT_EQ(d.nextMatch(word, nullptr), kMatchFound);
    EXPECT_STREQ(word, "cot");
    ASSERT_EQ(d.nextMatch(word, nullptr), kMatchFound);
    EXPECT_STREQ(word, "cut");  // the blank stands for u
}

TEST(DictionaryReader, MemoryModeSharesTheFirstReadersImage) {
    test::TempFolder folder;
    writeDictionary("small.lex", kSmall);
    DictionaryReader first("small.lex", true, 1024);
    DictionaryReader second("not-there.lex", false, 1024);  // reads the image, opens nothing
    EXPECT_EQ(collect(second, "c?t"), (Words{"cat", "cot", "cut"}));
}

TEST(DictionaryReader, SixteenthReaderAndCancel) {
    test::TempFolder folder;
    writeDictionary("small.lex", kSmall);
    {
        std::vector<std::unique_ptr<DictionaryReader>> readers;
        for (int i = 0; i < 15; ++i)
            readers.push_back(std::make_unique<DictionaryReader>("small.lex", false, 1024));
        DictionaryReader extra("small.lex", false, 1024);
        EXPECT_EQ(DictionaryReader::instanceCount(), 16);
        char word[kOutWordSize];
        EXPECT_EQ(extra.nextMatch(word, "*"), kNoMoreWords);
        EXPECT_EQ(extra.nextMatch(word, nullptr), kNoMoreWords);
        EXPECT_EQ(extra.nextMatch(word, "*"), kNoMoreWords);
        EXPECT_EQ(readers[3]->nextMatch(word, "*"), kMatchFound);
    }
    EXPECT_EQ(DictionaryReader::instanceCount(), 0);
    {
        DictionaryReader d("small.lex", false, 1024);
        char word[kOutWordSize];
        ASSERT_EQ(d.nextMatch(word, "*"), kMatchFound);
        DictionaryReader::setCancel();
        EXPECT_EQ(d.nextMatch(word, nullptr), kMatchCancelled);
        DictionaryReader other("small.lex", false, 1024);
        EXPECT_EQ(other.nextMatch(word, "*"), kMatchCancelled);
    }
    DictionaryReader fresh("small.lex", false, 1024);  // the first reader clears the flag
    EXPECT_EQ(collect(fresh, "*").size(), kSmall.size());
}

// Valid words of the system word list: 1 to 20 letters a-z, a capital first letter allowed,
// at most one hyphen that is neither first nor last.
Words systemWords() {
    std::ifstream in("/usr/share/dict/words");
    Words words;
    std::string line;
    while (std::getline(in, line)) {
        int hyphens = 0;
        bool ok = !line.empty();
        for (std::size_t i = 0; ok && i < line.size(); ++i) {
            const char c = line[i];
            if (c == '-')
                ok = ++hyphens == 1 && i > 0 && i + 1 < line.size();
            else
                ok = (c >= 'a' && c <= 'z') || (i == 0 && c >= 'A' && c <= 'Z');
        }
        if (ok && letterCount(line.c_str()) <= kMaxWordLetters) words.push_back(line);
    }
    std::sort(words.begin(), words.end(),
              [](const auto& a, const auto& b) { return compareWords(a.c_str(), b.c_str()) < 0; });
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

TEST(DictionaryReader, SystemWordListRoundTrip) {
    const Words words = systemWords();
    if (words.empty()) GTEST_SKIP() << "no system word list";
    test::TempFolder folder;
    writeDictionary("english.lex", words);
    DictionaryReader d("english.lex", false, 5120);
    EXPECT_EQ(collect(d, "*"), words);
    EXPECT_EQ(DictionaryReader::checked(), words.size());
}

// A damaged file may give wrong words, but never a crash or a read outside the buffers (the
// sanitizer build checks the latter), and never an endless walk.
TEST(DictionaryReader, DamagedFilesNeverCrash) {
    test::TempFolder folder;
    test::RecordingPresenter quiet;
    writeDictionary("good.lex", {"a", "at", "Bat", "cat", "ab-c", "cots", "strainers", "zoo"});
    std::ifstream in("good.lex", std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const LetterPool letters("taco?");
    auto walk = [&](const std::string& bytes) {
        test::TempFolder::write("bad.lex", bytes);
        for (bool memory : {false, true}) {
            for (const char* pattern : {"*", "c?t", "a*t*"}) {
                DictionaryReader d("bad.lex", memory, 1024);
                collect(d, pattern, nullptr);
                collect(d, pattern, &letters, 2);
            }
        }
    };
    for (std::size_t cut = 0; cut <= good.size(); ++cut) walk(good.substr(0, cut));
    std::mt19937 random(7);
    for (int i = 0; i < 150; ++i) {
        std::string bytes = good;
        for (int k = 0; k < 8; ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
        walk(bytes);
        std::string junk(random() % 2400, '\0');
        for (auto& c : junk) c = static_cast<char>(random());
        walk(junk);
    }
}

}  // namespace
}  // namespace zantric
