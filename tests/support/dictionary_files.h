// Test helper: dictionary files written from word lists and read back word by word, for every
// test that needs a dictionary on disk.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"

namespace zantric::test {

using Words = std::vector<std::string>;

// Writes the words, in the order given, as the dictionary file `path`.
inline void writeDictionary(const std::string& path, const Words& words) {
    DictionaryWriter writer(path);
    for (const std::string& word : words) writer.addWord(word);
    ASSERT_TRUE(writer.close()) << path;
}

// The words in dictionary order, each once.
inline Words inWordOrder(Words words) {
    std::stable_sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        return compareWords(a.c_str(), b.c_str()) < 0;
    });
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

// Every word of a dictionary file, in file order.
inline Words wordsOf(const std::string& path) {
    Words words;
    DictionaryReader reader(path, false, 4096);
    char word[kOutWordSize];
    for (int r = reader.nextMatch(word, "*"); r == kMatchFound;
         r = reader.nextMatch(word, nullptr)) {
        words.push_back(word);
    }
    return words;
}

}  // namespace zantric::test
