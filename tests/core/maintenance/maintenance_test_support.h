// Shared by the make and merge tests: a program folder with a fresh catalogue, dictionaries
// written and read back word by word, and the bytes and files to compare.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dictionary/compress_dictionary.h"
#include "core/dictionary/dictionary.h"
#include "core/dictionary/dictionary_names.h"
#include "core/dictionary/word_order.h"
#include "core/shell/paths.h"
#include "sort_test_support.h"

namespace zantric::test {

class MaintenanceTest : public ProgramFolderTest {
protected:
    MaintenanceTest() { DictionaryNames::resetForTests(); }
    ~MaintenanceTest() override { DictionaryNames::resetForTests(); }

    static void writeDictionary(const std::string& name, std::vector<std::string> words) {
        sortWords(words);
        CompressDictionary writer(name);
        for (const std::string& word : words) writer.addWord(word);
        ASSERT_TRUE(writer.close());
    }

    // Every word of a dictionary file, in file order.
    static std::vector<std::string> wordsOf(const std::string& name) {
        std::vector<std::string> words;
        Dictionary reader(name, false, 4096);
        char word[kOutWordSize];
        for (int r = reader.nextMatch(word, "*"); r == kMatchFound;
             r = reader.nextMatch(word, nullptr)) {
            words.push_back(word);
        }
        return words;
    }

    // In the word order, each once.
    static void sortWords(std::vector<std::string>& words) {
        std::stable_sort(words.begin(), words.end(),
                         [](const std::string& a, const std::string& b) {
                             return compareWords(a.c_str(), b.c_str()) < 0;
                         });
        words.erase(std::unique(words.begin(), words.end()), words.end());
    }

    // The file's bytes without the Created time, which differs from one writing to the next.
    static std::string bytesWithoutCreated(const std::string& name) {
        std::string bytes = TempFolder::read(nativePath(name));
        if (bytes.size() >= kHeaderOffset + 4) bytes.replace(kHeaderOffset, 4, 4, '\0');
        return bytes;
    }

    // Files left in the temporary folder, folders made by a test excepted.
    static std::vector<std::string> tempFiles() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator("temp")) {
            if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
        }
        return names;
    }

    DictionaryNames& catalogue() { return DictionaryNames::instance(); }
};

}  // namespace zantric::test
