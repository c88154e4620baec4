#include "core/maintenance/merge_dictionaries.h"

#include <gtest/gtest.h>

#include "core/maintenance/make_dictionary.h"
#include "core/shell/progress_work.h"
#include "support/word_list_files.h"

namespace zantric {
namespace {

using test::TempFolder;
using test::Words;

class MergeDictionariesTest : public test::MaintenanceTest {
protected:
    MergeDictionariesTest() {
        writeDictionary("./lexicons/a.lex", {"cat", "dog", "Bob", "ab-c", "zebra"});
        writeDictionary("./lexicons/b.lex", {"bob", "cat", "eel", "abc"});
        writeDictionary("./lexicons/c.lex", {"dog", "zebra", "ab-c", "fig"});
        catalogue();
    }
};
using DictionaryReplacementTest = MergeDictionariesTest;

// Six inputs take two steps.
TEST_F(MergeDictionariesTest, GivesTheUnionEachWordOnce) {
    for (const char* extra : {"d", "e", "f"})
        writeDictionary(test::lexPath(extra + std::string(".lex")), {extra});
    m_catalogue.reset();
    const Words all = {"abc", "ab-c", "Bob", "bob", "cat", "d",
                       "dog", "e",    "eel", "f",   "fig", "zebra"};
    ASSERT_EQ(mergeDictionaries(workspace(), {"a.lex", "b.lex", "c.lex", "d.lex", "e.lex", "f.lex"},
                                "All", false, runWork),
              MaintenanceOutcome::kDone);
    writeDictionary("expected.lex", all);
    EXPECT_EQ(bytesWithoutCreated("./lexicons/all.lex"), bytesWithoutCreated("expected.lex"));
    EXPECT_EQ(catalogue().find("./lexicons/all.lex")->header().wordCount, all.size());
    EXPECT_EQ(filesIn("lexicons").size(), 7u);
    EXPECT_TRUE(tempFiles().empty());
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(MergeDictionariesTest, ChecksComeFirstWithTheirMessages) {
    const std::string oldC = TempFolder::read("lexicons/c.lex");
    const std::string two =
        "You must select 2 or more dictionaries from the dictionary list to merge together";
    const char* incomplete = "Incomplete Information";
    // clang-format off
    const struct {
        Words names;
        std::string newName, text, title;
    } cases[] = {
        {{"a.lex"}, "x", two, incomplete},
        {{"a.lex", "a.lex"}, "x", two, incomplete},
        {{"a.lex", "b.lex"}, "", "You must enter the name of your new Dictinary", incomplete},
        {{"a.lex", "b.lex"}, "C",
         "The Dictionary c.lex already exists.\n Do you wish to overwrite it with a new "
         "dictionary.", "Confirm"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        m_messages.clear();
        EXPECT_EQ(mergeDictionaries(workspace(), c.names, c.newName, true, runWork),
                  MaintenanceOutcome::kStopped);
        ASSERT_EQ(m_messages.count(), 1u);
        EXPECT_EQ(m_messages.last().text, c.text);
        EXPECT_EQ(m_messages.last().title, c.title);
        EXPECT_EQ(filesIn("lexicons"), (Words{"a.lex", "b.lex", "c.lex"}));
        EXPECT_EQ(TempFolder::read("lexicons/c.lex"), oldC);
    }
}

// The merged dictionaries leave the catalogue and stay as backups; when the new dictionary takes
// the name of one of them, that one is replaced rather than deleted.
TEST_F(MergeDictionariesTest, DeletesTheMergedDictionariesWhenAsked) {
    const std::string oldA = TempFolder::read("lexicons/a.lex");
    m_messages.script({test::kIdYes, test::kIdYes});
    ASSERT_EQ(mergeDictionaries(workspace(), {"a.lex", "c.lex"}, "a", true, runWork),
              MaintenanceOutcome::kDone);
    ASSERT_EQ(m_messages.count(), 2u);
    EXPECT_EQ(m_messages.messages()[1].text,
              "If you delete these dictionaries you will permanently lose all access to the words "
              "they contain:\n\nc.lex\n\nAre you sure you wish to continue.");
    EXPECT_EQ(filesIn("lexicons"), (Words{"a.lex", "a.lxb", "b.lex", "c.lxb"}));
    EXPECT_EQ(TempFolder::read("lexicons/a.lxb"), oldA);
    EXPECT_EQ(test::wordsOf("./lexicons/a.lex"),
              (Words{"ab-c", "Bob", "cat", "dog", "fig", "zebra"}));
    EXPECT_EQ(catalogue().count(), 2u);
}

// Cancelled; the new name taken by a folder (the inputs are deleted only after it is in place);
// an input whose words do not add up to its header's count: nothing changes.
TEST_F(MergeDictionariesTest, CancelFailureOrADamagedInputLeavesNothing) {
    const std::string oldB = TempFolder::read("lexicons/b.lex");
    const StageRunner cancel = [](ProgressWork& work) {
        work.cancelWork();
        return runWork(work);
    };
    const struct {
        StageRunner run;
        const char* inTheWay;  // a folder where the new dictionary goes
        std::size_t cut;       // bytes taken off b.lex: "eel" lost, the header still counts it
        std::string text;
    } cases[] = {
        {cancel, nullptr, 0, ""},
        {runWork, "lexicons/c.lex/in-the-way", 0, "Zantric could not rename this file: "},
        {runWork, nullptr, 3, "Unable to read Dictionary: " + shownPath("lexicons/b.lex")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        fresh();
        writeDictionary("./lexicons/a.lex", {"cat", "dog"});
        TempFolder::write("lexicons/b.lex", oldB.substr(0, oldB.size() - c.cut));
        if (c.inTheWay) std::filesystem::create_directories(c.inTheWay);
        const Words before = filesIn("lexicons");
        m_messages.script({test::kIdYes, test::kIdYes});
        EXPECT_EQ(mergeDictionaries(workspace(), {"a.lex", "b.lex"}, "c", true, c.run),
                  MaintenanceOutcome::kFailed);
        EXPECT_EQ(m_messages.last().text.rfind(c.text, 0), 0u) << m_messages.last().text;
        EXPECT_TRUE(tempFiles().empty());
        EXPECT_EQ(filesIn("lexicons"), before);
        EXPECT_EQ(catalogue().count(), 2u);
    }
}

// Make has three stages, merge one; the cancel, from the calling thread while the stage runs
// on a worker (as the window runs it), goes to stage `stage` of the command. The stage is paused
// before it starts, so that even a small one is still running when the cancel comes.
TEST_F(DictionaryReplacementTest, StagesOnAWorkerStopWhenCancelledFromAnotherThread) {
    std::string list;
    for (const std::string& word : test::generateWords(20000)) list += word + "\n";
    TempFolder::write("list.txt", list);
    const std::string oldA = TempFolder::read("lexicons/a.lex");
    for (int stage = 0; stage < 4; ++stage) {
        SCOPED_TRACE(stage);
        int started = 0;
        const StageRunner cancelOne = [&](ProgressWork& work) {
            const bool cancel = started++ == stage % 3;
            if (cancel) work.pause();
            WorkerThread worker;
            worker.start(work);
            if (cancel) {
                work.cancelWork();
                work.resume();
            }
            worker.join();
            return work.result();
        };
        m_messages.script({test::kIdYes});
        EXPECT_EQ(stage < 3
                      ? makeDictionary(workspace(), "list.txt", "a", false, cancelOne)
                      : mergeDictionaries(workspace(), {"a.lex", "b.lex"}, "a", false, cancelOne),
                  MaintenanceOutcome::kFailed);
        EXPECT_EQ(TempFolder::read("lexicons/a.lex"), oldA);
        EXPECT_EQ(filesIn("lexicons"), (Words{"a.lex", "b.lex", "c.lex"}));
        EXPECT_TRUE(tempFiles().empty());
    }
}

}  // namespace
}  // namespace zantric
