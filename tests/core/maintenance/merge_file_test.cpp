#include "core/maintenance/merge_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <set>

#include "core/maintenance/dictionary_merge_handler.h"
#include "core/maintenance/file_sort.h"
#include "core/maintenance/merge_estimate.h"
#include "core/maintenance/run_file_name.h"
#include "core/maintenance/string_handler.h"
#include "core/shell/zantric_exception.h"
#include "sort_test_support.h"
#include "support/dictionary_files.h"

namespace zantric {
namespace {

using test::TempFolder;
using test::writeDictionary;

constexpr const char* kRunPattern = ".\\temp\\$$tmp{{{.*";

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

class MergeFileTest : public test::ProgramFolderTest {
protected:
    // `emptyRuns` empty runs, then the words in sorted runs of 3000; returns the runs' names.
    static std::vector<std::string> writeSortedRuns(const std::vector<std::string>& words,
                                                    int emptyRuns = 0) {
        std::uint64_t runs = 0;
        std::vector<std::string> names;
        auto writeRun = [&](const std::vector<std::string>& runWords) {
            names.push_back(runFileName("$$tmp{{{.", ++runs));
            TempFolder::write("temp/" + names.back(), test::recordsOf(runWords));
            FileSort(Settings::instance().tempPath(names.back()), kSortRecordLength,
                     compareSortRecords, nullptr)
                .sort();
        };
        for (int i = 0; i < emptyRuns; ++i) writeRun({});
        for (auto first = words.begin(); first != words.end();) {
            const auto last = words.end() - first > 3000 ? first + 3000 : words.end();
            writeRun({first, last});
            first = last;
        }
        return names;
    }

    // Sorted words without hyphens, so that no two compare equal.
    static std::vector<std::string> distinctWords(std::size_t count, unsigned seed) {
        std::set<std::string> unique;
        for (const std::string& word : test::generateWords(count * 2, seed)) {
            if (unique.size() < count && word.find('-') == std::string::npos) unique.insert(word);
        }
        return test::inWordOrder({unique.begin(), unique.end()});
    }
};

TEST_F(MergeFileTest, MergesSortedRunsIntoOneSortedFile) {
    struct Case {
        std::size_t words;
        int emptyRuns;
        long written;  // records the merge writes in all its steps
    };
    const Case cases[] = {
        {1, 0, 0},                           // one run is moved to the output as it is
        {3000, 0, 0},      {3001, 0, 3001},  // one step
        {15001, 0, 30001},                   // six runs: five, then the sixth with the first result
        {3000, 5, 3000},  // the first step merges five empty runs into an empty file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        const std::vector<std::string> words = test::generateWords(c.words, 11);
        std::vector<std::string> runs = writeSortedRuns(words, c.emptyRuns);
        std::atomic<long> written{-1};
        EXPECT_TRUE(MergeFile<StringHandler>(kRunPattern, ".\\temp\\sorted", &written).merge());
        EXPECT_EQ(written.load(), c.written);
        if (c.emptyRuns == 0 && runs.size() > 1) {
            EXPECT_EQ(runMergeEstimate(static_cast<long>(c.words)), c.written);
        }
        test::expectSortedPermutation(test::recordsOf(words), TempFolder::read("temp/sorted"));

        // No intermediate file is left; the runs are their owner's, unless one became the output.
        if (runs.size() == 1) runs.clear();
        runs.push_back("sorted");
        std::sort(runs.begin(), runs.end());
        EXPECT_EQ(filesIn("temp"), runs);
        deleteMatching(".\\temp\\*");
    }
    EXPECT_EQ(mergeRecordEstimate(std::vector<long>(6, 3000)), 15000 + 18000);
}

TEST_F(MergeFileTest, MergesDictionariesIntoTheirUnion) {
    const std::vector<std::string> all = distinctWords(600, 5);
    for (int count : {2, 7}) {
        SCOPED_TRACE(count);
        std::vector<std::string> inputs;
        std::vector<long> sizes;
        std::set<std::size_t> every, firstStep;  // indexes into `all` of the words merged
        for (std::size_t d = 0; d < static_cast<std::size_t>(count); ++d) {
            // Overlapping slices of the word list; the third dictionary is empty.
            const std::size_t first = d * 60, last = d == 2 ? first : first + 150;
            inputs.push_back(".\\lexicons\\d" + std::to_string(d) + ".lex");
            writeDictionary(inputs.back(), {all.begin() + first, all.begin() + last});
            sizes.push_back(static_cast<long>(last - first));
            for (std::size_t i = first; i < last; ++i) {
                every.insert(i);
                if (count > kMergeFanIn && d < kMergeFanIn) firstStep.insert(i);
            }
        }
        std::vector<std::string> union_;
        for (std::size_t i : every) union_.push_back(all[i]);
        writeDictionary("expected.lex", union_);

        std::atomic<long> written{0};
        EXPECT_TRUE(
            MergeFile<DictionaryMergeHandler>(inputs, "lexicons\\all.lex", &written).merge());
        // Each input word once per step it passes; the estimate cannot know of the repeats.
        const long inputWords = std::accumulate(sizes.begin(), sizes.end(), 0L);
        EXPECT_EQ(written.load(), inputWords + static_cast<long>(firstStep.size()));
        EXPECT_LE(written.load(), mergeRecordEstimate(sizes));
        EXPECT_EQ(DictionaryReader::instanceCount(), 0);
        EXPECT_TRUE(filesIn("temp").empty());

        // The file the writer makes from the union, but for the time of writing (offset 2080).
        std::string merged = TempFolder::read("lexicons/all.lex");
        std::string expected = TempFolder::read("expected.lex");
        ASSERT_EQ(merged.size(), expected.size());
        EXPECT_EQ(merged.replace(2080, 4, "time"), expected.replace(2080, 4, "time"));
    }
}

TEST_F(MergeFileTest, CancelOrFailureLeavesOnlyTheInputs) {
    using Strings = CancelAfter<StringHandler>;
    const std::vector<std::string> runs = writeSortedRuns(test::generateWords(15001, 3));
    for (long after : {1L, 10L, 15000L, 15010L}) {  // first step, second step, its tail copy
        SCOPED_TRACE(after);
        {
            MergeFile<Strings> merge(kRunPattern, ".\\temp\\sorted", nullptr);
            Strings::writesLeft = after;
            Strings::stop = [&merge] { merge.cancel(); };
            EXPECT_FALSE(merge.merge());
        }
        EXPECT_EQ(filesIn("temp"), runs);  // the runs are the caller's to delete
    }

    using Words = CancelAfter<DictionaryMergeHandler>;
    writeDictionary(".\\lexicons\\a.lex", distinctWords(300, 1));
    writeDictionary(".\\lexicons\\b.lex", distinctWords(300, 2));
    Words::writesLeft = 100;
    Words::stop = [] { DictionaryReader::setCancel(); };  // the dictionary readers' own cancel
    const std::vector<std::string> inputs{".\\lexicons\\a.lex", ".\\lexicons\\b.lex"};
    EXPECT_FALSE(MergeFile<Words>(inputs, ".\\lexicons\\c.lex", nullptr).merge());
    EXPECT_EQ(DictionaryReader::instanceCount(), 0);
    EXPECT_EQ(filesIn("lexicons"), (std::vector<std::string>{"a.lex", "b.lex"}));
    EXPECT_EQ(filesIn("temp"), runs);

    const std::vector<std::string> missing{runs[0], runs[1], "missing"};
    EXPECT_THROW(MergeFile<StringHandler>(missing, "sorted", nullptr).merge(), ZantricException);
    EXPECT_EQ(filesIn("temp"), runs);
}

}  // namespace
}  // namespace zantric
