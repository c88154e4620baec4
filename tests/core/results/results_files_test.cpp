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

const SearchSummary kFields{"!", "tacos", "", "", true, true, 0, 5120};
const std::string kAsterisks(60, '*');
const std::string kLines = "ascot\ncoats\ncat so\n";

// The documented export block for kFields with three matches, typed out in full.
const std::string kBlock = kAsterisks + "\n\n" +
                           "Results from Zantric Search\n\n"
                           "Find Field: !\n"
                           "From Field: tacos\n"
                           "Include Field: \n"
                           "Exclude Field: \n"
                           "\nUse All Source Selected\n"
                           "\nSuppress Permutations Selected\n"
                           "Words Checked:      5120\n"
                           "Words Found:         3\n\n" +
                           kAsterisks + "\n\n" + kLines;

std::uint32_t u32At(const std::string& bytes, std::size_t at) {
    auto b = [&](std::size_t i) {
        return std::uint32_t(static_cast<unsigned char>(bytes[at + i]));
    };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

class ResultsFilesTest : public ::testing::Test {
protected:
    ResultsFilesTest() : m_results("tmp.$$$", "tmp.zix") {
        m_results.reset();
        m_results.append("ascot", true);
        m_results.append("coats", true);
        m_results.append("cat so ", false);
        m_results.finish(kFields);
    }

    TempFolder m_folder;
    test::RecordingPresenter m_messages;
    ResultsStore m_results;
};

TEST_F(ResultsFilesTest, SavedPairIsTheTemporaryPairByteForByte) {
    fs::create_directory("files");
    ASSERT_TRUE(saveResultsPair(m_results, ".\\files\\saved.ztr"));
    const std::string data = TempFolder::read("files/saved.ztr");
    const std::string index = TempFolder::read("files/saved.zix");
    EXPECT_EQ(data, TempFolder::read("tmp.$$$"));
    EXPECT_EQ(index, TempFolder::read("tmp.zix"));

    // The header fields and the index as the format documents them.
    ASSERT_EQ(data.size(), kResultsHeaderSize + kLines.size());
    std::array<unsigned char, kResultsHeaderSize> bytes;
    std::copy_n(data.begin(), kResultsHeaderSize, bytes.begin());
    const ResultsHeader header = ResultsHeader::fromBytes(bytes);
    EXPECT_EQ(header.marker, kResultsMarker);
    EXPECT_EQ(header.found, 3);
    EXPECT_EQ(header.checked, 5120);
    EXPECT_EQ(header.longest, 7);
    EXPECT_EQ(header.fields.find, "!");
    EXPECT_EQ(header.fields.from, "tacos");
    EXPECT_TRUE(header.fields.useAllFromLetters);
    EXPECT_TRUE(header.fields.suppressPermutations);
    EXPECT_EQ(data.substr(kResultsHeaderSize), kLines);
    ASSERT_EQ(index.size(), 16u);
    EXPECT_EQ(u32At(index, 0), 344u);
    EXPECT_EQ(u32At(index, 4), 350u);
    EXPECT_EQ(u32At(index, 8), 356u);
    EXPECT_EQ(u32At(index, 12), 363u);

    // The list goes on showing the temporary pair; the saved pair opens as results.
    EXPECT_EQ(m_results.dataName(), "tmp.$$$");
    ResultsStore viewer("v.$$$", "v.zix");
    ASSERT_TRUE(viewer.openSaved("files/saved"));
    EXPECT_EQ(viewer.count(), 3);
    EXPECT_EQ(viewer.rowText(2), "cat so\t");
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(ResultsFilesTest, SavingTheShownPairOntoItselfCopiesNothing) {
    ASSERT_TRUE(saveResultsPair(m_results, "saved"));
    ASSERT_TRUE(m_results.openSaved("saved.ztr"));
    const std::string before = TempFolder::read("saved.ztr");
    int runs = 0;
    auto counting = [&](CallingThreadWork& work) {
        ++runs;
        return runHere(work);
    };
    EXPECT_TRUE(saveResultsPair(m_results, "saved.ztr", counting));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(TempFolder::read("saved.ztr"), before);
}

TEST_F(ResultsFilesTest, FailedSaveNamesTheFileAndLeavesNoHalfPair) {
    struct Case {
        const char* name;
        const char* setUp;  // "index-folder": the target index is a folder; "no-index":
                            // the current index file is gone
        const char* reportedFile;
    };
    const std::vector<Case> cases = {
        {"missing/x", "", "missing/x.ztr"},
        {"x", "index-folder", "x.zix"},
        {"y", "no-index", "tmp.zix"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_messages.clear();
        if (std::string(c.setUp) == "index-folder") fs::create_directory("x.zix");
        if (std::string(c.setUp) == "no-index") fs::rename("tmp.zix", "kept.zix");
        EXPECT_FALSE(saveResultsPair(m_results, c.name, runHere, this));
        EXPECT_FALSE(fs::exists(replaceExtension(c.name, "ztr")));
        ASSERT_EQ(m_messages.count(), 1u);
        const test::RecordedMessage message = m_messages.last();
        EXPECT_EQ(message.text, "Unable to Open File: " + shownPath(c.reportedFile));
        EXPECT_EQ(message.title, "File Error.");
        EXPECT_EQ(message.style, kMbOkStop);
        EXPECT_TRUE(message.hasOwner);
    }
    EXPECT_FALSE(fs::exists("y.zix"));
    // The current data file missing: -2 on the data copy, named as the current file.
    fs::rename("kept.zix", "tmp.zix");
    fs::rename("tmp.$$$", "kept.$$$");
    m_messages.clear();
    EXPECT_FALSE(saveResultsPair(m_results, "z"));
    EXPECT_EQ(m_messages.last().text, "Unable to Open File: " + shownPath("tmp.$$$"));
    EXPECT_FALSE(fs::exists("z.ztr"));
    EXPECT_FALSE(m_messages.last().hasOwner);
}

TEST_F(ResultsFilesTest, ExportHeaderIsTheDocumentedBlock) {
    EXPECT_EQ(asciiExportHeader(kFields, 3), kBlock.substr(0, kBlock.size() - kLines.size()));

    const SearchSummary plain{"c?t", "ABC", "a", "xyz", false, false, 0, 123456789};
    EXPECT_EQ(asciiExportHeader(plain, 1234567890),
              kAsterisks +
                  "\n\nResults from Zantric Search\n\n"
                  "Find Field: c?t\nFrom Field: ABC\nInclude Field: a\nExclude Field: xyz\n"
                  "\n"
                  "\n"
                  "Words Checked: 123456789\nWords Found: 1234567890\n\n" +
                  kAsterisks + "\n\n");
    // Found comes from the caller (the results list), never from the summary.
    EXPECT_NE(asciiExportHeader(kFields, 0).find("Words Found:         0\n"), std::string::npos);
    // One line for each filter that was on, after the Suppress Permutations line.
    std::string withFilters = asciiExportHeader(plain, 1);
    withFilters.insert(withFilters.find("Words Checked"),
                       "Minimum Word Length: 4\nEach Word Once Selected\nStoplist Selected\n");
    EXPECT_EQ(asciiExportHeader(plain, 1, {4, true, true}), withFilters);
}

TEST_F(ResultsFilesTest, ExportWritesTheBlockThenTheMatchLines) {
    ExportWork work(m_results, kFields, "out.asc", false);
    EXPECT_EQ(work.text(), "Making ASCII File");
    EXPECT_FALSE(work.cancellable());
    int blocks = 0;
    work.setAfterBlock([&] { ++blocks; });
    EXPECT_EQ(runHere(work), 1);
    EXPECT_EQ(blocks, 1);
    // The lines read against the whole data file and one: 19 of 364 bytes.
    EXPECT_EQ(work.percent(), 19 * 100 / 364);
    EXPECT_EQ(TempFolder::read("out.asc"), kBlock);

    // Append adds a whole second block; overwrite starts again.
    EXPECT_TRUE(exportAsAscii(m_results, kFields, "out.asc", true));
    EXPECT_EQ(TempFolder::read("out.asc"), kBlock + kBlock);
    EXPECT_TRUE(exportAsAscii(m_results, kFields, "out.asc", false));
    EXPECT_EQ(TempFolder::read("out.asc"), kBlock);
    // Append to a file that is not there makes it.
    EXPECT_TRUE(exportAsAscii(m_results, kFields, "new.asc", true));
    EXPECT_EQ(TempFolder::read("new.asc"), kBlock);
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(ResultsFilesTest, ExportOfALargeStoreReadsItInBlocks) {
    ResultsStore large("big.$$$", "big.zix");
    large.reset();
    std::string lines;
    for (int i = 0; i < 10000; ++i) {
        const std::string word = "w" + std::to_string(i);
        large.append(word, true);
        lines += word + "\n";
    }
    large.finish(kFields);
    ExportWork work(large, kFields, "big.asc", false);
    std::vector<int> percents;
    work.setAfterBlock([&] { percents.push_back(work.percent()); });
    EXPECT_EQ(runHere(work), 1);
    const std::string text = TempFolder::read("big.asc");
    EXPECT_EQ(text, asciiExportHeader(kFields, 10000) + lines);
    // 58890 bytes of lines behind the header: three blocks of at most 20480.
    ASSERT_EQ(lines.size(), 58890u);
    const std::uint64_t total = kResultsHeaderSize + lines.size() + 1;
    EXPECT_EQ(percents, (std::vector<int>{static_cast<int>(20480 * 100 / total),
                                          static_cast<int>(40960 * 100 / total),
                                          static_cast<int>(58890 * 100 / total)}));
}

TEST_F(ResultsFilesTest, ExportFailuresEndWithResultZero) {
    ExportWork work(m_results, kFields, "missing/out.asc", false);
    EXPECT_EQ(runHere(work), 0);
    ASSERT_EQ(m_messages.count(), 1u);
    EXPECT_EQ(m_messages.last().text, "Unable to Open File: " + shownPath("missing/out.asc"));
    EXPECT_EQ(m_messages.last().title, "File Error.");
    EXPECT_EQ(m_messages.last().style, kMbOkStop);
    EXPECT_FALSE(m_messages.last().hasOwner);

    // Without its data file the store has nothing to export, and the destination stays as it was.
    TempFolder::write("kept.asc", "kept");
    fs::remove("tmp.$$$");
    m_messages.clear();
    EXPECT_FALSE(exportAsAscii(m_results, kFields, "kept.asc", false));
    EXPECT_EQ(m_messages.last().text, "Unable to Open File: " + shownPath("tmp.$$$"));
    EXPECT_EQ(TempFolder::read("kept.asc"), "kept");
}

TEST_F(ResultsFilesTest, ExportWhileViewingWritesTheSavedLinesWithTheFieldsShown) {
    ResultsStore other("o.$$$", "o.zix");
    other.reset();
    other.append("dog", true);
    other.finish({"???", "dgo", "", "", true, false, 0, 7});
    ASSERT_TRUE(saveResultsPair(other, "dogs"));

    ASSERT_TRUE(m_results.openSaved("dogs.ztr"));
    SearchSummary shown = m_results.header().summary();
    EXPECT_TRUE(exportAsAscii(m_results, shown, "dogs.asc", false));
    EXPECT_EQ(TempFolder::read("dogs.asc"),
              kAsterisks +
                  "\n\nResults from Zantric Search\n\n"
                  "Find Field: ???\nFrom Field: dgo\nInclude Field: \nExclude Field: \n"
                  "\nUse All Source Selected\n"
                  "\n"
                  "Words Checked:         7\nWords Found:         1\n\n" +
                  kAsterisks + "\n\ndog\n");
}

TEST_F(ResultsFilesTest, NamesGetTheirExtensionAndPairsAreTheZtrOnes) {
    struct Case {
        const char* name;
        const char* withZtr;
        bool pair;
    };
    const std::vector<Case> cases = {
        {"results", "results.ztr", false},
        {"results.", "results.ztr", false},
        {"results.txt", "results.txt", false},
        {"x.ZTR", "x.ZTR", true},
        {".\\files\\r", ".\\files\\r.ztr", false},
        {"a.b/c", "a.b/c.ztr", false},
        {"r.ztr", "r.ztr", true},
        {"r.ztrx", "r.ztrx", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(withDefaultExtension(c.name, "ztr"), c.withZtr);
        EXPECT_EQ(isResultsPairName(c.name), c.pair);
    }
}

TEST_F(ResultsFilesTest, SaveAsPicksPairOrTextByTheExtension) {
    struct Case {
        const char* chosen;
        SaveAsType type;
        SaveAsOutcome outcome;
        const char* pairData;  // the saved pair's data file, or the export file
    };
    const std::vector<Case> cases = {
        {"results", SaveAsType::kZantricFiles, SaveAsOutcome::kSavedPair, "results.ztr"},
        {"results.txt", SaveAsType::kZantricFiles, SaveAsOutcome::kExported, "results.txt"},
        {"out", SaveAsType::kAsciiFiles, SaveAsOutcome::kExported, "out.asc"},
        {"all", SaveAsType::kAllFiles, SaveAsOutcome::kExported, "all.asc"},
        {"x.ZTR", SaveAsType::kAsciiFiles, SaveAsOutcome::kSavedPair, "x.ztr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        EXPECT_EQ(saveResultsAs(m_results, kFields, c.chosen, c.type), c.outcome);
        if (c.outcome == SaveAsOutcome::kSavedPair) {
            EXPECT_EQ(TempFolder::read(c.pairData), TempFolder::read("tmp.$$$"));
            EXPECT_EQ(TempFolder::read(replaceExtension(c.pairData, "zix")),
                      TempFolder::read("tmp.zix"));
        } else {
            EXPECT_EQ(TempFolder::read(c.pairData), kBlock);
        }
    }
    EXPECT_FALSE(fs::exists("results.zix") && fs::exists("results.asc"));
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(ResultsFilesTest, SaveAsAsksBeforeReplacingAFile) {
    const std::string here = fs::current_path().string() + "/";
    const std::string pairQuestion =
        here + "results.ztr\nThis file already exists\n\nDo you wish to overwrite? (Y/N)";
    const std::string textQuestion =
        here +
        "out.asc already exists\nDo you wish to overwrite or append to the end of this file?";
    struct Case {
        const char* chosen;
        SaveAsType type;
        int answer;  // Yes/No, or the three-button question's 0, 1, 2
        SaveAsOutcome outcome;
        const char* file;
        std::string content;  // of `file` afterwards; "" for the temporary data file
        std::string question;
    };
    TempFolder::write("results.ztr", "old");
    TempFolder::write("out.asc", "old\n");
    TempFolder::write("x.ZTR", "old");
    const std::vector<Case> cases = {
        {"results", SaveAsType::kZantricFiles, kIdNo, SaveAsOutcome::kCancelled, "results.ztr",
         "old", pairQuestion},
        {"results", SaveAsType::kZantricFiles, kIdYes, SaveAsOutcome::kSavedPair, "results.ztr", "",
         pairQuestion},
        {"out", SaveAsType::kAsciiFiles, 2, SaveAsOutcome::kCancelled, "out.asc", "old\n",
         textQuestion},
        {"out", SaveAsType::kAsciiFiles, 1, SaveAsOutcome::kExported, "out.asc", "old\n" + kBlock,
         textQuestion},
        {"out", SaveAsType::kAsciiFiles, 0, SaveAsOutcome::kExported, "out.asc", kBlock,
         textQuestion},
        // A .ztr name with another type: the three-button question, and Append makes no
        // difference to the pair.
        {"x.ZTR", SaveAsType::kAllFiles, 1, SaveAsOutcome::kSavedPair, "x.ztr", "",
         here +
             "x.ZTR already exists\nDo you wish to overwrite or append to the end of this file?"},
    };
    for (const Case& c : cases) {
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
        if (c.type == SaveAsType::kZantricFiles) {
            EXPECT_EQ(asked.style, kMbYesNo);
            EXPECT_TRUE(asked.hasOwner);
        } else {
            EXPECT_TRUE(asked.threeButton);
            EXPECT_EQ(asked.captions,
                      (std::array<std::string, 3>{"&Overwrite", "&Append", "&Cancel"}));
        }
    }
}

}  // namespace
}  // namespace zantric
