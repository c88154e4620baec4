// Shared by the sort and merge tests: a folder set up as the program's folder (temporary and
// dictionaries folders, configuration read from it, messages recorded), generated word lists
// and files of sort records.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/maintenance/sort_record.h"
#include "core/shell/settings.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric::test {

class ProgramFolderTest : public ::testing::Test {
protected:
    ProgramFolderTest() {
        std::filesystem::create_directory("temp");
        std::filesystem::create_directory("lexicons");
        Settings::resetForTests();
    }
    static std::vector<std::string> filesIn(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder m_folder;
    RecordingPresenter m_messages;
};

// Words of 1 to 20 letters in random order, some capitalised, some hyphenated, about one in
// eight a repeat of an earlier one.
inline std::vector<std::string> generateWords(std::size_t count, unsigned seed = 7) {
    std::mt19937 random(seed);
    std::vector<std::string> words;
    while (words.size() < count) {
        if (!words.empty() && random() % 8 == 0) {
            words.push_back(words[random() % words.size()]);
            continue;
        }
        std::string word(1 + random() % kMaxWordLetters, 'a');
        for (char& c : word) c = static_cast<char>('a' + random() % 26);
        if (random() % 5 == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
        if (word.size() > 1 && random() % 10 == 0) {
            word.insert(1 + random() % (word.size() - 1), "-");
        }
        words.push_back(word);
    }
    return words;
}

inline std::string recordsOf(const std::vector<std::string>& words) {
    std::string bytes(words.size() * kSortRecordLength, '\0');
    for (std::size_t i = 0; i < words.size(); ++i) {
        makeSortRecord(words[i], reinterpret_cast<unsigned char*>(&bytes[i * kSortRecordLength]));
    }
    return bytes;
}

// The records of a file in byte order, to compare contents whatever the records' order.
inline std::vector<std::string> recordSet(const std::string& bytes) {
    std::vector<std::string> records;
    for (std::size_t at = 0; at < bytes.size(); at += kSortRecordLength) {
        records.push_back(bytes.substr(at, kSortRecordLength));
    }
    std::sort(records.begin(), records.end());
    return records;
}

// `sorted` holds the records of `original`, each next to its neighbour in record order.
inline void expectSortedPermutation(const std::string& original, const std::string& sorted) {
    EXPECT_EQ(recordSet(original), recordSet(sorted));
    for (std::size_t at = kSortRecordLength; at + kSortRecordLength <= sorted.size();
         at += kSortRecordLength) {
        const auto* record = reinterpret_cast<const unsigned char*>(sorted.data() + at);
        ASSERT_LE(compareSortRecords(record - kSortRecordLength, record), 0) << at;
    }
}

}  // namespace zantric::test
