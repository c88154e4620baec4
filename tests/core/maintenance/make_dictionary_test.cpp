#include "core/maintenance/make_dictionary.h"

#include <gtest/gtest.h>

#include "core/dictionary/dictionary_language.h"
#include "core/maintenance/make_dictionary_stages.h"
#include "core/maintenance/system_word_list.h"
#include "core/sort/run_file_name.h"
#include "support/word_list_files.h"

namespace zantric {
namespace {

using test::TempFolder;
using test::Words;

constexpr const char* kPath = "./lexicons/words.lex";

class MakeDictionaryTest : public test::MaintenanceTest {
protected:
    MaintenanceOutcome make(const std::string& list, bool unique = false,
                            const StageRunner& run = runWork) {
        TempFolder::write("list.txt", list);
        return makeDictionary(workspace(), "list.txt", "words", unique, run);
    }
    // A list of `lines` valid words, one a line, and the words the dictionary must hold. (The
    // order of hyphenated twins depends on the runs: the merge tests look at them.)
    static std::string wordList(std::size_t lines, Words& expected) {
        std::string list;
        for (const std::string& word : test::generateWords(lines * 2)) {
            if (word.find('-') != std::string::npos || expected.size() == lines) continue;
            expected.push_back(word);
            list += word + "\n";
        }
        expected = test::inWordOrder(expected);
        return list;
    }
};

// The dictionary is byte for byte what the writer makes of the sorted words. A remade one
// replaces the old, which stays as the backup, and stays selected.
TEST_F(MakeDictionaryTest, ListsOfAnySizeGiveTheWritersDictionary) {
    // Run files after validating: a final line feed after 3000 slots opens an empty run.
    for (const auto& [lines, runs] : {std::pair{3000u, 2u}, {3001u, 2u}, {15001u, 6u}}) {
        SCOPED_TRACE(lines);
        Words expected;
        const std::string list = wordList(lines, expected);
        std::size_t runsAfterSort = 0;
        int stage = 0;
        const StageRunner countRuns = [&](ProgressWork& work) {
            const WorkResult result = runWork(work);
            if (stage++ == 0) runsAfterSort = tempFiles().size();
            return result;
        };
        const std::string oldBytes = TempFolder::read("lexicons/words.lex");
        if (!oldBytes.empty()) {
            catalogue().setSelected(kPath, true);
            m_messages.script({test::kIdYes});
        }
        ASSERT_EQ(make(list, false, countRuns), MaintenanceOutcome::kDone);
        EXPECT_EQ(TempFolder::read("lexicons/words.lxb"), oldBytes);
        EXPECT_EQ(catalogue().find(kPath)->selected(), !oldBytes.empty());
        EXPECT_EQ(runsAfterSort, runs);
        test::writeDictionary("expected.lex", expected);
        std::string expectedBytes = bytesWithoutCreated("expected.lex");
        if (!oldBytes.empty()) expectedBytes[kHeaderOffset + 14] = 1;  // selected in its header
        EXPECT_EQ(bytesWithoutCreated(kPath), expectedBytes);
        EXPECT_EQ(catalogue().find(kPath)->header().wordCount, expected.size());
        EXPECT_TRUE(tempFiles().empty());
    }
}

TEST_F(MakeDictionaryTest, ChecksComeFirstWithTheirMessages) {
    writeDictionary(kPath, {"old"});
    const std::string oldBytes = TempFolder::read("lexicons/words.lex");
    TempFolder::write("list.txt", "new\n");
    TempFolder::write("spaces.txt", "   \nit's\nabcdefghijklmnopqrstu\n\n");
    const char* kNames = "You must supply a File Name and a Dictionary Name.";
    const std::string here = std::filesystem::current_path().string() + "/";
    const struct {
        std::string file, name, text, title;
        MaintenanceOutcome outcome = MaintenanceOutcome::kStopped;
    } cases[] = {
        {"", "words", kNames, "Error"},
        {"list.txt", "", kNames, "Error"},
        {"missing.txt", "other", "Unable to find File: " + here + "missing.txt", "Error"},
        // The name is checked before the word list is looked at.
        {"missing.txt", "other.txt", kDictionaryNameRule, "Input Error"},
        {"list.txt", "Words.LEX", "Dictionary already exists. Overwrite?", "Warning"},
        {"spaces.txt", "other",
         "Your word list contains no valid words. No Dictionary has been created.", "Warning",
         MaintenanceOutcome::kFailed},
        {"list.txt", "other",  // with another copy of the program running
         "Zantric cannot change dictionaries while another copy of Zantric is running.\nClose "
         "the other copies of Zantric and try again.",
         "Warning"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        m_messages.clear();
        if (&c == &std::end(cases)[-1]) {
            TempFolder::write("temp/$$a.zti", "");
            TempFolder::write("temp/$$b.zti", "");
        }
        EXPECT_EQ(makeDictionary(workspace(), c.file, c.name, false, runWork), c.outcome);
        ASSERT_EQ(m_messages.count(), 1u);
        EXPECT_EQ(m_messages.last().text, c.text);
        EXPECT_EQ(m_messages.last().title, c.title);
        EXPECT_EQ(TempFolder::read("lexicons/words.lex"), oldBytes);
        EXPECT_EQ(filesIn("lexicons"), Words{"words.lex"});
        EXPECT_EQ(tempFiles().size(), &c == &std::end(cases)[-1] ? 2u : 0u);
    }
}

// What each line of a list came to, with the first few lines of each fault: a line that is no
// word is skipped whole however long it is; a byte-order mark and runs of spaces change nothing.
TEST_F(MakeDictionaryTest, TheReportSaysWhatEachLineCameTo) {
    const std::string spaces(300, ' '), cafes = "café\ncafé\ncafé\ncafé\ncafé\ncafé\n";
    const struct {
        std::string list;
        Words words;  // none: no dictionary is made
        Words report;
        Language language = Language::kEnglish;
        Words shown = {};  // the words as `words` shows them, where they differ
    } cases[] = {
        {"\xEF\xBB\xBF"
         "cat\r\nsupercalifragilisticexpialidocious\n" +
             spaces + "Owl" + spaces + "\n\n  \ncat\nAbcdefghijklmnopqrstuvwxyz\n",
         {"cat", "Owl"},
         {"2 words stored, 4 lines skipped", "  empty: 2, such as line 4, line 5",
          "  too long (more than 20 letters): 2, such as line 2 "
          "\"supercalifragilisticexpialidocio…\", line 7 \"Abcdefghijklmnopqrstuvwxyz\"",
          "repeated words (each stored once): 1"}},
        {"co--op\n-ish\n" + std::string(31, 'a') + "é\na\tb\x01\n" + cafes + "a b\nc d\n",
         {},
         {"12 lines skipped",
          "  characters outside a–z: 10, such as line 3 \"" + std::string(31, 'a') +
              "…\", line 4 \"a\\x09b\\x01\", line 5 \"café\", line 6 \"café\", line 7 "
              "\"café\", …",
          "  more than one hyphen, or a hyphen first or last: 2, such as line 1 \"co--op\", line 2 "
          "\"-ish\""}},
        // Folded: é is e; what still is no word is told by its reason.
        {"élève\nÉlire\nbaratté\nbaratte\naujourd'hui\netc.\nR2D2\nαβγ\nabri-sous-roche\n",
         {"eleve", "Elire", "baratte"},
         {"3 words stored, 5 lines skipped",
          "  more than one hyphen, or a hyphen first or last: 1, such as line 9 "
          "\"abri-sous-roche\"",
          "  an apostrophe: 1, such as line 5 \"aujourd'hui\"",
          "  digits: 1, such as line 7 \"R2D2\"",
          "  an abbreviation (a full stop at the end): 1, such as line 6 \"etc.\"",
          "  letters with no a–z spelling: 1, such as line 8 \"αβγ\"",
          "repeated words (each stored once): 1"},
         Language::kFrench,
         {"élève", "Élire", "baratte/baratté"}},
        // German spells the umlauts out: Bände is no anagram of abend.
        {"Bände\nBande\nStraße\nABC\n",
         {"Abc", "Bande", "Baende", "Strasse"},
         {"4 words stored, 0 lines skipped"},
         Language::kGerman,
         {"ABC", "Bande", "Bände", "Straße"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report.front());
        std::filesystem::remove(kPath);  // no question to overwrite it
        TempFolder::write("list.txt", c.list);
        WordListReport report;
        const char* name = c.words.empty() ? "none" : "words";
        EXPECT_EQ(makeDictionary(workspace(), "list.txt", name, false, runWork, nullptr, &report,
                                 c.language),
                  c.words.empty() ? MaintenanceOutcome::kFailed : MaintenanceOutcome::kDone);
        if (!c.words.empty()) {
            EXPECT_EQ(dictionaryLanguage(kPath), c.language);
        }
        const Spellings spellings = dictionarySpellings(kPath);
        Words shown;
        std::string room;
        for (const std::string& word : c.words) {
            if (!c.shown.empty()) shown.push_back(spellings.shown(word, room));
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_TRUE(report.readToEnd);
        EXPECT_EQ(describeReport(report, [](std::uint64_t n) { return std::to_string(n); }),
                  c.report);
        EXPECT_EQ(c.words.empty() ? Words{} : test::wordsOf(kPath), c.words);
    }
}

// Cancelled or failed at any stage: no run, merged, intermediate or temporary file is left and
// the old dictionary is as it was. Each failure is a folder where the stage must write a file.
TEST_F(MakeDictionaryTest, CancelOrFailureAtAnyStageLeavesNothingAndKeepsTheOldDictionary) {
    writeDictionary(kPath, {"old"});
    catalogue().setSelected(kPath, true);
    const std::string oldBytes = TempFolder::read("lexicons/words.lex");
    Words words;
    const std::string list = wordList(15001, words);
    const std::function<std::string(ProgressWork&)> inTheWay[] = {
        [this](ProgressWork&) { return settings().tempPath(runFileBase(settings()) + "3"); },
        [](ProgressWork& work) { return dynamic_cast<MergeRunsStage&>(work).mergedName(); },
        [](ProgressWork& work) {
            std::string merged = dynamic_cast<WriteDictionaryStage&>(work).mergedName();
            removeFile(merged);
            return merged;
        },
    };
    for (int stage = 0; stage < 3; ++stage) {
        for (bool cancel : {true, false}) {
            SCOPED_TRACE(testing::Message() << stage << (cancel ? " cancelled" : " failed"));
            m_messages.clear();
            m_messages.script({test::kIdYes});
            int current = 0;
            const StageRunner run = [&](ProgressWork& work) {
                if (current++ == stage && cancel) work.cancelWork();
                if (current == stage + 1 && !cancel)
                    std::filesystem::create_directory(inTheWay[stage](work));
                return runWork(work);
            };
            EXPECT_EQ(make(list, false, run), MaintenanceOutcome::kFailed);
            EXPECT_EQ(current, stage + 1);
            EXPECT_TRUE(tempFiles().empty());
            EXPECT_EQ(TempFolder::read("lexicons/words.lex"), oldBytes);
            EXPECT_EQ(filesIn("lexicons"), Words{"words.lex"});
            EXPECT_TRUE(catalogue().isSelected(kPath));
            EXPECT_EQ(m_messages.last().title, cancel ? "Warning" : "Zantric Exception");
            std::filesystem::remove_all("temp");
            std::filesystem::create_directory("temp");
        }
    }
}

// Seventeen selected dictionaries: more than may be open at once. Words whose letters agree
// but whose hyphens differ are read together; the dictionary being remade is not consulted.
TEST_F(MakeDictionaryTest, UniqueWordsLeaveOutWhatSelectedDictionariesHold) {
    EXPECT_FALSE(uniqueWordsPossible(workspace()));
    EXPECT_EQ(m_messages.last().title, "No Dictionaries Selected");
    std::string list = "eel\ncow\nfox\nabc-d\nab-cd\nCat\ncat\ndog\n";
    for (char i = 'a'; i < 'a' + 17; ++i) {
        writeDictionary(test::lexPath(std::string("d") + i + ".lex"), {std::string("w") + i});
        list += std::string("w") + i + "\n";
    }
    writeDictionary("./lexicons/a.lex", {"cat", "dog", "a-bcd", "ab-cd", "abcd"});
    writeDictionary("./lexicons/unused.lex", {"cow"});
    writeDictionary(kPath, {"eel"});
    m_catalogue.reset();
    for (const CatalogueEntry& entry : catalogue().entries()) {
        if (entry.displayName() != "unused.lex") catalogue().setSelected(entry.path(), true);
    }
    EXPECT_TRUE(uniqueWordsPossible(workspace()));
    m_messages.script({test::kIdYes});
    ASSERT_EQ(make(list, true), MaintenanceOutcome::kDone);
    EXPECT_EQ(test::wordsOf(kPath), (Words{"Cat", "cow", "eel", "fox", "abc-d"}));
    EXPECT_TRUE(tempFiles().empty());
}

// The starter dictionary leaves out abbreviations, stray single letters and words without a
// vowel before the word rules fold them into words like Crt; proper names stay, and so does a
// word whose capital is not its first letter (eBay). It is selected.
TEST_F(MakeDictionaryTest, StarterLeavesOutAbbreviationsSingleLettersAndVowellessWords) {
    TempFolder::write("list.txt",
                      "a\nI\nA\ni\nb\nX\nCRT\nIRAs\nOK\nLn\nhmm\nTsk\nnth\nMcDonald\neBay\nLynn\n"
                      "Ohio\ncrypt\nmy\nBob's\nco-op\n  cat  \n   \n1234\n");
    WordListReport report;
    ASSERT_EQ(makeStarterDictionary(workspace(), "list.txt", runWork, &report),
              MaintenanceOutcome::kDone);
    const std::string path = "./lexicons/english.lex";
    EXPECT_EQ(test::wordsOf(path),
              (Words{"a", "I", "my", "cat", "co-op", "ebay", "Lynn", "Ohio", "crypt", "Mcdonald"}));
    const Words told = describeReport(report, [](std::uint64_t n) { return std::to_string(n); });
    EXPECT_EQ(told.front(), "10 words stored, 3 lines skipped");
    EXPECT_EQ(told.back(),
              "left out (abbreviations, single letters other than a and I, words without a "
              "vowel): 11");
    EXPECT_TRUE(catalogue().find(path)->selected());
}

}  // namespace
}  // namespace zantric
