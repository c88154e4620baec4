// The dictionary file as the writer lays it out, byte for byte, and read back by the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "core/dictionary/compress_dictionary.h"
#include "core/dictionary/dictionary.h"
#include "core/dictionary/dictionary_format.h"
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
    CompressDictionary writer(name);
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
                                      const SrcLetters* letters = nullptr, int minLength = 0) {
    Dictionary dictionary(name, memory, 5120);
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
    };
    for (const auto& c : cases) {
        const Bytes file = writeDictionary(c.words);
        EXPECT_EQ(data(file), c.data) << c.words[0] << " " << c.words[1];
    }
    EXPECT_EQ(DictionaryHeader::fromBytes(writeDictionary({"apple", "apple"}).data() + 2080).wordCount,
              1u);
}

TEST(DictionaryFile, RejectsWordsItCannotStore) {
    test::TempFolder folder;
    CompressDictionary writer("t.lex");
    for (const char* bad : {"", "abcdefghij", "ab1", "a b", "-", "caf\xc3\xa9"}) {
        EXPECT_FALSE(writer.addWord(bad)) << bad;
    }
    EXPECT_TRUE(writer.addWord("abcdefghi"));
    EXPECT_TRUE(writer.addWord("abcd-efghi"));
    writer.close();
    EXPECT_EQ(readAllWords("t.lex", false), (std::vector<std::string>{"abcdefghi", "abcd-efghi"}));
}

TEST(DictionaryFile, UnopenableFileThrowsAndReports) {
    test::TempFolder folder;
    test::RecordingPresenter recorder;
    EXPECT_THROW(CompressDictionary("no/such/folder/t.lex"), ZantricException);
    EXPECT_THROW(Dictionary("missing.lex", false, 1024), ZantricException);
    ASSERT_EQ(recorder.count(), 1u);
    EXPECT_EQ(recorder.last().text,
              "Unable to open Dictionary: " + (folder.path() / "missing.lex").string());
    EXPECT_EQ(recorder.last().title, "File Error");
    EXPECT_EQ(Dictionary::instanceCount(), 0);
}

TEST(WordOrder, CompareWords) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"cat", "at", 1},      {"ab-c", "abcd", -1}, {"abc", "ab-c", -1}, {"ab-c", "abc", 1},
        {"Apple", "apple", -1}, {"apple", "Apple", 1}, {"Bat", "ape", 1},     {"ape", "Bat", -1},
        {"Paris", "parse", -1}, {"cat", "cat", 0},     {"Cat", "Cat", 0},   {"Cab", "Cat", -1},
        {"a-b", "ab", 1},      {"zed", "Zed", 1},
    };
    for (const auto& c : cases) {
        const int r = compareWords(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
}

}  // namespace
}  // namespace zantric
