// The first-start offer of a dictionary made from the system word list: offered only to an
// empty catalogue with a word list to hand; No changes nothing; Yes makes english.lex with
// the progress dialog and selects it; a word list that gives no word leaves nothing behind.
#include "gui/starter_dictionary.h"

#include <filesystem>

#include "core/dictionary/catalogue.h"
#include "core/maintenance/system_word_list.h"
#include "core/shell/messages.h"
#include "gui_test_support.h"

namespace zantric::test {

using gui::StarterOutcome;

class StarterDictionaryTest : public QObject {
    Q_OBJECT
private slots:
    void offer_data() {
        QTest::addColumn<bool>("haveDictionary");
        QTest::addColumn<QString>("wordList");  // file content; "-" for no word list
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("englishWords");  // -1: no english.lex

        const auto row = [](const char* name, bool have, const char* list, int answer,
                            StarterOutcome outcome, int questions, int words) {
            QTest::newRow(name) << have << QString(list) << answer << static_cast<int>(outcome)
                                << questions << words;
        };
        row("a dictionary is listed", true, "cat\ndog\n", kIdYes, StarterOutcome::kNotOffered, 0,
            -1);
        row("no word list", false, "-", kIdYes, StarterOutcome::kNotOffered, 0, -1);
        row("declined", false, "cat\ndog\n", kIdNo, StarterOutcome::kDeclined, 1, -1);
        row("made", false, "cat\nDog\nco-op\ntoo-long-word\ncat\n", kIdYes, StarterOutcome::kMade,
            1, 3);
        row("no valid word", false, "1234\n--\n", kIdYes, StarterOutcome::kFailed, 1, -1);
    }

    void offer() {
        QFETCH(bool, haveDictionary);
        QFETCH(QString, wordList);
        QFETCH(int, answer);
        QFETCH(int, outcome);
        QFETCH(int, questions);
        QFETCH(int, englishWords);

        ProgramFolder folder;
        if (haveDictionary) ProgramFolder::addDictionary("mine.lex", {"emu"}, false);
        RecordingPresenter presenter;
        Catalogue::instance();  // an empty catalogue says so first
        presenter.clear();
        std::string listName;
        if (wordList != "-") {
            listName = (folder.path() / "word list.txt").string();
            TempFolder::write(listName, wordList.toStdString());
        }
        presenter.script({answer});

        QWidget parent;
        QCOMPARE(static_cast<int>(gui::offerStarterDictionary(&parent, listName)), outcome);

        const auto messages = presenter.messages();
        const auto asked = std::count_if(messages.begin(), messages.end(), [&](const auto& m) {
            return m.text.find(" " + listName + " and ") != std::string::npos &&
                   m.style == (kMbYesNo | 0x20);
        });
        QCOMPARE(static_cast<int>(asked), questions);
        CatalogueEntry* english = Catalogue::instance().find(".\\lexicons\\english.lex");
        if (englishWords < 0) {
            QVERIFY(english == nullptr);
            QVERIFY(!std::filesystem::exists("lexicons/english.lex"));
        } else {
            QVERIFY(english != nullptr);
            QVERIFY(english->selected());
            QCOMPARE(static_cast<int>(english->header().wordCount), englishWords);
        }
        // Nothing of the making is left in the temporary folder.
        QVERIFY(std::filesystem::is_empty("temp"));
    }

    void systemWordListIsTheFirstReadableCandidate() {
        TempFolder folder;
        TempFolder::write("words", "cat\n");
        std::filesystem::create_directory("american-english");  // a folder is no word list
        const std::string missing = (folder.path() / "missing").string();
        const std::string directory = (folder.path() / "american-english").string();
        const std::string words = (folder.path() / "words").string();
        QCOMPARE(firstReadableWordList({missing, directory, words}), words);
        QCOMPARE(firstReadableWordList({missing, directory}), std::string());
    }
};

ZANTRIC_GUI_TEST(StarterDictionaryTest);

}  // namespace zantric::test

#include "starter_dictionary_test.moc"
