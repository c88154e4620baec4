// Sort records and the file sort: the record's layout and order, run file names, and a file of
// any size sorted into dictionary order in place.
#include "core/maintenance/file_sort.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/maintenance/run_file_name.h"
#include "maintenance_test_support.h"

namespace zantric {
namespace {

using test::TempFolder;

TEST(SortRecord, LayoutOrderAndDamage) {
    unsigned char a[kSortRecordLength], b[kSortRecordLength];
    ASSERT_TRUE(makeSortRecord("ab-c", a));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(a), kSortRecordLength),
              "\x91" + std::string(17, ' ') + std::string("ab-c\0", 5));
    // clang-format off
    const struct {
        const char* first;
        const char* second;
        bool equal;
    } cases[] = {{"Bob", "bob", false}, {"abc", "ab-c", false}, {"zz", "aaa", false},
                 {"bat", "Cat", false}, {"abcdefghi", "abcd-efghi", false},
                 {"abcdefghijklmnopqrst", "abcdefghij-klmnopqrst", false},
                 {"abcdefghijklmnopqrs", "abcdefghij-klmnopqrst", false}, {"ab-cd", "abc-d", true}};
    // clang-format on
    for (const auto& c : cases) {
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
    std::string names;  // run files count in lower-case hexadecimal
    for (unsigned i : {1, 9, 10, 15, 16, 17, 255}) names += runFileName("run", i) + " ";
    EXPECT_EQ(names, "run.1 run.9 run.a run.f run.10 run.11 run.ff ");
}

class FileSortTest : public test::MaintenanceTest {};

TEST_F(FileSortTest, SortsIntoDictionaryOrder) {
    for (const auto& [records, blocks] :
         {std::pair{0u, 0u}, {1u, 1u}, {3000u, 1u}, {3001u, 2u}, {4500u, 2u}, {15001u, 6u}}) {
        SCOPED_TRACE(records);
        const std::string original = test::recordsOf(test::generateWords(records));
        TempFolder::write("temp/run", original);
        {
            FileSort sort(".\\temp\\run", kSortRecordLength, compareSortRecords, nullptr);
            EXPECT_EQ(sort.blockCount(), blocks);
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
    // Damaged records are only reordered.
    std::mt19937 random(1);
    std::string bytes(7000 * kSortRecordLength, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() % 4 == 0 ? '-' : random());
    TempFolder::write("temp/run", bytes);
    FileSort(".\\temp\\run", kSortRecordLength, compareSortRecords, nullptr).sort();
    EXPECT_EQ(test::recordSet(TempFolder::read("temp/run")), test::recordSet(bytes));
}

}  // namespace
}  // namespace zantric
