// The dictionary dialogs from the user's side: Make Dictionary From File, Merge Dictionaries and
// Add Word / Remove Word check what was typed in order and say why they stop; what they make is
// listed with its word count and unselected; a cancel in any stage leaves the old dictionary and
// no temporary file; a word list without a word is said so in a box in front of the dialog,
// which Enter answers; the uniqueness reminder writes its ini key at once; the dictionary field
// refuses characters a name cannot hold; and an open Select Dictionaries list shows every change
// made from its menu.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <cctype>
#include <fstream>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/maintenance/instance_marker.h"
#include "core/shell/settings.h"
#include "gui/command_ids.h"
#include "gui/main_window.h"
#include "gui/make_dictionary_dialog.h"
#include "gui/merge_dialog.h"
#include "gui/progress_dialog.h"
#include "gui/qt_message_presenter.h"
#include "gui/search_panel.h"
#include "gui/select_dictionaries_dialog.h"
#include "gui/word_dialog.h"
#include "gui_test_support.h"
#include "support/recorder_presenter.h"

namespace zantric::test {
namespace {

using gui::MakeDictionaryDialog;
using gui::MergeDialog;
using gui::WordDialog;

std::string lexicon(const std::string& name) { return ".\\lexicons\\" + name; }

// The catalogue's word count of a dictionary, -1 when it is not listed.
long listedWords(const std::string& name) {
    const CatalogueEntry* entry = Catalogue::instance().find(lexicon(name));
    return entry ? static_cast<long>(entry->header().wordCount) : -1;
}

bool listedSelected(const std::string& name) {
    return Catalogue::instance().isSelected(lexicon(name));
}

// The files left in the temporary folder.
std::vector<std::string> temporaryFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("temp")) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

std::string fileBytes(const std::string& path) { return TempFolder::read(path); }

// Texts of the messages shown, in order.
std::vector<std::string> texts(const RecorderPresenter& messages) {
    std::vector<std::string> result;
    for (const RecordedMessage& m : messages.messages()) result.push_back(m.text);
    return result;
}

QStringList comboRows(const QComboBox* box) {
    QStringList rows;
    for (int i = 0; i < box->count(); ++i) rows << box->itemText(i);
    return rows;
}

// Writes a word list of `count` distinct five-letter words.
void writeWordList(const std::string& path, int count) {
    std::ofstream out(path);
    char word[6] = {};
    for (int i = 0; i < count; ++i) {
        int n = i;
        for (int k = 4; k >= 0; --k, n /= 26) word[k] = static_cast<char>('a' + n % 26);
        out << word << '\n';
    }
}

}  // namespace

class DictionaryDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void makeDictionaryChecksThenMakes();
    void cancelInAnyStageLeavesTheOldDictionary();
    void wordListWithoutWordsIsSaidInFront();
    void uniqueWordsReminder();
    void mergeChecksThenMerges();
    void updateDictionaryChecksThenChanges();
    void dictionaryFieldRefusesOtherCharacters();
    void selectDictionariesShowsChangesMadeFromItsMenu();
    void anotherCopyDisablesTheChangingCommands();
};

void DictionaryDialogsTest::makeDictionaryChecksThenMakes() {
    const struct {
        const char* name;
        const char* file;
        const char* dictionary;
        std::initializer_list<int> answers;
        std::vector<std::string> messages;
        MaintenanceOutcome outcome;
        long words;  // of old.lex afterwards
    } cases[] = {
        {"no names",
         "",
         "",
         {},
         {"You must supply a File Name and a Dictionary Name."},
         MaintenanceOutcome::kStopped,
         2},
        {"no dictionary name",
         "list.txt",
         "",
         {},
         {"You must supply a File Name and a Dictionary Name."},
         MaintenanceOutcome::kStopped,
         2},
        {"missing list",
         "none.txt",
         "new",
         {},
         {"Unable to find File: (here)/none.txt"},
         MaintenanceOutcome::kStopped,
         2},
        {"existing, No",
         "list.txt",
         "old",
         {kIdNo},
         {"Dictionary already exists. Overwrite?"},
         MaintenanceOutcome::kStopped,
         2},
        {"existing, Yes",
         "list.txt",
         "Old",
         {kIdYes},
         {"Dictionary already exists. Overwrite?"},
         MaintenanceOutcome::kDone,
         5},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        ProgramFolder::addDictionary("old.lex", {"cat", "dog"}, true);
        TempFolder::write("list.txt", "Emu\nemu\nAPPLE\napple pie\nco-op\n\n  yak  \n");
        const std::string before = fileBytes("lexicons/old.lex");
        RecordingPresenter messages;
        messages.script(c.answers);
        MakeDictionaryDialog dialog(nullptr);
        dialog.fileNameEdit()->setText(QString::fromLatin1(c.file));
        dialog.dictionaryNameEdit()->setText(QString::fromLatin1(c.dictionary));
        QVERIFY2(dialog.makeDictionary() == c.outcome, c.name);
        // A message names a file by its full path.
        std::vector<std::string> expected = c.messages;
        for (std::string& text : expected) {
            if (const auto at = text.find("(here)"); at != std::string::npos) {
                text.replace(at, 6, std::filesystem::current_path().string());
            }
        }
        QVERIFY2(texts(messages) == expected, c.name);
        QVERIFY2(listedWords("old.lex") == c.words, c.name);
        if (c.outcome == MaintenanceOutcome::kDone) {
            // Remade: unselected, the old file beside it as its backup.
            QVERIFY2(!listedSelected("old.lex"), c.name);
            QVERIFY2(fileBytes("lexicons/old.lxb") == before, c.name);
            QStringList words;
            DictionaryReader reader(lexicon("old.lex"), false, 4096);
            char word[kOutWordSize];
            for (const char* pattern = "*"; reader.nextMatch(word, pattern) == kMatchFound;
                 pattern = nullptr) {
                words << QString::fromLatin1(word);
            }
            words.sort();
            QCOMPARE(words, (QStringList{"Apple", "Emu", "co-op", "emu", "yak"}));
        } else {
            QVERIFY2(fileBytes("lexicons/old.lex") == before, c.name);
        }
        QVERIFY2(temporaryFiles().empty(), c.name);
    }
}

void DictionaryDialogsTest::cancelInAnyStageLeavesTheOldDictionary() {
    for (const char* stage :
         {"Validating and Sorting", "Rebuilding words", "Creating Dictionary"}) {
        ProgramFolder folder;
        ProgramFolder::addDictionary("old.lex", {"cat", "dog"}, false);
        writeWordList("big.txt", 600000);
        const std::string before = fileBytes("lexicons/old.lex");
        RecordingPresenter messages;
        messages.script({kIdYes, kIdYes});  // overwrite, then cancel
        MakeDictionaryDialog dialog(nullptr);
        dialog.fileNameEdit()->setText(QStringLiteral("big.txt"));
        dialog.dictionaryNameEdit()->setText(QStringLiteral("old"));
        bool asked = false;
        whenReady(
            [&] {
                auto* progress = dialog.findChild<gui::ProgressDialog*>();
                return progress != nullptr &&
                       progress->findChild<QLabel*>()->text() == QLatin1String(stage);
            },
            [&] {
                asked = true;
                dialog.findChild<gui::ProgressDialog*>()->reject();
            });
        QVERIFY2(dialog.makeDictionary() == MaintenanceOutcome::kFailed, stage);
        QVERIFY2(asked, stage);
        QVERIFY2(fileBytes("lexicons/old.lex") == before, stage);
        QVERIFY2(listedWords("old.lex") == 2, stage);
        QVERIFY2(!std::filesystem::exists("lexicons/old.lxb"), stage);
        QVERIFY2(temporaryFiles().empty(), stage);
        QCOMPARE(messages.last().text, std::string("Are you sure you want to Cancel?"));
    }
}

void DictionaryDialogsTest::wordListWithoutWordsIsSaidInFront() {
    gui::QtMessagePresenter qtPresenter;
    std::string junk;  // bytes of every kind but letters
    for (int i = 0; i < 20000; ++i) {
        const char c = static_cast<char>((i * 7919) % 256);
        if (!std::isalpha(static_cast<unsigned char>(c))) junk += c;
    }
    for (const std::string& list : {std::string("123\n456\nhello world\n"), junk}) {
        ProgramFolder folder;
        ProgramFolder::addDictionary("a.lex", {"cat"});
        TempFolder::write("nowords.txt", list);
        ScopedPresenter scope(qtPresenter);  // real boxes, answered by keys
        MakeDictionaryDialog dialog(nullptr);
        dialog.show();
        dialog.fileNameEdit()->setText(QStringLiteral("nowords.txt"));
        dialog.dictionaryNameEdit()->setText(QStringLiteral("nowords"));
        SeenBox seen;
        answerNextBoxWithEnter(&dialog, seen);
        QVERIFY(dialog.makeDictionary() == MaintenanceOutcome::kFailed);
        QVERIFY(seen.text.simplified().startsWith("Your word list contains no valid words."));
        QCOMPARE(seen.owner, &dialog);
        QVERIFY(!seen.progressShown);
        QVERIFY(seen.answeredByEnter);
        QVERIFY(!std::filesystem::exists("lexicons/nowords.lex"));
        QCOMPARE(listedWords("nowords.lex"), -1L);
        QVERIFY(temporaryFiles().empty());
        QVERIFY(dialog.isVisible());
    }
}

void DictionaryDialogsTest::uniqueWordsReminder() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("a.lex", {"cat"}, false);
    RecordingPresenter messages;
    MakeDictionaryDialog dialog(nullptr);
    // Nothing selected to check against: the box will not stay ticked.
    dialog.uniqueWordsBox()->click();
    QVERIFY(!dialog.uniqueWordsBox()->isChecked());
    QCOMPARE(messages.last().title, std::string("No Dictionaries Selected"));

    Catalogue::instance().setSelected(lexicon("a.lex"), true);
    auto key = [] { return Settings::instance().readInt("REMINDERS", "Unique Warning", 0); };
    int reminders = 0;
    std::vector<int> keysSeen;
    auto answerReminder = [&](int clicks) {
        whenReady([] { return qobject_cast<gui::ReminderBox*>(QApplication::activeModalWidget()); },
                  [&, clicks] {
                      auto* reminder =
                          qobject_cast<gui::ReminderBox*>(QApplication::activeModalWidget());
                      ++reminders;
                      // Every click writes the key at once.
                      for (int i = 0; i < clicks; ++i) {
                          reminder->doNotShowBox()->click();
                          keysSeen.push_back(key());
                      }
                      reminder->accept();
                  });
    };
    answerReminder(2);
    dialog.uniqueWordsBox()->click();  // ticked: the reminder; ticked and unticked again
    QVERIFY(dialog.uniqueWordsBox()->isChecked());
    QCOMPARE(keysSeen, (std::vector<int>{1, 0}));
    dialog.uniqueWordsBox()->click();  // unticked: no reminder
    answerReminder(1);
    dialog.uniqueWordsBox()->click();  // ticked: the reminder again, now asked to stay away
    QCOMPARE(reminders, 2);
    QCOMPARE(key(), 1);
    dialog.uniqueWordsBox()->click();
    dialog.uniqueWordsBox()->click();  // ticked once more: no reminder
    QVERIFY(dialog.uniqueWordsBox()->isChecked());
    QCOMPARE(reminders, 2);
    QCOMPARE(messages.count(), 1u);
}

void DictionaryDialogsTest::mergeChecksThenMerges() {
    const struct {
        const char* name;
        QStringList highlight;
        const char* newName;
        bool deleteMerged;
        std::initializer_list<int> answers;
        std::vector<std::string> messages;
        MaintenanceOutcome outcome;
        long words;  // of the new dictionary, -1 when not listed
        QStringList listAfter;
    } cases[] = {
        {"one dictionary",
         {"a.lex"},
         "new",
         false,
         {},
         {"You must select 2 or more dictionaries from the dictionary list to merge together"},
         MaintenanceOutcome::kStopped,
         -1,
         {"a.lex", "b.lex", "c.lex"}},
        {"no name",
         {"a.lex", "b.lex"},
         "",
         false,
         {},
         {"You must enter the name of your new Dictinary"},
         MaintenanceOutcome::kStopped,
         -1,
         {"a.lex", "b.lex", "c.lex"}},
        {"existing, No",
         {"a.lex", "b.lex"},
         "c",
         false,
         {kIdNo},
         {"The Dictionary c.lex already exists.\n Do you wish to overwrite it with a new "
          "dictionary."},
         MaintenanceOutcome::kStopped,
         1,
         {"a.lex", "b.lex", "c.lex"}},
        {"existing, Yes",
         {"a.lex", "b.lex"},
         "c",
         false,
         {kIdYes},
         {"The Dictionary c.lex already exists.\n Do you wish to overwrite it with a new "
          "dictionary."},
         MaintenanceOutcome::kDone,
         4,
         {"a.lex", "b.lex", "c.lex"}},
        {"new, deleting the merged",
         {"a.lex", "b.lex"},
         "Union",
         true,
         {kIdYes},
         {},
         MaintenanceOutcome::kDone,
         4,
         {"c.lex", "union.lex"}},
    };
    for (const auto& c : cases) {
        ProgramFolder folder;
        ProgramFolder::addDictionary("b.lex", {"cat", "dog", "emu"}, true);
        ProgramFolder::addDictionary("a.lex", {"ant", "cat", "dog"}, false);
        ProgramFolder::addDictionary("c.lex", {"yak"}, false);
        RecordingPresenter messages;
        messages.script(c.answers);
        MergeDialog dialog(nullptr);
        QCOMPARE(dialog.list()->item(0)->text(), QStringLiteral("a.lex"));  // in name order
        for (int i = 0; i < dialog.list()->count(); ++i) {
            dialog.list()->item(i)->setSelected(
                c.highlight.contains(dialog.list()->item(i)->text()));
        }
        dialog.newNameEdit()->setText(QString::fromLatin1(c.newName));
        dialog.deleteMergedBox()->setChecked(c.deleteMerged);
        QVERIFY2(dialog.merge() == c.outcome, c.name);
        std::vector<std::string> shown = texts(messages);
        if (c.deleteMerged) {
            QVERIFY2(shown.size() == 1 && shown[0].find("\na.lex\nb.lex\n") != std::string::npos,
                     c.name);
        } else {
            QVERIFY2(shown == c.messages, c.name);
        }
        const std::string target = dictionaryFileName(c.newName);
        QVERIFY2(listedWords(target) == c.words, c.name);
        if (c.outcome == MaintenanceOutcome::kDone) QVERIFY2(!listedSelected(target), c.name);
        QStringList rows;
        for (int i = 0; i < dialog.list()->count(); ++i) rows << dialog.list()->item(i)->text();
        QVERIFY2(rows == c.listAfter, c.name);
        QVERIFY2(temporaryFiles().empty(), c.name);
    }
}

void DictionaryDialogsTest::updateDictionaryChecksThenChanges() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("a.lex", {"Cat", "dog"}, true);
    ProgramFolder::addDictionary("b.lex", {"dog", "emu"}, false);
    const struct {
        const char* name;
        UpdateMode mode;
        const char* word;
        const char* dictionary;
        std::initializer_list<int> answers;
        std::string message;  // the last message shown ("" none)
        UpdateOutcome outcome;
        int beeps;
        QStringList comboAfter;
        QString dictionaryTextAfter;
    } cases[] = {
        {"no word",
         UpdateMode::kAdd,
         "",
         "a",
         {},
         "You must specify a word in the 'Enter Word' edit control.",
         UpdateOutcome::kStopped,
         0,
         {"a.lex", "b.lex"},
         "a"},
        {"two hyphens",
         UpdateMode::kAdd,
         "co--op",
         "a",
         {},
         "co--op is not a valid Zantric word.",
         UpdateOutcome::kWordRejected,
         0,
         {"a.lex", "b.lex"},
         "a"},
        {"ends in a hyphen",
         UpdateMode::kAdd,
         "co-",
         "a",
         {},
         "",
         UpdateOutcome::kWordRejected,
         1,
         {"a.lex", "b.lex"},
         "a"},
        {"already there",
         UpdateMode::kAdd,
         "CAT",
         "a.lex",
         {},
         "a.lex already contains the word 'Cat'",
         UpdateOutcome::kStopped,
         0,
         {"a.lex", "b.lex"},
         "a.lex"},
        {"elsewhere, No",
         UpdateMode::kAdd,
         "emu",
         "a",
         {kIdNo},
         "Your word can already be found in:\n\nb.lex\n\nDo you wish to add your word anyway?",
         UpdateOutcome::kStopped,
         0,
         {"a.lex", "b.lex"},
         "a"},
        {"a pasted name with another extension",
         UpdateMode::kAdd,
         "yak",
         "a.old",
         {},
         kDictionaryNameRule,
         UpdateOutcome::kStopped,
         1,
         {"a.lex", "b.lex"},
         "a.old"},
        {"new dictionary, Yes",
         UpdateMode::kAdd,
         "yak",
         "Zoo",
         {kIdYes},
         "Do you wish to create a new dictionary",
         UpdateOutcome::kDone,
         0,
         {"a.lex", "b.lex", "zoo.lex"},
         "zoo.lex"},
        {"unknown dictionary",
         UpdateMode::kRemove,
         "yak",
         "zo",
         {},
         "Zantric does not recognise your chosen dictionary. Please select a dictionary from the "
         "drop-down list.",
         UpdateOutcome::kDictionaryUnknown,
         0,
         {"a.lex", "b.lex", "zoo.lex"},
         "zo"},
        {"not in it",
         UpdateMode::kRemove,
         "emu",
         "a.lex",
         {},
         "The word to be removed could not be found.",
         UpdateOutcome::kNotChanged,
         1,
         {"a.lex", "b.lex", "zoo.lex"},
         "a.lex"},
        {"the last word",
         UpdateMode::kRemove,
         "yak",
         "zoo.lex",
         {},
         "",
         UpdateOutcome::kDone,
         0,
         {"a.lex", "b.lex"},
         "zoo.lex"},
    };
    for (const auto& c : cases) {
        RecordingPresenter messages;
        messages.script(c.answers);
        WordDialog dialog(nullptr, c.mode);
        QCOMPARE(dialog.windowTitle(), c.mode == UpdateMode::kAdd ? QStringLiteral("Add Word")
                                                                  : QStringLiteral("Remove Word"));
        QCOMPARE(dialog.okButton()->text(),
                 c.mode == UpdateMode::kAdd ? QStringLiteral("&Add") : QStringLiteral("&Remove"));
        dialog.wordEdit()->setText(QString::fromLatin1(c.word));
        dialog.dictionaryCombo()->setEditText(QString::fromLatin1(c.dictionary));
        QVERIFY2(dialog.ok() == c.outcome, c.name);
        QVERIFY2(messages.last().text == c.message, c.name);
        QVERIFY2(messages.beeps() == c.beeps, c.name);
        QVERIFY2(comboRows(dialog.dictionaryCombo()) == c.comboAfter, c.name);
        QVERIFY2(dialog.dictionaryCombo()->currentText() == c.dictionaryTextAfter, c.name);
        QVERIFY2(temporaryFiles().empty(), c.name);
    }
    // The one word of zoo.lex went, and the dictionary with it.
    QCOMPARE(listedWords("zoo.lex"), -1L);
    QVERIFY(!std::filesystem::exists("lexicons/zoo.lex"));
    QCOMPARE(listedWords("a.lex"), 2L);
}

void DictionaryDialogsTest::dictionaryFieldRefusesOtherCharacters() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("a.lex", {"cat"}, false);
    RecordingPresenter messages;
    WordDialog dialog(nullptr, UpdateMode::kAdd);
    dialog.show();
    dialog.dictionaryCombo()->lineEdit()->clear();
    QTest::keyClicks(dialog.dictionaryCombo(), QStringLiteral("my.words{1}_x-y z!"));
    QCOMPARE(dialog.dictionaryCombo()->currentText(), QStringLiteral("mywords{1}_x-y z"));
    QCOMPARE(messages.beeps(), 2);
    // The word field takes anything; the word is judged on Add.
    QTest::keyClicks(dialog.wordEdit(), QStringLiteral("a.b"));
    QCOMPARE(dialog.wordEdit()->text(), QStringLiteral("a.b"));
}

void DictionaryDialogsTest::selectDictionariesShowsChangesMadeFromItsMenu() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("a.lex", {"cat"}, true);
    auto* client = new gui::SearchPanel;
    gui::MainWindow frame(client);
    client->setUp();
    frame.show();
    RecordingPresenter messages;
    QStringList rowsAfterAdd;
    QString status;
    whenReady(
        [] {
            return qobject_cast<gui::SelectDictionariesDialog*>(QApplication::activeModalWidget());
        },
        [&] {
            auto* select =
                qobject_cast<gui::SelectDictionariesDialog*>(QApplication::activeModalWidget());
            messages.script({kIdYes});  // make the new dictionary
            whenReady([] { return qobject_cast<WordDialog*>(QApplication::activeModalWidget()); },
                      [&] {
                          auto* add = qobject_cast<WordDialog*>(QApplication::activeModalWidget());
                          add->wordEdit()->setText(QStringLiteral("emu"));
                          add->dictionaryCombo()->setEditText(QStringLiteral("birds"));
                          add->ok();
                          status = frame.statusBar()->currentMessage();
                          add->reject();
                      });
            // The menu's Add Word: the main window runs it.
            client->command(gui::kCmdAddWord);
            for (int i = 0; i < select->list()->count(); ++i) {
                rowsAfterAdd << select->list()->item(i)->text();
            }
            select->accept();
        });
    client->command(gui::kCmdSelectDictionaries);
    QCOMPARE(rowsAfterAdd, (QStringList{QString(QChar(0xBB)) + "\ta.lex", " \tbirds.lex"}));
    QCOMPARE(status, QStringLiteral("Word Added Successfully"));
    QCOMPARE(listedWords("birds.lex"), 1L);
}

void DictionaryDialogsTest::anotherCopyDisablesTheChangingCommands() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("a.lex", {"cat"}, true);
    const InstanceMarker own;  // this copy's, as its program session holds it
    auto* client = new gui::SearchPanel;
    gui::MainWindow frame(client);
    client->setUp();
    const int changing[] = {gui::kCmdAddWord, gui::kCmdRemoveWord, gui::kCmdCreateFromFile,
                            gui::kCmdMerge, gui::kCmdDeleteDictionaries};
    for (const bool otherCopy : {false, true, false}) {
        if (otherCopy) {
            TempFolder::write("temp/$$other.zti", "");
        } else {
            std::filesystem::remove("temp/$$other.zti");
        }
        for (int id : changing) QVERIFY(client->commandEnabled(id) == !otherCopy);
        QVERIFY(client->commandEnabled(gui::kCmdSelectDictionaries));
    }
    // A dialog opened before the other copy started refuses the change and changes nothing.
    RecordingPresenter messages;
    WordDialog dialog(client, UpdateMode::kAdd);
    dialog.wordEdit()->setText(QStringLiteral("dog"));
    dialog.dictionaryCombo()->setEditText(QStringLiteral("a.lex"));
    TempFolder::write("temp/$$other.zti", "");
    QVERIFY(dialog.ok() == UpdateOutcome::kRefused);
    QCOMPARE(messages.count(), 1u);
    QCOMPARE(listedWords("a.lex"), 1L);
}

ZANTRIC_GUI_TEST(DictionaryDialogsTest);

}  // namespace zantric::test

#include "dictionary_dialogs_test.moc"
