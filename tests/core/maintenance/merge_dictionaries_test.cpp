#include "core/maintenance/merge_dictionaries.h"

#include <gtest/gtest.h>

#include "maintenance_test_support.h"

namespace zantric {
namespace {

using test::TempFolder;

class MergeDictionariesTest : public test::MaintenanceTest {
protected:
    MergeDictionariesTest() {
        writeDictionary(".\\lexicons\\a.lex", {"cat", "dog", "Bob", "ab-c", "zebra"});
        writeDictionary(".\\lexicons\\b.lex", {"bob", "cat", "eel", "abc"});
        writeDictionary(".\\lexicons\\c.lex", {"dog", "zebra", "ab-c", "fig"});
        catalogue();
        m_messages.clear();
    }
    const std::vector<std::string> kUnion = {"abc", "ab-c", "Bob", "bob",  "cat",
                                             "dog", "eel",  "fig", "zebra"};
};

TEST_F(MergeDictionariesTest, GivesTheUnionEachWordOnce) {
    ASSERT_EQ(mergeDictionaries({"a.lex", "b.lex", "c.lex"}, "All", false, runWork),
              MaintenanceOutcome::kDone);
    const std::string path = ".\\lexicons\\all.lex";
    EXPECT_EQ(wordsOf(path), kUnion);
    writeDictionary("expected.lex", kUnion);
    EXPECT_EQ(bytesWithoutCreated(path), bytesWithoutCreated("expected.lex"));
    ASSERT_NE(catalogue().find(path), nullptr);
    EXPECT_EQ(catalogue().find(path)->header().wordCount, kUnion.size());
    EXPECT_EQ(filesIn("lexicons"),
              (std::vector<std::string>{"a.lex", "all.lex", "b.lex", "c.lex"}));
    EXPECT_TRUE(tempFiles().empty());
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(MergeDictionariesTest, ChecksComeFirstWithTheirMessages) {
    const std::string oldC = TempFolder::read("lexicons/c.lex");
    struct Case {
        std::vector<std::string> names;
        std::string newName;
        std::string text;
        std::string title;
    };
    const Case cases[] = {
        {{"a.lex"},
         "x",
         "You must select 2 or more dictionaries from the dictionary list to merge together",
         "Incomplete Information"},
        {{"a.lex", "a.lex"},
         "x",
         "You must select 2 or more dictionaries from the dictionary list to merge together",
         "Incomplete Information"},
        {{"a.lex", "b.lex"},
         "",
         "You must enter the name of your new Dictinary",
         "Incomplete Information"},
        {{"a.lex", "b.lex"},
         "C",
         "The Dictionary c.lex already exists.\n Do you wish to overwrite it with a new "
         "dictionary.",
         "Confirm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        m_messages.clear();
        EXPECT_EQ(mergeDictionaries(c.names, c.newName, true, runWork),
                  MaintenanceOutcome::kStopped);
        ASSERT_EQ(m_messages.count(), 1u);
        EXPECT_EQ(m_messages.last().text, c.text);
        EXPECT_EQ(m_messages.last().title, c.title);
        EXPECT_EQ(filesIn("lexicons"), (std::vector<std::string>{"a.lex", "b.lex", "c.lex"}));
        EXPECT_EQ(TempFolder::read("lexicons/c.lex"), oldC);
        EXPECT_TRUE(tempFiles().empty());
    }
}

// Words of the same letters with the hyphen in different places compare equal, so dictionaries
// may hold them in either order; the merge still stores each once, in the word order.
TEST_F(MergeDictionariesTest, HyphenTwinsInAnyOrderAreStoredOnce) {
    using Words = std::vector<std::string>;
    struct Case {
        Words a, b, c;  // sorted as written; twins that compare equal keep the order given
    };
    const Case cases[] = {
        {{"abc", "ab-c", "Abc", "Ab-c"}, {"Ab-c", "abc"}, {"Abc", "ab-c"}},
        {{"a-bc", "ab-c"}, {"ab-c", "a-bc"}, {}},
        {{"ab-c"}, {"a-bc", "ab-c"}, {"ab-c", "a-bc"}},
        {{"A-bc", "Ab-c", "a-bc", "ab-c"}, {"Ab-c", "A-bc", "ab-c", "a-bc"}, {"abc", "Abc"}},
        {{"ab-cd", "abc-d", "a-bcd", "abcd"}, {"a-bcd", "abc-d", "ab-cd"}, {"abc-d", "a-bcd"}},
        {{"abc-d", "cat"}, {"ab-cd", "abc-d", "dog"}, {"abc-d", "ab-cd", "a-bcd", "eel"}},
    };
    int round = 0;
    for (const Case& c : cases) {
        Catalogue::resetForTests();
        Words all;
        int n = 0;
        for (const Words* words : {&c.a, &c.b, &c.c}) {
            const std::string path = ".\\lexicons\\t" + std::to_string(n++) + ".lex";
            writeDictionary(path, *words);
            all.insert(all.end(), words->begin(), words->end());
        }
        catalogue();
        SCOPED_TRACE(::testing::PrintToString(all));
        const std::string name = "twins" + std::to_string(round++);
        ASSERT_EQ(mergeDictionaries({"t0.lex", "t1.lex", "t2.lex"}, name, false, runWork),
                  MaintenanceOutcome::kDone);
        const std::string path = ".\\lexicons\\" + name + ".lex";
        const Words merged = wordsOf(path);
        for (std::size_t i = 1; i < merged.size(); ++i) {
            EXPECT_LE(compareWords(merged[i - 1].c_str(), merged[i].c_str()), 0)
                << merged[i - 1] << " before " << merged[i];
        }
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        Words sorted = merged;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, all);  // every word, once
        ASSERT_NE(catalogue().find(path), nullptr);
        EXPECT_EQ(catalogue().find(path)->header().wordCount, all.size());
    }
}

// The merged dictionaries leave the catalogue and stay as backups; when the new dictionary takes
// the name of one of them, that one is replaced rather than deleted.
TEST_F(MergeDictionariesTest, DeletesTheMergedDictionariesWhenAsked) {
    const std::string oldA = TempFolder::read("lexicons/a.lex");
    m_messages.script({kIdYes, kIdYes});
    ASSERT_EQ(mergeDictionaries({"a.lex", "c.lex"}, "a", true, runWork), MaintenanceOutcome::kDone);
    ASSERT_EQ(m_messages.count(), 2u);
    EXPECT_EQ(m_messages.messages()[1].text,
              "If you delete these dictionaries you will permanently lose all access to the words "
              "they contain:\n\nc.lex\n\nAre you sure you wish to continue.");
    EXPECT_EQ(filesIn("lexicons"), (std::vector<std::string>{"a.lex", "a.lxb", "b.lex", "c.lxb"}));
    EXPECT_EQ(TempFolder::read("lexicons/a.lxb"), oldA);
    EXPECT_EQ(wordsOf(".\\lexicons\\a.lex"),
              (std::vector<std::string>{"ab-c", "Bob", "cat", "dog", "fig", "zebra"}));
    EXPECT_EQ(catalogue().count(), 2u);
    EXPECT_EQ(catalogue().find(".\\lexicons\\c.lex"), nullptr);

    // Declining the deletion keeps the inputs; the merge itself stands.
    m_messages.clear();
    m_messages.script({kIdNo});
    ASSERT_EQ(mergeDictionaries({"a.lex", "b.lex"}, "d", true, runWork), MaintenanceOutcome::kDone);
    EXPECT_EQ(catalogue().count(), 3u);
    EXPECT_TRUE(fileExists(".\\lexicons\\b.lex"));
}

TEST_F(MergeDictionariesTest, CancelOrFailureLeavesNothing) {
    // Six inputs take two steps, so an intermediate file exists when the last move fails.
    std::vector<std::string> names = {"a.lex", "b.lex", "c.lex"};
    for (const char* extra : {"d", "e", "f"}) {
        writeDictionary(std::string(".\\lexicons\\") + extra + ".lex", {extra});
        names.push_back(std::string(extra) + ".lex");
    }
    writeDictionary(".\\lexicons\\new.lex", {"old"});
    const std::string oldNew = TempFolder::read("lexicons/new.lex");
    Catalogue::resetForTests();
    catalogue();
    const StageRunner runners[] = {
        [](ProgressWork& work) {
            work.cancelWork();
            return runWork(work);
        },
        [](ProgressWork& work) {
            auto& merging = dynamic_cast<MergeDictionariesWork&>(work);
            std::filesystem::create_directory(nativePath(merging.outputName()));
            return runWork(work);
        },
    };
    for (const StageRunner& run : runners) {
        m_messages.clear();
        m_messages.script({kIdYes, kIdYes});
        EXPECT_EQ(mergeDictionaries(names, "new", true, run), MaintenanceOutcome::kFailed);
        EXPECT_TRUE(tempFiles().empty());
        EXPECT_EQ(TempFolder::read("lexicons/new.lex"), oldNew);
        EXPECT_EQ(filesIn("lexicons").size(), 7u);
        EXPECT_EQ(catalogue().count(), 7u);
    }
    EXPECT_EQ(m_messages.last().title, "Zantric Exception");
    EXPECT_EQ(m_messages.last().text.rfind("Zantric could not rename this file: ", 0), 0u);
}

}  // namespace
}  // namespace zantric
