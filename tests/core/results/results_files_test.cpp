#include "core/results/results_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "core/results/results_store.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
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
                           "\nSuppress Permutations Selected\nMinimum Word Length: any\n"
                           "Each Word Once Not Selected\nStoplist Not Selected\n"
                           "Words Checked:      5120\nWords Found:         3\n\n" +
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
    test::RecorderPresenter m_messages;
    const Settings m_settings{m_messages};
    ResultsStore m_results{"tmp.$$$", "tmp.zix", m_messages};
};

TEST_F(ResultsFilesTest, SavedPairIsTheTemporaryPairByteForByte) {
    fs::create_directory("files");
    ASSERT_TRUE(saveResultsPair(m_messages, m_settings, m_results, "./files/saved.ztr"));
    EXPECT_EQ(TempFolder::read("files/saved.ztr"), TempFolder::read("tmp.$$$"));
    EXPECT_EQ(TempFolder::read("files/saved.zix"), TempFolder::read("tmp.zix"));
    EXPECT_EQ(m_results.dataName(), "tmp.$$$");  // the list goes on showing the temporary pair
    // Saving the pair shown onto itself copies nothing.
    ASSERT_TRUE(m_results.openSaved("files/saved"));
    int runs = 0;
    auto counting = [&](CallingThreadWork& work) { return ++runs, runHere(work); };
    EXPECT_TRUE(saveResultsPair(m_messages, m_settings, m_results, "files/saved.ztr", counting));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(TempFolder::read("files/saved.ztr").size(), kResultsHeaderSize + kLines.size());
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(ResultsFilesTest, FailedSaveNamesTheFileAndLeavesNoHalfPair) {
    const struct {
        const char *name, *reportedFile;
        std::function<void()> setUp;
    } cases[] = {
        {"missing/x", "missing/x.ztr", [] {}},
        {"x", "x.zix", [] { fs::create_directory("x.zix"); }},
        {"y", "tmp.zix", [] { fs::rename("tmp.zix", "kept.zix"); }},
        // The current data file missing: named as the current file.
        {"z", "tmp.$$$", [] { fs::rename("kept.zix", "tmp.zix"), fs::remove("tmp.$$$"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_messages.clear();
        c.setUp();
        EXPECT_FALSE(saveResultsPair(m_messages, m_settings, m_results, c.name, runHere));
        EXPECT_FALSE(fs::exists(replaceExtension(c.name, "ztr")));
        ASSERT_EQ(m_messages.count(), 1u);
        const test::RecordedMessage shown = m_messages.last();
        EXPECT_EQ(std::tuple(shown.text, shown.title, shown.style),
                  std::tuple("Unable to Open File: " + shownPath(c.reportedFile), "File Error.",
                             test::kMbOkStop));
    }
    EXPECT_FALSE(fs::exists("y.zix"));
}

TEST_F(ResultsFilesTest, SaveAsOntoAFileAsksAndTouchesNothingWhenRefused) {
    const struct {
        SaveAsType type;
        const char* name;
        int answer;  // Yes/No for a pair; 0 overwrite, 1 append, 2 cancel for an export
        SaveAsOutcome outcome;
        std::string after;
    } cases[] = {
        {SaveAsType::kZantricFiles, "p.ztr", test::kIdNo, SaveAsOutcome::kCancelled, "old"},
        {SaveAsType::kZantricFiles, "q", test::kIdYes, SaveAsOutcome::kSavedPair,
         TempFolder::read("tmp.$$$")},
        {SaveAsType::kAsciiFiles, "a.asc", 2, SaveAsOutcome::kCancelled, "old"},
        {SaveAsType::kAsciiFiles, "b", 0, SaveAsOutcome::kExported, kBlock},
        {SaveAsType::kTextFiles, "c.txt", 1, SaveAsOutcome::kExported, "old" + kBlock},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file =
            withDefaultExtension(c.name, c.type == SaveAsType::kZantricFiles
                                             ? "ztr"
                                             : (c.type == SaveAsType::kAsciiFiles ? "asc" : "txt"));
        TempFolder::write(file, "old");
        m_messages.clear();
        m_messages.script({c.answer});
        EXPECT_EQ(
            saveResultsAs(m_messages, m_settings, m_results, kFields, c.name, c.type, runHere),
            c.outcome);
        EXPECT_EQ(m_messages.count(), 1u);  // the one question
        EXPECT_EQ(TempFolder::read(file), c.after);
    }
}

TEST_F(ResultsFilesTest, ExportIsTheDocumentedBlockThenTheMatchLines) {
    const SearchSummary plain{{"c?t", "ABC", "a", "xyz", false, false}, 0, 123456789};
    const std::string plainBlock =
        kAsterisks +
        "\n\nResults from Zantric Search\n\nFind Field: c?t\nFrom Field: ABC\nInclude Field: a\n"
        "Exclude Field: xyz\n\nUse All Source Not Selected\n\nSuppress Permutations Not Selected\n"
        "Minimum Word Length: 3\nEach Word Once Selected\nStoplist Not Selected\n"
        "Words Checked: 123456789\nWords Found: 1234567890\n\n" +
        kAsterisks + "\n\n";
    EXPECT_EQ(asciiExportHeader(plain, 1234567890, {3, true, false}), plainBlock);

    ExportWork work(m_messages, m_results, kFields, "out.asc", false);
    int blocks = 0;
    work.setAfterBlock([&] { ++blocks; });
    EXPECT_EQ(runHere(work), WorkResult::kDone);
    EXPECT_EQ(blocks, 1);
    EXPECT_EQ(TempFolder::read("out.asc"), kBlock);
    EXPECT_TRUE(
        exportAsAscii(m_messages, m_results, kFields, "new.asc", true));  // append makes a new file
    EXPECT_EQ(TempFolder::read("new.asc"), kBlock);
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(ResultsFilesTest, ExportFailuresFail) {
    ExportWork work(m_messages, m_results, kFields, "missing/out.asc", false);
    EXPECT_EQ(runHere(work), WorkResult::kFailed);
    ASSERT_EQ(m_messages.count(), 1u);
    EXPECT_EQ(std::tuple(m_messages.last().text, m_messages.last().title),
              std::tuple("Unable to Open File: " + shownPath("missing/out.asc"), "File Error."));
    // Without its data file the store has nothing to export, and the destination stays as it was.
    TempFolder::write("kept.asc", "kept");
    fs::remove("tmp.$$$");
    EXPECT_FALSE(exportAsAscii(m_messages, m_results, kFields, "kept.asc", false));
    EXPECT_EQ(m_messages.last().text, "Unable to Open File: " + shownPath("tmp.$$$"));
    EXPECT_EQ(TempFolder::read("kept.asc"), "kept");
}

}  // namespace
}  // namespace zantric
