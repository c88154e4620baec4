// The dictionary file as the writer lays it out, byte for byte, and read back by the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"
#include "core/shell/zantric_exception.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes readAll(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes writeDictionary(const std::vector<std::string>& words, const std::string& name = "t.lex") {
    DictionaryWriter writer(name);
    for (const auto& w : words) writer.addWord(w);
    EXPECT_TRUE(writer.close());
    return readAll(name);
}

std::uint32_t entry(const Bytes& file, int length, char letter) {
    return readU32(file.data() + 4 * indexEntry(length, letter));
}

Bytes data(const Bytes& file) { return Bytes(file.begin() + kDataOffset, file.end()); }

std::vector<std::string> readAllWords(const std::string& name, bool memory,
                                      const char* pattern = "*",
                                      const LetterPool* letters = nullptr, int minLength = 0) {
    DictionaryReader dictionary(name, memory, 5120);
    std::vector<std::string> words;
    char word[kOutWordSize];
    for (int r = dictionary.nextMatch(word, pattern, letters, minLength); r == kMatchFound;
         r = dictionary.nextMatch(word, nullptr)) {
        words.emplace_back(word);
    }
    return words;
}

TEST(DictionaryFile, EmptyDictionary) {
    test::TempFolder folder;
    const Bytes file = writeDictionary({});
    ASSERT_EQ(file.size(), 2096u);
    for (int i = 0; i < kIndexEntries; ++i) ASSERT_EQ(readU32(file.data() + 4 * i), 2096u);
    const auto header = DictionaryHeader::fromBytes(file.data() + kHeaderOffset);
    EXPECT_EQ(header.wordCount, 0u);
    EXPECT_EQ(header.modified, 0u);
    EXPECT_EQ(header.mark, 0x59B1);
    EXPECT_EQ(header.selected, 0);
    EXPECT_EQ(file[2092], 0xB1);
    EXPECT_EQ(file[2093], 0x59);

    createEmptyFile("empty.lex");
    Bytes made = readAll("empty.lex");
    ASSERT_EQ(made.size(), 2096u);
    std::fill(made.begin() + 2080, made.begin() + 2084, 0);
    Bytes expected = file;
    std::fill(expected.begin() + 2080, expected.begin() + 2084, 0);
    EXPECT_EQ(made, expected);
}

TEST(DictionaryFile, SingleWordA) {
    test::TempFolder folder;
    const Bytes file = writeDictionary({"a"});
    EXPECT_EQ(data(file), (Bytes{0, 225}));
    for (int i = 0; i < kIndexEntries; ++i) {
        EXPECT_EQ(readU32(file.data() + 4 * i), i == 0 ? 2096u : 2098u) << i;
    }
    EXPECT_EQ(DictionaryHeader::fromBytes(file.data() + kHeaderOffset).wordCount, 1u);
}

TEST(DictionaryFile, CatAndDog) {
    test::TempFolder folder;
    const Bytes file = writeDictionary({"cat", "dog"});
    EXPECT_EQ(data(file), (Bytes{254, 254, 0, 189, 244, 0, 228, 118}));
    ASSERT_EQ(file.size(), 2104u);
    for (char x = 'a'; x <= 'z'; ++x) {
        EXPECT_EQ(entry(file, 1, x), 2096u) << x;
        EXPECT_EQ(entry(file, 2, x), 2097u) << x;
        const std::uint32_t third = x <= 'c' ? 2098u : x == 'd' ? 2101u : 2104u;
        EXPECT_EQ(entry(file, 3, x), third) << x;
    }
    for (int length = 4; length <= 20; ++length) {
        for (char x = 'a'; x <= 'z'; ++x) EXPECT_EQ(entry(file, length, x), 2104u);
    }
}

TEST(DictionaryFile, IndexOfATwelveLetterWord) {
    test::TempFolder folder;
    const Bytes file = writeDictionary({"cat", "conservation"});
    ASSERT_EQ(file.size(), 2118u);
    for (int length = 4; length <= 20; ++length) {
        for (char x = 'a'; x <= 'z'; ++x) {
            // Each empty group's entries point at the 254 that ends it.
            const std::uint32_t expected = length < 12                ? 2098u + length
                                           : length == 12 && x <= 'c' ? 2110u
                                                                      : 2118u;
            EXPECT_EQ(entry(file, length, x), expected) << length << x;
        }
    }
    EXPECT_EQ(readAllWords("t.lex", true), (std::vector<std::string>{"cat", "conservation"}));
}

TEST(DictionaryFile, RecordHeads) {
    test::TempFolder folder;
    struct Case {
        std::vector<std::string> words;
        Bytes data;
    };
    const Case cases[] = {
        // The hyphenated twin shares all three letters and has no code bytes.
        {{"abc", "ab-c"}, {254, 254, 0, 10, 227, 13, 2}},
        // A duplicate is stored once.
        {{"apple", "apple"}, {254, 254, 254, 254, 0, 17, 240, 64}},
        // After a capitalised word nothing is shared; the capital flag is bit 1.
        {{"Apple", "apple"}, {254, 254, 254, 254, 2, 17, 240, 64, 0, 17, 240, 64}},
        // A new block starts with P = 0.
        {{"bat", "bot", "cat"}, {254, 254, 0, 226, 7, 4, 112, 0, 189, 244}},
        // Long words: nine empty groups between the 3-letter and the 12-letter word.
        {{"cat", "conservation"},
         {254, 254, 0,  189, 244, 254, 254, 254, 254, 254, 254, 254, 254, 254,  //
          0,   194, 92, 27,  246, 7,   47,  238}},
        // 10, 15 and 20 letters; the twin shares all twenty letters (head 81, hyphen at 7), and
        // the word after it shares only the seven letters before that hyphen (head 28).
        {{"strawberry", "nationalization", "counterrevolutionary", "counter-revolutionary",
          "counterrevolutionist"},
         {254, 254, 254, 254, 254, 254, 254, 254, 254,                                //
          0,   175, 126, 247, 226, 27,  146, 254, 254, 254, 254, 254,                 //
          0,   84,  149, 109, 3,   233, 250, 7,   47,  238, 254, 254, 254, 254, 254,  //
          0,   194, 245, 91,  27,  127, 246, 108, 245, 149, 109, 6,   249, 81,  7,    //
          28,  127, 246, 108, 245, 149, 109, 50,  244}},
    };
    for (const auto& c : cases) {
        const Bytes file = writeDictionary(c.words);
        EXPECT_EQ(data(file), c.data) << c.words[0] << " " << c.words[1];
    }
    EXPECT_EQ(
        DictionaryHeader::fromBytes(writeDictionary({"apple", "apple"}).data() + 2080).wordCount,
        1u);
}

TEST(DictionaryFile, RejectsWordsItCannotStore) {
    test::TempFolder folder;
    DictionaryWriter writer("t.lex");
    for (const char* bad : {"", "abcdefghijklmnopqrstu", "abcdefghij-klmnopqrstu", "ab1", "a b",
                            "-", "caf\xc3\xa9"}) {
        EXPECT_FALSE(writer.addWord(bad)) << bad;
    }
    EXPECT_TRUE(writer.addWord("abcdefghi"));
    EXPECT_TRUE(writer.addWord("abcd-efghi"));
    EXPECT_TRUE(writer.addWord("abcdefghijklmnopqrst"));
    EXPECT_TRUE(writer.addWord("abcdefghij-klmnopqrst"));
    writer.close();
    EXPECT_EQ(readAllWords("t.lex", false),
              (std::vector<std::string>{"abcdefghi", "abcd-efghi", "abcdefghijklmnopqrst",
                                        "abcdefghij-klmnopqrst"}));
}

TEST(DictionaryFile, UnopenableFileThrowsAndReports) {
    test::TempFolder folder;
    test::RecordingPresenter recorder;
    EXPECT_THROW(DictionaryWriter("no/such/folder/t.lex"), ZantricException);
    EXPECT_THROW(DictionaryReader("missing.lex", false, 1024), ZantricException);
    ASSERT_EQ(recorder.count(), 1u);
    EXPECT_EQ(recorder.last().text,
              "Unable to open Dictionary: " + (folder.path() / "missing.lex").string());
    EXPECT_EQ(recorder.last().title, "File Error");
    EXPECT_EQ(DictionaryReader::instanceCount(), 0);
}

TEST(WordOrder, CompareWords) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"cat", "at", 1},       {"ab-c", "abcd", -1},  {"abc", "ab-c", -1}, {"ab-c", "abc", 1},
        {"Apple", "apple", -1}, {"apple", "Apple", 1}, {"Bat", "ape", 1},   {"ape", "Bat", -1},
        {"Paris", "parse", -1}, {"cat", "cat", 0},     {"Cat", "Cat", 0},   {"Cab", "Cat", -1},
        {"a-b", "ab", 1},       {"zed", "Zed", 1},
    };
    for (const auto& c : cases) {
        const int r = compareWords(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
}

}  // namespace
}  // namespace zantric
