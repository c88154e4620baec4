// Where make and merge replace dictionaries: an input whose words do not add up to its header's
// count stops the merge, the merged dictionaries are deleted only once the new one is in place,
// and the stages run on a worker thread (as the window runs them) end cleanly whenever a pause
// and cancel from the calling thread lands.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/maintenance/make_dictionary.h"
#include "core/maintenance/merge_dictionaries.h"
#include "core/shell/paths.h"
#include "core/shell/progress_work.h"
#include "maintenance_test_support.h"

namespace zantric {
namespace {

using test::TempFolder;
using Files = std::vector<std::string>;

class DictionaryReplacementTest : public test::MaintenanceTest {
protected:
    DictionaryReplacementTest() {
        writeDictionary(".\\lexicons\\a.lex", {"cat", "dog"});
        writeDictionary(".\\lexicons\\b.lex", {"eel", "fig"});
        catalogue();
    }
};

TEST_F(DictionaryReplacementTest, AnInputThatCannotBeReadWhollyStopsTheMerge) {
    std::string b = TempFolder::read("lexicons/b.lex");
    b.resize(b.size() - 2);  // "fig" is lost; the header still counts it
    TempFolder::write("lexicons/b.lex", b);

    EXPECT_EQ(mergeDictionaries({"a.lex", "b.lex"}, "c", false, runWork),
              MaintenanceOutcome::kFailed);

    EXPECT_EQ(m_messages.last().text, "Unable to read Dictionary: " + shownPath("lexicons/b.lex"));
    EXPECT_EQ(filesIn("lexicons"), (Files{"a.lex", "b.lex"}));
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(DictionaryReplacementTest, MergedDictionariesAreDeletedOnlyAfterTheNewOneIsInPlace) {
    // The new dictionary cannot take its name: a folder is in the way.
    std::filesystem::create_directories("lexicons/c.lex/in-the-way");
    m_messages.script({kIdYes, kIdYes});

    EXPECT_EQ(mergeDictionaries({"a.lex", "b.lex"}, "c", true, runWork),
              MaintenanceOutcome::kFailed);

    EXPECT_EQ(filesIn("lexicons"), (Files{"a.lex", "b.lex", "c.lex"}));
    EXPECT_EQ(catalogue().count(), 2u);
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(DictionaryReplacementTest, StagesOnAWorkerStopWhenCancelledFromAnotherThread) {
    std::string list;
    for (const std::string& word : test::generateWords(20000)) list += word + "\n";
    TempFolder::write("list.txt", list);
    const std::string oldA = TempFolder::read("lexicons/a.lex");
    // Make has three stages, merge one; the cancel goes to stage `stage` of the command.
    for (int stage = 0; stage < 4; ++stage) {
        SCOPED_TRACE(stage);
        int started = 0;
        const StageRunner cancelOne = [&](ProgressWork& work) {
            WorkerThread worker;
            worker.start(work);
            if (started++ == stage % 3) {
                work.pause();
                work.cancelWork();
                work.resume();
            }
            worker.join();
            return work.result();
        };
        m_messages.script({kIdYes});
        const MaintenanceOutcome outcome =
            stage < 3 ? makeDictionary("list.txt", "a", false, cancelOne)
                      : mergeDictionaries({"a.lex", "b.lex"}, "a", false, cancelOne);
        EXPECT_EQ(outcome, MaintenanceOutcome::kFailed);
        EXPECT_EQ(TempFolder::read("lexicons/a.lex"), oldA);
        EXPECT_EQ(filesIn("lexicons"), (Files{"a.lex", "b.lex"}));
        EXPECT_TRUE(tempFiles().empty());
    }
}

}  // namespace
}  // namespace zantric
