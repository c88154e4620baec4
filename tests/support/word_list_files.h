// Shared by the sort, session and maintenance tests: the program's folder (tests/support),
// dictionaries written in word order, generated word lists, files of sort records and the files
// left behind.
#pragma once

#include <random>

#include "core/shell/paths.h"
#include "core/sort/sort_record.h"
#include "support/dictionary_files.h"

namespace zantric::test {

class MaintenanceTest : public ProgramFolderTest {
protected:
    // The words, put in dictionary order first, as the dictionary file `name`.
    static void writeDictionary(const std::string& name, const Words& words) {
        test::writeDictionary(name, inWordOrder(words));
    }
    // The file's bytes without the Created time, which differs from one writing to the next.
    static std::string bytesWithoutCreated(const std::string& name) {
        std::string bytes = TempFolder::read(name);
        return bytes.size() < kDataOffset ? bytes : bytes.replace(kHeaderOffset, 4, 4, '\0');
    }
};

// Words of 1 to 20 letters in random order, some capitalised, some hyphenated, about one in
// eight a repeat of an earlier one.
inline Words generateWords(std::size_t count, unsigned seed = 7) {
    std::mt19937 random(seed);
    Words words;
    while (words.size() < count) {
        if (!words.empty() && random() % 8 == 0) {
            words.push_back(words[random() % words.size()]);
            continue;
        }
        std::string word(1 + random() % kMaxWordLetters, 'a');
        for (char& c : word) c = static_cast<char>('a' + random() % 26);
        if (random() % 5 == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
        if (word.size() > 1 && random() % 10 == 0)
            word.insert(1 + random() % (word.size() - 1), "-");
        words.push_back(word);
    }
    return words;
}

inline std::string recordsOf(const Words& words) {
    std::string bytes(words.size() * kSortRecordLength, '\0');
    for (std::size_t i = 0; i < words.size(); ++i)
        makeSortRecord(words[i], reinterpret_cast<unsigned char*>(&bytes[i * kSortRecordLength]));
    return bytes;
}

// The records of a file in byte order, to compare contents whatever the records' order.
inline Words recordSet(const std::string& bytes) {
    Words records;
    for (std::size_t at = 0; at < bytes.size(); at += kSortRecordLength)
        records.push_back(bytes.substr(at, kSortRecordLength));
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
