#include "core/maintenance/make_dictionary.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <iterator>
#include <map>

#include "core/dictionary/catalogue.h"
#include "core/maintenance/system_word_list.h"
#include "core/shell/settings.h"
#include "maintenance_test_support.h"

namespace zantric {
namespace {

using test::TempFolder;

class MakeDictionaryTest : public test::MaintenanceTest {
protected:
    const std::string kPath = ".\\lexicons\\words.lex";

    MaintenanceOutcome make(const std::string& list, const std::string& name = "words",
                            bool unique = false, const StageRunner& run = runWork) {
        TempFolder::write("list.txt", list);
        return makeDictionary("list.txt", name, unique, run);
    }

    // A list of `lines` valid words, one a line, each line ended by a line feed, and the words
    // the dictionary must hold. Hyphenated words whose letters another word shares with the
    // hyphen elsewhere are left out: their order among each other depends on the runs.
    static std::string wordList(std::size_t lines, std::vector<std::string>& expected) {
        std::map<std::string, std::string> hyphenated;
        std::string list;
        expected.clear();
        for (std::size_t seed = 1; expected.size() < lines; ++seed) {
            for (const std::string& word :
                 test::generateWords(lines, static_cast<unsigned>(seed))) {
                if (expected.size() == lines) break;
                const std::string letters = dropFirstHyphen(word);
                if (word != letters) {
                    auto [it, fresh] = hyphenated.emplace(letters, word);
                    if (!fresh && it->second != word) continue;
                }
                expected.push_back(word);
                list += word + "\n";
            }
        }
        expected = test::inWordOrder(expected);
        return list;
    }
};

TEST_F(MakeDictionaryTest, ListLinesBecomeTheValidWordsEachOnce) {
    const std::string list =
        "  Apple   \napple pie\nAPPLE\nwell-to-do\n-ish\nish-\nabcdefghi\nabcdefghij\n"
        "abcd-efghi\nabcde-fghij\ncaf\xC3\xA9\n\n   \n-\nit's\ncat\t\nx\ry\n"
        "cat\r\nCat\ncat\nmACK-Ie\nmac-kie\nmack-ie\n"
        "dog                    \n"    // 23 characters: one line
        "abcdefghijklmnopqrstuvwx\n"   // 24: a piece of 23, then "x" on its own
        "ab                     cd\n"  // "ab" and spaces make 23, then "cd"
        "abcdefghijklmnopqrstu\n"      // 21 letters
        "abcdefghij-klmnopqrstu\n"     // 21 letters and a hyphen
        "abcdefghij-klmnopqrst\nabcdefghijklmnopqrst\n"
        "zebra";  // no line feed at the end
    ASSERT_EQ(make(list), MaintenanceOutcome::kDone);
    std::vector<std::string> expected = {"x",       "ab",      "cd",        "Cat",
                                         "cat",     "dog",     "Apple",     "zebra",
                                         "mack-ie", "mac-kie", "abcdefghi", "abcd-efghi"};
    expected.insert(expected.end(),
                    {"abcdefghij", "abcde-fghij", "abcdefghijklmnopqrst", "abcdefghij-klmnopqrst"});
    EXPECT_EQ(wordsOf(kPath), expected);
    EXPECT_EQ(catalogue().find(kPath)->header().wordCount, expected.size());
    EXPECT_TRUE(tempFiles().empty());
}

// Lists around the run size: the dictionary is byte for byte what the writer makes of the
// sorted words, and nothing is left in the temporary folder.
TEST_F(MakeDictionaryTest, ListsOfAnySizeGiveTheWritersDictionary) {
    struct Case {
        std::size_t lines;
        std::size_t runs;  // run files after validating: a final line feed after 3000 slots
                           // opens a run of its own, which stays empty
    };
    for (const Case c : {Case{3000, 2}, Case{3001, 2}, Case{15001, 6}}) {
        SCOPED_TRACE(c.lines);
        std::vector<std::string> expected;
        const std::string list = wordList(c.lines, expected);
        std::size_t runsAfterSort = 0;
        int stage = 0;
        const StageRunner countRuns = [&](ProgressWork& work) {
            const int result = runWork(work);
            if (stage++ == 0) runsAfterSort = tempFiles().size();
            return result;
        };
        // A remade dictionary replaces the old one, which stays as the backup, and starts
        // unselected.
        const std::string oldBytes = TempFolder::read("lexicons/words.lex");
        if (!oldBytes.empty()) {
            catalogue().setSelected(kPath, true);
            m_messages.script({kIdYes});
        }
        ASSERT_EQ(make(list, "words", false, countRuns), MaintenanceOutcome::kDone);
        EXPECT_EQ(TempFolder::read("lexicons/words.lxb"), oldBytes);
        EXPECT_FALSE(catalogue().find(kPath)->selected());
        EXPECT_EQ(runsAfterSort, c.runs);
        writeDictionary("expected.lex", expected);
        EXPECT_EQ(bytesWithoutCreated(kPath), bytesWithoutCreated("expected.lex"));
        EXPECT_EQ(catalogue().find(kPath)->header().wordCount, expected.size());
        EXPECT_TRUE(tempFiles().empty());
    }
}

TEST_F(MakeDictionaryTest, ChecksComeFirstWithTheirMessages) {
    writeDictionary(kPath, {"old"});
    const std::string oldBytes = TempFolder::read("lexicons/words.lex");
    TempFolder::write("list.txt", "new\n");
    TempFolder::write("spaces.txt", "   \nit's\nabcdefghijklmnopqrstu\n\n");  // 21 letters: no word
    std::filesystem::create_directory("folder");
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    const char* kNames = "You must supply a File Name and a Dictionary Name.";
    const std::string here = std::filesystem::current_path().string() + "/";
    struct Case {
        std::string file, name, text, title;
        MaintenanceOutcome outcome = MaintenanceOutcome::kStopped;
    };
    const Case cases[] = {
        {"", "words", kNames, "Error"},
        {"list.txt", "", kNames, "Error"},
        {"missing.txt", "other", "Unable to find File: " + here + "missing.txt", "Error"},
        {"folder", "other", "Unable to find File: " + here + "folder", "Error"},
        {"fifo", "other", "Unable to find File: " + here + "fifo", "Error"},
        // The name is checked before the word list is looked at.
        {"missing.txt", "other.txt", kDictionaryNameRule, "Input Error"},
        {"list.txt", std::string(252, 'x'), kDictionaryNameTooLong, "Input Error"},
        {"list.txt", "Words.LEX", "Dictionary already exists. Overwrite?", "Warning"},
        {"spaces.txt", "other",
         "Your word list contains no valid words. No Dictionary has been created.", "Warning",
         MaintenanceOutcome::kFailed},
        {"list.txt", "other",  // with another copy of the program running
         "Zantric cannot change dictionaries while another copy of Zantric is running.\nClose "
         "the other copies of Zantric and try again.",
         "Warning"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        m_messages.clear();
        if (&c == &std::end(cases)[-1]) {
            TempFolder::write("temp/$$a.zti", "");
            TempFolder::write("temp/$$b.zti", "");
        }
        EXPECT_EQ(makeDictionary(c.file, c.name, false, runWork), c.outcome);
        ASSERT_EQ(m_messages.count(), 1u);
        EXPECT_EQ(m_messages.last().text, c.text);
        EXPECT_EQ(m_messages.last().title, c.title);
        EXPECT_EQ(TempFolder::read("lexicons/words.lex"), oldBytes);
        EXPECT_EQ(filesIn("lexicons"), std::vector<std::string>{"words.lex"});
        EXPECT_EQ(tempFiles().size(), &c == &std::end(cases)[-1] ? 2u : 0u);
    }
}

// Cancelled or failed at any stage: no run, merged, intermediate or temporary file is left and
// the old dictionary is as it was.
TEST_F(MakeDictionaryTest, CancelOrFailureAtAnyStageLeavesNothingAndKeepsTheOldDictionary) {
    writeDictionary(kPath, {"old"});
    catalogue().setSelected(kPath, true);
    const std::string oldBytes = TempFolder::read("lexicons/words.lex");
    std::vector<std::string> words;
    const std::string list = wordList(15001, words);
    // Each failure is a folder standing where the stage must write or read a file.
    const std::function<void(ProgressWork&)> failures[] = {
        [](ProgressWork&) {
            std::filesystem::create_directory(
                nativePath(Settings::instance().tempPath(runFileBase() + "3")));
        },
        [](ProgressWork& work) {
            std::filesystem::create_directory(
                nativePath(dynamic_cast<MergeRunsStage&>(work).mergedName()));
        },
        [](ProgressWork& work) {
            const std::string merged = dynamic_cast<WriteDictionaryStage&>(work).mergedName();
            removeFile(merged);
            std::filesystem::create_directory(nativePath(merged));
        },
    };
    for (int stage = 0; stage < 3; ++stage) {
        for (bool cancel : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << "stage " << stage << (cancel ? " cancelled" : " failed"));
            m_messages.clear();
            m_messages.script({kIdYes});
            int current = 0;
            const StageRunner run = [&](ProgressWork& work) {
                if (current++ == stage) cancel ? work.cancelWork() : failures[stage](work);
                return runWork(work);
            };
            EXPECT_EQ(make(list, "words", false, run), MaintenanceOutcome::kFailed);
            EXPECT_EQ(current, stage + 1);
            EXPECT_TRUE(tempFiles().empty());
            EXPECT_EQ(TempFolder::read("lexicons/words.lex"), oldBytes);
            EXPECT_EQ(filesIn("lexicons"), std::vector<std::string>{"words.lex"});
            EXPECT_TRUE(catalogue().isSelected(kPath));
            EXPECT_EQ(m_messages.last().title, cancel ? "Warning" : "Zantric Exception");
            std::filesystem::remove_all("temp");
            std::filesystem::create_directory("temp");
        }
    }
}

TEST_F(MakeDictionaryTest, UniqueWordsLeaveOutWhatSelectedDictionariesHold) {
    EXPECT_FALSE(uniqueWordsPossible());
    EXPECT_EQ(m_messages.last().title, "No Dictionaries Selected");

    // Seventeen selected dictionaries: more than may be open at once.
    std::string list = "eel\ncow\nfox\nabc-d\nab-cd\nCat\ncat\ndog\n";
    for (int i = 0; i < 17; ++i) {
        const std::string word = "w" + std::string(1, static_cast<char>('a' + i));
        writeDictionary(".\\lexicons\\d" + std::to_string(i) + ".lex", {word});
        list += word + "\n";
    }
    // Words whose letters agree but whose hyphens differ are read together.
    writeDictionary(".\\lexicons\\a.lex", {"cat", "dog", "a-bcd", "ab-cd", "abcd"});
    writeDictionary(".\\lexicons\\unused.lex", {"cow"});
    writeDictionary(kPath, {"eel"});  // the dictionary being remade is not consulted
    Catalogue::resetForTests();
    for (const CatalogueEntry& entry : catalogue().entries()) {
        if (entry.displayName() != "unused.lex") catalogue().setSelected(entry.path(), true);
    }
    m_messages.clear();
    EXPECT_TRUE(uniqueWordsPossible());
    m_messages.script({kIdYes});
    ASSERT_EQ(make(list, "words", true), MaintenanceOutcome::kDone);
    EXPECT_EQ(wordsOf(kPath), (std::vector<std::string>{"Cat", "cow", "eel", "fox", "abc-d"}));
    EXPECT_TRUE(tempFiles().empty());
}

// The starter dictionary leaves out abbreviations, stray single letters and words without a
// vowel before the word rules fold them into words like Crt; proper names stay. It is selected.
TEST_F(MakeDictionaryTest, StarterLeavesOutAbbreviationsSingleLettersAndVowellessWords) {
    TempFolder::write("list.txt",
                      "a\nI\nA\ni\nb\nX\nCRT\nIRAs\nOK\nLn\nhmm\nTsk\nnth\nMcDonald\nLynn\n"
                      "Ohio\ncrypt\nmy\nBob's\nco-op\n  cat  \n\n1234\n");
    ASSERT_EQ(makeStarterDictionary("list.txt", runWork), MaintenanceOutcome::kDone);
    const std::string path = ".\\lexicons\\english.lex";
    EXPECT_EQ(wordsOf(path), (std::vector<std::string>{"a", "I", "my", "cat", "co-op", "Lynn",
                                                       "Ohio", "crypt", "Mcdonald"}));
    EXPECT_TRUE(catalogue().find(path)->selected());
    // A second make asks before replacing it.
    m_messages.script({kIdNo});
    EXPECT_EQ(makeStarterDictionary("list.txt", runWork), MaintenanceOutcome::kStopped);
    EXPECT_EQ(m_messages.last().text, "Dictionary already exists. Overwrite?");
    EXPECT_TRUE(tempFiles().empty());
}

}  // namespace
}  // namespace zantric
