#include "core/maintenance/file_sort.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/maintenance/run_file_name.h"
#include "core/maintenance/sort_record.h"
#include "sort_test_support.h"

namespace zantric {
namespace {

using test::TempFolder;

TEST(SortRecord, LayoutOrderAndDamage) {
    unsigned char a[kSortRecordLength], b[kSortRecordLength];
    ASSERT_TRUE(makeSortRecord("ab-c", a));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(a), kSortRecordLength),
              "\x91" + std::string(17, ' ') + std::string("ab-c\0", 5));

    struct Case {
        const char* first;
        const char* second;
        bool equal;
    };
    const Case cases[] = {{"Bob", "bob", false},
                          {"abc", "ab-c", false},
                          {"zz", "aaa", false},
                          {"bat", "Cat", false},
                          {"abcdefghi", "abcd-efghi", false},
                          {"abcdefghijklmnopqrst", "abcdefghij-klmnopqrst", false},
                          {"abcdefghijklmnopqrs", "abcdefghij-klmnopqrst", false},
                          {"ab-cd", "abc-d", true}};
    for (const Case& c : cases) {
        makeSortRecord(c.first, a);
        makeSortRecord(c.second, b);
        EXPECT_EQ(compareSortRecords(a, b) < 0, !c.equal) << c.first << " " << c.second;
        EXPECT_EQ(compareSortRecords(b, a) > 0, !c.equal) << c.first << " " << c.second;
    }

    // A pad count past the word places and no zero byte: the word stays inside the record.
    std::memset(a, 'x', sizeof a);
    char word[kSortWordPlaces + 1];
    EXPECT_EQ(sortRecordWord(a, word), 0);
    a[0] = 3;
    EXPECT_EQ(std::string(word, sortRecordWord(a, word)), std::string(kSortWordPlaces - 3, 'x'));
}

TEST(RunFileName, CountsInLowerCaseHexadecimal) {
    std::string names;
    for (int i = 1; i <= 17; ++i) names += runFileName("$$tmp{{{.", unsigned(i)).substr(9) + " ";
    EXPECT_EQ(names, "1 2 3 4 5 6 7 8 9 a b c d e f 10 11 ");
    EXPECT_EQ(runFileName("run", 255), "run.ff");
}

class FileSortTest : public test::ProgramFolderTest {};

TEST_F(FileSortTest, SortsIntoDictionaryOrder) {
    struct Case {
        std::size_t records;
        unsigned blocks;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {3000, 1}, {3001, 2}, {4500, 2}, {15001, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.records);
        const std::string original = test::recordsOf(test::generateWords(c.records));
        TempFolder::write("temp/run", original);
        {
            FileSort sort(".\\temp\\run", kSortRecordLength, compareSortRecords, nullptr);
            EXPECT_EQ(sort.blockCount(), c.blocks);
            sort.sort();
        }
        const std::string sorted = TempFolder::read("temp/run");
        test::expectSortedPermutation(original, sorted);

        // A sorted file: the first pass moves nothing and is the last (progress stays 0).
        std::atomic<long> progress{-1};
        FileSort(".\\temp\\run", kSortRecordLength, compareSortRecords, &progress).sort();
        EXPECT_EQ(progress.load(), 0);
        EXPECT_EQ(TempFolder::read("temp/run"), sorted);
    }
}

TEST_F(FileSortTest, DamagedRecordsAreOnlyReordered) {
    std::mt19937 random(1);
    std::string bytes(7000 * kSortRecordLength, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() % 4 == 0 ? '-' : random());
    TempFolder::write("temp/run", bytes);
    FileSort(".\\temp\\run", kSortRecordLength, compareSortRecords, nullptr).sort();
    EXPECT_EQ(test::recordSet(TempFolder::read("temp/run")), test::recordSet(bytes));
}

}  // namespace
}  // namespace zantric
