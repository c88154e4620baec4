#include "core/results/results_files.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/results/results_store.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

const SearchSummary kFields{{"!", "tacos", "", "", true, true}, 0, 5120};
const std::string kAsterisks(60, '*');
const std::string kLines = "ascot\ncoats\ncat so\n";

// The documented export block for kFields with three matches, typed out in full.
const std::string kBlock = kAsterisks +
                           "\n\nResults from Zantric Search\n\nFind Field: !\nFrom Field: tacos\n"
                           "Include Field: \nExclude Field: \n\nUse All Source Selected\n"
                           "\nSuppress Permutations Selected\nWords Checked:      5120\n"
                           "Words Found:         3\n\n" +
                           kAsterisks + "\n\n" + kLines;

class ResultsFilesTest : public ::testing::Test {
protected:
    ResultsFilesTest() {
        m_results.reset();
        m_results.append("ascot", true);
        m_results.append("coats", true);
        m_results.append("cat so ", false);
        m_results.finish(kFields);
    }

    TempFolder m_folder;
    test::RecordingPresenter m_messages;
    ResultsStore m_results{"tmp.$$$", "tmp.zix"};
};

TEST_F(ResultsFilesTest, SavedPairIsTheTemporaryPairByteForByte) {
    fs::create_directory("files");
    ASSERT_TRUE(saveResultsPair(m_results, ".\\files\\saved.ztr"));
    EXPECT_EQ(TempFolder::read("files/saved.ztr"), TempFolder::read("tmp.$$$"));
    EXPECT_EQ(TempFolder::read("files/saved.zix"), TempFolder::read("tmp.zix"));
    EXPECT_EQ(m_results.dataName(), "tmp.$$$");  // the list goes on showing the temporary pair
    // Saving the pair shown onto itself copies nothing.
    ASSERT_TRUE(m_results.openSaved("files/saved"));
    int runs = 0;
    auto counting = [&](CallingThreadWork& work) { return ++runs, runHere(work); };
    EXPECT_TRUE(saveResultsPair(m_results, "files/saved.ztr", counting));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(TempFolder::read("files/saved.ztr").size(), kResultsHeaderSize + kLines.size());
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(ResultsFilesTest, FailedSaveNamesTheFileAndLeavesNoHalfPair) {
    const struct {
        const char *name, *setUp, *reportedFile;
    } cases[] = {
        {"missing/x", "", "missing/x.ztr"},
        {"x", "index is a folder", "x.zix"},
        {"y", "no index", "tmp.zix"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_messages.clear();
        if (std::string(c.setUp) == "index is a folder") fs::create_directory("x.zix");
        if (std::string(c.setUp) == "no index") fs::rename("tmp.zix", "kept.zix");
        EXPECT_FALSE(saveResultsPair(m_results, c.name, runHere, this));
        EXPECT_FALSE(fs::exists(replaceExtension(c.name, "ztr")));
        ASSERT_EQ(m_messages.count(), 1u);
        EXPECT_EQ(m_messages.last().text, "Unable to Open File: " + shownPath(c.reportedFile));
        EXPECT_EQ(m_messages.last().title, "File Error.");
        EXPECT_EQ(m_messages.last().style, kMbOkStop);
        EXPECT_TRUE(m_messages.last().hasOwner);
    }
    EXPECT_FALSE(fs::exists("y.zix"));
    // The current data file missing: named as the current file.
    fs::rename("kept.zix", "tmp.zix");
    fs::rename("tmp.$$$", "kept.$$$");
    EXPECT_FALSE(saveResultsPair(m_results, "z"));
    EXPECT_EQ(m_messages.last().text, "Unable to Open File: " + shownPath("tmp.$$$"));
    EXPECT_FALSE(fs::exists("z.ztr"));
    EXPECT_FALSE(m_messages.last().hasOwner);
}

TEST_F(ResultsFilesTest, ExportIsTheDocumentedBlockThenTheMatchLines) {
    const SearchSummary plain{{"c?t", "ABC", "a", "xyz", false, false}, 0, 123456789};
    const std::string plainBlock =
        kAsterisks +
        "\n\nResults from Zantric Search\n\nFind Field: c?t\nFrom Field: ABC\nInclude Field: a\n"
        "Exclude Field: xyz\n\n\nWords Checked: 123456789\nWords Found: 1234567890\n\n" +
        kAsterisks + "\n\n";
    EXPECT_EQ(asciiExportHeader(plain, 1234567890), plainBlock);
    // One line for each filter that was on, after the Suppress Permutations line.
    std::string withFilters = plainBlock;
    withFilters.insert(withFilters.find("Words Checked"),
                       "Minimum Word Length: 4\nEach Word Once Selected\nStoplist Selected\n");
    EXPECT_EQ(asciiExportHeader(plain, 1234567890, {4, true, true}), withFilters);

    ExportWork work(m_results, kFields, "out.asc", false);
    int blocks = 0;
    work.setAfterBlock([&] { ++blocks; });
    EXPECT_EQ(runHere(work), 1);
    EXPECT_EQ(blocks, 1);
    EXPECT_EQ(work.percent(), 19 * 100 / 364);  // 19 bytes of lines against the data file and one
    EXPECT_EQ(TempFolder::read("out.asc"), kBlock);
    EXPECT_TRUE(exportAsAscii(m_results, kFields, "new.asc", true));  // append makes a new file
    EXPECT_EQ(TempFolder::read("new.asc"), kBlock);
    EXPECT_EQ(m_messages.count(), 0u);
}

// A pair of many matches: its index, and its export read in blocks.
TEST_F(ResultsFilesTest, ExportOfALargeStoreReadsItInBlocks) {
    ResultsStore large("big.$$$", "big.zix");
    large.reset();
    std::string lines;
    std::string index;  // one line end after another, from the header's end
    for (int i = 0; i <= 10000; ++i) {
        const std::uint32_t end = kResultsHeaderSize + lines.size();
        index.append({char(end), char(end >> 8), char(end >> 16), char(end >> 24)});
        if (i == 10000) break;
        large.append("w" + std::to_string(i), true);
        lines += "w" + std::to_string(i) + "\n";
    }
    large.finish(kFields);
    EXPECT_EQ(TempFolder::read("big.zix"), index);
    ExportWork work(large, kFields, "big.asc", false);
    std::vector<int> percents;
    work.setAfterBlock([&] { percents.push_back(work.percent()); });
    EXPECT_EQ(runHere(work), 1);
    EXPECT_EQ(TempFolder::read("big.asc"), asciiExportHeader(kFields, 10000) + lines);
    // 58890 bytes of lines behind the header: three blocks of at most 20480.
    ASSERT_EQ(lines.size(), 58890u);
    const std::uint64_t total = kResultsHeaderSize + lines.size() + 1;
    EXPECT_EQ(percents, (std::vector<int>{int(20480 * 100 / total), int(40960 * 100 / total),
                                          int(58890 * 100 / total)}));
}

TEST_F(ResultsFilesTest, ExportFailuresEndWithResultZero) {
    ExportWork work(m_results, kFields, "missing/out.asc", false);
    EXPECT_EQ(runHere(work), 0);
    ASSERT_EQ(m_messages.count(), 1u);
    EXPECT_EQ(m_messages.last().text, "Unable to Open File: " + shownPath("missing/out.asc"));
    EXPECT_EQ(m_messages.last().title, "File Error.");
    EXPECT_FALSE(m_messages.last().hasOwner);
    // Without its data file the store has nothing to export, and the destination stays as it was.
    TempFolder::write("kept.asc", "kept");
    fs::remove("tmp.$$$");
    EXPECT_FALSE(exportAsAscii(m_results, kFields, "kept.asc", false));
    EXPECT_EQ(m_messages.last().text, "Unable to Open File: " + shownPath("tmp.$$$"));
    EXPECT_EQ(TempFolder::read("kept.asc"), "kept");
}

TEST_F(ResultsFilesTest, NamesGetTheirExtensionAndPairsAreTheZtrOnes) {
    const std::pair<const char*, const char*> cases[] = {
        // name, with the default extension
        {"results.", "results.ztr"}, {"results.txt", "results.txt"}, {"x.ZTR", "x.ZTR"},
        {"a.b/c", "a.b/c.ztr"},      {"r.ztrx", "r.ztrx"},
    };
    for (auto [name, withZtr] : cases) {
        EXPECT_EQ(withDefaultExtension(name, "ztr"), withZtr);
        EXPECT_EQ(isResultsPairName(name), std::string(name) == "x.ZTR") << name;
    }
}

TEST_F(ResultsFilesTest, SaveAsAsksBeforeReplacingAFile) {
    const std::string here = fs::current_path().string() + "/";
    const std::string pairQuestion =
        here + "results.ztr\nThis file already exists\n\nDo you wish to overwrite? (Y/N)";
    const std::string textQuestion =
        " already exists\nDo you wish to overwrite or append to the end of this file?";
    const struct {
        const char* chosen;
        SaveAsType type;
        int answer;  // Yes, or the three-button question's 1 (Append)
        SaveAsOutcome outcome;
        const char* file;
        std::string content;  // of `file` afterwards; "" for the temporary data file
        std::string question;
    } cases[] = {
        {"results", SaveAsType::kZantricFiles, kIdYes, SaveAsOutcome::kSavedPair, "results.ztr", "",
         pairQuestion},
        {"out", SaveAsType::kAsciiFiles, 1, SaveAsOutcome::kExported, "out.asc", "old\n" + kBlock,
         here + "out.asc" + textQuestion},
        // A .ztr name with another type: the three-button question; Append changes nothing.
        {"x.ZTR", SaveAsType::kAllFiles, 1, SaveAsOutcome::kSavedPair, "x.ztr", "",
         here + "x.ZTR" + textQuestion},
    };
    TempFolder::write("results.ztr", "old");
    TempFolder::write("out.asc", "old\n");
    TempFolder::write("x.ZTR", "old");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.chosen) + " answer " + std::to_string(c.answer));
        m_messages.clear();
        m_messages.script({c.answer});
        EXPECT_EQ(saveResultsAs(m_results, kFields, c.chosen, c.type, runHere, this), c.outcome);
        EXPECT_EQ(TempFolder::read(c.file),
                  c.content.empty() ? TempFolder::read("tmp.$$$") : c.content);
        ASSERT_EQ(m_messages.count(), 1u);
        const test::RecordedMessage asked = m_messages.last();
        EXPECT_EQ(asked.text, c.question);
        EXPECT_EQ(asked.title, "Warning");
        const bool yesNo = c.type == SaveAsType::kZantricFiles;
        EXPECT_EQ(asked.style, yesNo ? kMbYesNo : -1);
        EXPECT_EQ(asked.hasOwner, yesNo);
        EXPECT_EQ(asked.captions[1], yesNo ? "" : "&Append");
    }
}

}  // namespace
}  // namespace zantric
