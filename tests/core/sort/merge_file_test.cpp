// Sort records and the file sort of any size; the merge of sorted runs and of dictionaries, five
// inputs a step: the output, the records written (the progress figure), and what cancel and
// failure leave.
#include "core/sort/merge_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>

#include "core/shell/zantric_exception.h"
#include "core/sort/dictionary_merge_handler.h"
#include "core/sort/file_sort.h"
#include "core/sort/merge_estimate.h"
#include "core/sort/run_file_name.h"
#include "core/sort/string_handler.h"
#include "support/word_list_files.h"

namespace zantric {
namespace {

using test::TempFolder;
using test::Words;

constexpr const char* kRunPattern = "./temp/$$tmp{{{.*";

// A handler that calls `stop` (a cancel) when it has written a given number of records.
template <class H>
struct CancelAfter : H {
    using H::H;
    static inline long writesLeft = 0;
    static inline std::function<void()> stop;
    void writeCurrent(typename H::Output& output) {
        H::writeCurrent(output);
        if (--writesLeft == 0) stop();
    }
};

class MergeFileTest : public test::MaintenanceTest {
protected:
    // `emptyRuns` empty runs, then the words in sorted runs of 3000; returns the runs' names.
    static Words writeSortedRuns(const Words& words, int emptyRuns = 0) {
        Words names;
        for (std::size_t first = 0, i = 0; first < words.size() || i < std::size_t(emptyRuns);
             ++i) {
            const std::size_t last =
                i < std::size_t(emptyRuns) ? first : std::min(first + 3000, words.size());
            names.push_back(runFileName("$$tmp{{{.", names.size() + 1));
            TempFolder::write("temp/" + names.back(),
                              test::recordsOf({words.begin() + first, words.begin() + last}));
            FileSort("./temp/" + names.back(), kSortRecordLength, compareSortRecords, nullptr)
                .sort();
            first = last;
        }
        return names;
    }
    // Sorted words without hyphens, so that no two compare equal.
    static Words distinctWords(std::size_t count, unsigned seed) {
        std::set<std::string> unique;
        for (const std::string& word : test::generateWords(count * 2, seed)) {
            if (unique.size() < count && word.find('-') == std::string::npos) unique.insert(word);
        }
        return test::inWordOrder({unique.begin(), unique.end()});
    }
};

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

TEST_F(MergeFileTest, FileSortSortsIntoDictionaryOrder) {
    for (const auto& [records, blocks] :
         {std::pair{0u, 0u}, {1u, 1u}, {3000u, 1u}, {3001u, 2u}, {4500u, 2u}, {15001u, 6u}}) {
        SCOPED_TRACE(records);
        const std::string original = test::recordsOf(test::generateWords(records));
        TempFolder::write("temp/run", original);
        {
            FileSort sort("./temp/run", kSortRecordLength, compareSortRecords, nullptr);
            EXPECT_EQ(sort.blockCount(), blocks);
            sort.sort();
        }
        const std::string sorted = TempFolder::read("temp/run");
        test::expectSortedPermutation(original, sorted);
        // A sorted file: the first pass moves nothing and is the last (progress stays 0).
        std::atomic<long> progress{-1};
        FileSort("./temp/run", kSortRecordLength, compareSortRecords, &progress).sort();
        EXPECT_EQ(progress.load(), 0);
        EXPECT_EQ(TempFolder::read("temp/run"), sorted);
    }
    // Damaged records are only reordered.
    std::mt19937 random(1);
    std::string bytes(7000 * kSortRecordLength, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() % 4 == 0 ? '-' : random());
    TempFolder::write("temp/run", bytes);
    FileSort("./temp/run", kSortRecordLength, compareSortRecords, nullptr).sort();
    EXPECT_EQ(test::recordSet(TempFolder::read("temp/run")), test::recordSet(bytes));
}

TEST_F(MergeFileTest, MergesSortedRunsIntoOneSortedFile) {
    struct Case {
        std::size_t words;
        int emptyRuns;
        long written;  // records the merge writes in all its steps
    };
    // clang-format off
    const Case cases[] = {
        {1, 0, 0}, {3000, 0, 0},  // one run is moved to the output as it is
        {3001, 0, 3001},          // one step
        {15001, 0, 30001},        // six runs: five, then the sixth with the first result
        {3000, 5, 3000},          // the first step merges five empty runs into an empty file
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        const Words words = test::generateWords(c.words, 11);
        Words runs = writeSortedRuns(words, c.emptyRuns);
        std::atomic<long> written{-1};
        EXPECT_TRUE(
            MergeFile<StringHandler>(settings(), kRunPattern, "./temp/sorted", &written).merge());
        EXPECT_EQ(written.load(), c.written);
        EXPECT_TRUE(c.emptyRuns > 0 || runs.size() == 1 ||
                    runMergeEstimate(static_cast<long>(c.words)) == c.written);
        test::expectSortedPermutation(test::recordsOf(words), TempFolder::read("temp/sorted"));
        // No intermediate file is left; the runs are their owner's, unless one became the output.
        if (runs.size() == 1) runs.clear();
        runs.push_back("sorted");
        std::sort(runs.begin(), runs.end());
        EXPECT_EQ(filesIn("temp"), runs);
        deleteMatching("./temp/*");
    }
    EXPECT_EQ(mergeRecordEstimate(std::vector<long>(6, 3000)), 15000 + 18000);
}

TEST_F(MergeFileTest, CancelOrFailureLeavesOnlyTheInputs) {
    using Strings = CancelAfter<StringHandler>;
    const Words runs = writeSortedRuns(test::generateWords(15001, 3));
    for (long after : {1L, 10L, 15000L, 15010L}) {  // first step, second step, its tail copy
        SCOPED_TRACE(after);
        {
            MergeFile<Strings> merge(settings(), kRunPattern, "./temp/sorted", nullptr);
            Strings::writesLeft = after;
            Strings::stop = [&merge] { merge.cancel(); };
            EXPECT_FALSE(merge.merge());
        }
        EXPECT_EQ(filesIn("temp"), runs);  // the runs are the caller's to delete
    }
    using Dictionaries = CancelAfter<DictionaryMergeHandler>;
    test::writeDictionary("./lexicons/a.lex", distinctWords(300, 1));
    test::writeDictionary("./lexicons/b.lex", distinctWords(300, 2));
    Dictionaries::writesLeft = 100;
    ReadControl reads;
    Dictionaries::stop = [&reads] { reads.setCancel(); };  // the readers' own cancel
    const Words inputs{"./lexicons/a.lex", "./lexicons/b.lex"};
    {
        MergeFile<Dictionaries> dictionaries(settings(), inputs, "./lexicons/c.lex", nullptr);
        dictionaries.makeHandlersWith([&reads](const std::string& in, const std::string& out) {
            return std::make_unique<Dictionaries>(in, out, &reads);
        });
        EXPECT_FALSE(dictionaries.merge());
    }
    EXPECT_EQ(reads.readerCount(), 0);
    EXPECT_EQ(filesIn("lexicons"), (Words{"a.lex", "b.lex"}));
    const Words missing{runs[0], runs[1], "missing"};
    EXPECT_THROW(MergeFile<StringHandler>(settings(), missing, "sorted", nullptr).merge(),
                 ZantricException);
    EXPECT_EQ(filesIn("temp"), runs);
}

}  // namespace
}  // namespace zantric
