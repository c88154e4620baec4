// The window program from the user's side: typed fields and Start list what the command-line
// program lists; the cancel question holds the search; each dialog does its work from its command.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <array>
#include <atomic>

#include "core/dictionary/dictionary_language.h"
#include "core/results/results_store.h"
#include "core/search/search_fields.h"
#include "core/search/search_run.h"
#include "core/session/instance_marker.h"
#include "core/shell/ini_names.h"
#include "core/shell/progress_work.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "gui/analysis_dialog.h"
#include "gui/make_dictionary_dialog.h"
#include "gui/merge_dialog.h"
#include "gui/phrase_options_dialog.h"
#include "gui/progress_dialog.h"
#include "gui/results_list.h"
#include "gui/select_dictionaries_dialog.h"
#include "gui/starter_dictionary.h"
#include "gui/three_button_question.h"
#include "gui/word_dialog.h"
#include "gui_test_support.h"

namespace zantric::test {
namespace {

const Words kWords = {"a",   "at",  "act", "cat", "Cat", "cot", "tic-tac", "taco",   "coat",
                      "dog", "god", "cog", "do",  "go",  "to",  "tag",     "goat",   "toga",
                      "tea", "Tea", "eat", "ate", "eta", "tee", "octagon", "cottage"};
struct Request {
    QString find, from;
    bool useAll = true, suppress = false;
    QString include = {}, exclude = {};
};
struct Outcome {
    QStringList matches;
    int found = -1, checked = -1;
};
Window& fill(Window& w, const Request& r) {
    typeInto(w.find("find"), r.find);
    typeInto(w.find("from"), r.from);
    if (!isMultiWord(r.find.toStdString())) {
        typeInto(w.find("include"), r.include);
        typeInto(w.find("exclude"), r.exclude);
    }
    for (auto [box, on] : {std::pair{w.find<QCheckBox>("useAll"), r.useAll},
                           std::pair{w.find<QCheckBox>("suppress"), r.suppress}}) {
        if (box->isEnabled() && box->isChecked() != on) box->click();
    }
    return w;
}
QStringList listedMatches(const Window& w) {
    QStringList matches;
    const QAbstractItemModel* model = w.find<gui::ResultsListView>("results")->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        matches << model->index(row, 0).data().toString().split('\t', Qt::SkipEmptyParts);
    }
    return matches;
}
// Start by the button, Enter in FROM or keypad Enter in FIND, then the list; a request that
// starts nothing returns at once.
Outcome start(Window& w, int by = 0) {
    QSignalSpy completed(w.client, &gui::SearchPanel::searchCompleted);
    if (by == 0) QTest::mouseClick(w.find<QPushButton>("start"), Qt::LeftButton);
    if (by == 1) QTest::keyClick(w.find("from"), Qt::Key_Return);
    if (by == 2) QTest::keyClick(w.find("find"), Qt::Key_Enter, Qt::KeypadModifier);
    const bool started = !completed.isEmpty() || w.client->searching() ||
                         w.client->searchRun().found() != 0 || completed.wait(100);
    if (!started || (completed.isEmpty() && !completed.wait(20000))) return {};
    return {listedMatches(w), w.frame->foundPane()->text().section(' ', 1).toInt(),
            w.frame->checkedPane()->text().section(' ', 1).toInt()};
}
Outcome search(Window& w, const Request& r) { return start(fill(w, r)); }
Outcome commandLineSearch(const QString& folder, const Request& r) {
    QStringList args = {"-C", folder, "search", r.find, "--from", r.from};
    if (!r.include.isEmpty()) args << "--include" << r.include;
    if (!r.exclude.isEmpty()) args << "--exclude" << r.exclude;
    args << (r.useAll ? "--use-all" : "--no-use-all");
    if (r.suppress) args << "--suppress-permutations";
    QProcess cli;
    cli.start(QStringLiteral(ZANTRIC_CLI), args);
    cli.waitForFinished(30000);
    Outcome out{QString::fromLatin1(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)};
    for (const QString& line : QString::fromLatin1(cli.readAllStandardError()).split('\n')) {
        if (line.startsWith("Found: ")) out.found = line.mid(7).toInt();
        if (line.startsWith("Checked: ")) out.checked = line.mid(9).toInt();
    }
    return out;
}
// Opens the right-click menu of `widget` and takes its Select All by its underlined letter.
void selectAllFromMenu(QWidget* widget) {
    whenReady([] { return QApplication::activePopupWidget() != nullptr; },
              [] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_A); });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            widget->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(widget, &event);
}
// Also gives the folder the dialog opened in and its title.
void answerFileDialog(const QString& name, int type = 0, QString* openedIn = nullptr,
                      QString* title = nullptr) {
    inDialog<QFileDialog>([=](QFileDialog* dialog) {
        if (openedIn) *openedIn = dialog->directory().absolutePath();
        if (title) *title = dialog->windowTitle();
        dialog->selectNameFilter(dialog->nameFilters().value(type));
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(edit, name);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}
// The answers to the dialogs that the commands of the Select Dictionaries list open.
void makeFromList(gui::SelectDictionariesDialog*) {
    inDialog<gui::MakeDictionaryDialog>([](gui::MakeDictionaryDialog* d) {
        d->fileNameEdit()->setText("list.txt"), d->dictionaryNameEdit()->setText("Made");
        d->okButton()->click();
        QCOMPARE(d->reportLabel()->text().section('\n', 0, 0), "5 words stored, 2 lines skipped");
    });
}
auto changeWord(const char* text, const char* dictionary) {
    return [=](gui::SelectDictionariesDialog*) {
        inDialog<gui::WordDialog>([=](gui::WordDialog* d) {
            d->wordEdit()->setText(text), d->dictionaryCombo()->setEditText(dictionary);
            d->okButton()->click();
        });
    };
}
void mergeTwo(gui::SelectDictionariesDialog*) {
    inDialog<gui::MergeDialog>([](gui::MergeDialog* d) {
        d->list()->item(1)->setSelected(true);  // b.lex and made.lex, in name order
        d->list()->item(2)->setSelected(true), d->newNameEdit()->setText("Both");
        d->deleteMergedBox()->setChecked(true), d->mergeButton()->click();
    });
}
class SteppedWork final : public ProgressWork {
public:
    SteppedWork(int count, Prompter& prompter) : ProgressWork(prompter), steps(count) {}
    void work() override {
        for (int i = 0; i < steps && !poll(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            setPercent(++done * 100 / steps);
        }
        if (done == steps) setResult(WorkResult::kDone);
    }
    const int steps;
    std::atomic<int> done{0};
};

// Every command has a text and a status tip; another copy running keeps those that change files
// off, which say why in both.
void commandsOfAnotherCopyAreOff(Window& w) {
    const InstanceMarker own(ProgramFolder::settings());
    TempFolder::write("temp/$$other.zti", "");
    w.client->updateActions();
    QStringList tips;
    for (const QAction* action : w.client->findChildren<QAction*>(Qt::FindDirectChildrenOnly)) {
        QVERIFY(!action->text().isEmpty() && !action->statusTip().isEmpty());
        if (action->isEnabled()) continue;
        tips << action->objectName() + ' ' + action->statusTip() +
                    (action->toolTip() == action->statusTip() ? "+" : "");
    }
    const QString why = " Another copy of Zantric is running; close it to ";
    QStringList off = {"actionDeleteResults" + why + "delete results+",
                       "actionSaveAs Save results for future use."};
    for (const char* name : {"actionAddWord", "actionRemoveWord", "actionMerge",
                             "actionCreateFromFile", "actionDeleteDictionaries"})
        off << name + why + "change dictionaries+";
    QCOMPARE(tips, off);
}

// Ends a running search as `answer` says (see cancelQuestionHoldsTheSearch); for the close box,
// the text of the question it asked before the matches go, which Yes answered.
QString endRunningSearch(Window& w, int answer) {
    QString question;
    if (answer == -1) {
        inDialog<QMessageBox>(
            [&question](QMessageBox* box) {
                question = box->text();
                box->button(QMessageBox::Yes)->click();
            },
            false);
        w.frame->close();
    } else {
        answer == 0 ? w.client->endWithoutAsking() : w.client->actions().exit->trigger();
    }
    // Escape again while the cancelled search stops: no question, no close.
    if (answer == kIdYes) w.client->actions().exit->trigger();
    return question;
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void searchesListWhatTheCommandLineLists() {
        ProgramFolder folder;
        ProgramFolder::addDictionary("english.lex", kWords);
        ProgramFolder::addDictionary("more.lex", {"cat", "act", "dot", "tod", "coda", "cad"});
        ProgramFolder::addDictionary("unused.lex", {"cat", "zoo"}, false);
        const Request requests[] = {{"c?t", ""},
                                    {"*", "tac", false},
                                    {"*", "CAT", false},
                                    {"???", "", true, false, "t", "c"},
                                    {"* *", "catdog"},
                                    {"t*", "togaeta", false, false, "a"},
                                    {"* *", "cotdag", false},
                                    {"* *", "catdog", true, true},
                                    {"cat !", "catdog"},
                                    {"2 *", "dogtac?"},
                                    {"*", "xyz"}};
        std::vector<Outcome> want;  // before the window: the program cleans up its temp files
        for (const Request& r : requests) want.push_back(commandLineSearch(QDir::currentPath(), r));
        Window w;
        for (std::size_t i = 0; i < std::size(requests); ++i) {
            fill(w, requests[i]);
            const Outcome got = start(w, static_cast<int>(i % 3));
            QVERIFY2(want[i].found >= 0, qPrintable(requests[i].find + " " + requests[i].from));
            QCOMPARE(got.matches, want[i].matches);
            QCOMPARE(std::pair(got.found, got.checked), std::pair(want[i].found, want[i].checked));
            QCOMPARE(w.frame->statusBar()->currentMessage(), QStringLiteral("Searching Completed"));
        }
    }
    // A font chosen in the Font group and the place the window was moved to come back next time.
    void fontAndPositionComeBackAfterARestart() {
        ProgramFolder folder;
        QPoint at;
        {
            Window w;
            w.find<QCheckBox>("bold")->setFocus();
            QTest::keyClick(w.find<QCheckBox>("bold"), Qt::Key_Space);
            w.find("size")->setFocus();
            QTest::keyClick(w.find("size"), Qt::Key_Down);
            QTest::keyClick(w.find("size"), Qt::Key_Down);
            w.frame->move(w.frame->pos() + QPoint(37, 21));
            at = w.frame->pos();
            w.frame->close();  // as the title bar's button: the window then ends itself
            QTRY_VERIFY(!w.frame->isVisible());
        }
        Window again;
        const QFont font = again.find("find")->font();
        QCOMPARE(std::tuple(again.frame->pos(), font.bold(), font.pointSize()),
                 std::tuple(at, true, 12));
    }
    void refusedRequestsAndKeysStartNothing() {
        ProgramFolder folder;
        ProgramFolder::addDictionary("english.lex", kWords);
        Window w;
        RecordingPresenter messages;
        const struct {
            Request request;
            const char* text;
            int answer;  // 0: an Input Error after a beep
        } cases[] = {
            {{"cat", "dog"}, "Your FIND includes letters not found in your FROM field.", 0},
            {{"cat ! x", "catdog"}, "Zantric will ignore any part of the FIND pattern", kIdCancel}};
        for (const auto& c : cases) {
            messages.clear();
            if (c.answer != 0) messages.script({c.answer});
            QCOMPARE(search(w, c.request).found, -1);
            QVERIFY2(messages.last().text.starts_with(c.text), c.text);
            QCOMPARE(messages.last().beepsBefore > 0, c.answer == 0);
            QCOMPARE(w.client->results().count(), 0);
        }
        messages.clear();  // Leaving FIND checks it at once.
        typeInto(w.find("find"), "abcdefghijklmnopqrstu");
        w.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.frame.get()));
        w.find("find")->setFocus();
        QTest::keyClick(w.find("find"), Qt::Key_Tab);
        QTRY_COMPARE(messages.count(), 1u);
        QVERIFY(messages.last().text.starts_with("Your FIND field contained a pattern"));
        ProgramFolder::catalogue().setSelected("./lexicons/english.lex", false);
        messages.clear();
        bool selectOpened = false;
        inDialog<gui::SelectDictionariesDialog>([&](auto*) { selectOpened = true; });
        QCOMPARE(search(w, {"c?t", ""}).found, -1);
        QTRY_VERIFY(selectOpened);
        QCOMPARE(messages.last().title, std::string("No Dictionaries Selected"));
    }
    // A refused key beeps and the status bar says what its field takes.
    void refusedKeysBeepAndSayWhy() {
        ProgramFolder folder;
        ProgramFolder::addDictionary("english.lex", kWords);
        Window w;
        RecordingPresenter messages;
        gui::WordDialog words(w.client, UpdateMode::kAdd);
        words.show();
        const struct {
            const char* field;  // nullptr: the dictionary field of Add Word
            QString typed, kept;
            int beeps;
            QString hint;  // the field the status bar names afterwards (what it takes)
        } keys[] = {{"from", "ab1#c.9 /", "abc ?", 4, "FROM"},
                    {"include", "x1-?y", "x-y", 2, "INCLUDE"},
                    {"exclude", "q*z", "qz", 1, "EXCLUDE"},
                    {"exclude", QString(25, 'q'), QString(20, 'q'), 0, ""},
                    {"find", "c#t@1./", "ct1?", 3, "FIND"},
                    {"find", "c\u0131\u0130t", "ct", 2, "FIND"},
                    {"find", "c/t*! 3", "c?t*! 3", 0, ""},
                    {nullptr, "my.words{1}_x-y z!", "mywords{1}_x-y z", 2, ""}};
        for (const auto& c : keys) {
            messages.clear();
            w.frame->statusBar()->clearMessage();
            QComboBox* field = c.field ? w.find(c.field) : words.dictionaryCombo();
            typeInto(field, {});
            for (const QChar ch : c.typed)  // as typed, a dotless i too
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), {});
            QCOMPARE(field->currentText(), c.kept);
            QCOMPARE(messages.beeps(), c.beeps);
            QCOMPARE(w.frame->statusBar()->currentMessage().section(" takes only ", 0, 0), c.hint);
        }
        // The word field takes twenty letters and one hyphen at most.
        QTest::keyClicks(words.wordEdit(), "co-op-" + QString(25, 'x'));
        QCOMPARE(words.wordEdit()->text(), "co-op" + QString(16, 'x'));
    }
    // The keys around a search: the fields are off while it runs and nothing typed reaches the
    // Font group; after it the focus is where the search started. An option turned by its Alt
    // key is part of a search that Enter starts straight after.
    void focusComesBackAfterASearch() {
        ProgramFolder folder;
        ProgramFolder::addDictionary("english.lex", kWords);
        Window w;
        w.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.frame.get()));
        fill(w, {"*", "tac"});
        const struct {
            const char* at;  // the control with the focus at Enter, and again after the search
            Qt::Key altKey;  // pressed with Alt just before Enter, or none
        } cases[] = {{"find", Qt::Key_unknown},
                     {"from", Qt::Key_U},
                     {"results", Qt::Key_unknown},
                     {"find", Qt::Key_U},
                     {"from", Qt::Key_unknown}};
        bool useAll = true;
        for (const auto& c : cases) {
            w.find<QWidget>(c.at)->setFocus();
            useAll ^= c.altKey == Qt::Key_U;
            if (c.altKey != Qt::Key_unknown)
                QTest::keyClick(w.frame.get(), c.altKey, Qt::AltModifier);
            QSignalSpy completed(w.client, &gui::SearchPanel::searchCompleted);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY(w.client->searching());
            QVERIFY(QApplication::focusWidget() != w.find<QCheckBox>("bold"));
            QVERIFY(completed.wait(20000));
            // act, Cat and cat use all of "tac"; a and at do not.
            QCOMPARE(w.client->results().count(), useAll ? 3 : 5);
            QCOMPARE(w.find<QCheckBox>("useAll")->isChecked(), useAll);
            QCOMPARE(QApplication::focusWidget(), w.find<QWidget>(c.at));
        }
    }
    void cancelQuestionHoldsTheSearch() {
        ProgramFolder folder;
        // Every seven letters of a to h, each matching "*": enough that the walk is still going
        // when the command reaches it, even on a busy machine.
        Words words(1 << 21, std::string(7, 'a'));
        for (int i = 0; i < 1 << 21; ++i)
            for (int k = 6, n = i; k >= 0; --k, n /= 8)
                words[i][k] = static_cast<char>('a' + n % 8);
        ProgramFolder::addDictionary("big.lex", words);
        // 0: told to end by a signal; -1: the close box, which stops the search without asking
        // and then closes, asking first whether its matches may go (Yes).
        for (const int answer : {+kIdNo, +kIdYes, 0, -1}) {
            Window w;
            PauseCheckingPresenter asked([&w] { return w.client->searchRun().found(); }, answer);
            ListeningTo scope(asked);
            fill(w, {"*", ""});
            QSignalSpy completed(w.client, &gui::SearchPanel::searchCompleted);
            QSignalSpy closing(w.client, &gui::SearchPanel::closeRequested);
            w.client->actions().search->trigger();
            while (w.client->searchRun().found() == 0 && w.client->searchRun().running()) {
            }
            QString question = endRunningSearch(w, answer);
            QVERIFY(completed.wait(20000));
            const int found = w.client->results().count();
            QCOMPARE(listedMatches(w).size(), found);
            QCOMPARE(w.frame->foundPane()->text(), QStringLiteral("Found: %1").arg(found));
            QCOMPARE(found == static_cast<int>(words.size()), answer == kIdNo);
            if (answer <= 0) {
                QCOMPARE(asked.count(), 0u);
                QCOMPARE(question.startsWith(QStringLiteral("Discard ")), answer == -1);
                if (answer == 0) {
                    QCOMPARE(closing.count(), 0);
                    w.client->endWithoutAsking();
                }
                QVERIFY(closing.count() == 1 || closing.wait(5000));
                continue;
            }
            QCOMPARE(asked.last().text,
                     std::string("Are you sure you want to cancel this search?"));
            QVERIFY(asked.progressWhenAsked > 0);
            QCOMPARE(asked.progressWhenAnswered, asked.progressWhenAsked);
            QVERIFY(found >= asked.progressWhenAnswered);
            QVERIFY(w.frame->isVisible());
            QCOMPARE(asked.count(), 1u);
            if (answer == kIdNo) continue;
            const QString count = QLocale().toString(found);
            QCOMPARE(w.frame->statusBar()->currentMessage(),
                     QStringLiteral("Search cancelled \u2013 %1 matches kept").arg(count));
            // Its matches are not thrown away unasked; No keeps them.
            inDialog<QMessageBox>([&question](QMessageBox* box) { question = box->text(); });
            w.client->actions().exit->trigger();
            QCOMPARE(question, QStringLiteral("Discard %1 unsaved matches?").arg(count));
            QCOMPARE(closing.count(), 0);
        }
    }
    void savedOrViewedMatchesAreNotUnsaved() {
        ProgramFolder folder;
        ProgramFolder::addDictionary("english.lex", kWords);
        Window w;
        for (const char* command : {"actionSaveAs", "actionView"}) {
            const Outcome searched = search(w, {"*", "tac", false, false, "a"});
            QCOMPARE(w.client->unsavedMatches(), std::int64_t{searched.found});
            answerFileDialog("saved.ztr");
            w.find<QAction>(command)->trigger();
            QCOMPARE(w.client->unsavedMatches(), std::int64_t{0});
        }
    }
    void resultsFilesComeBackAndGo() {
        ProgramFolder folder;
        ProgramFolder::addDictionary("english.lex", kWords);
        Window w;
        QVERIFY(search(w, {"*", "tac", false, false, "a"}).found > 0);
        QTest::keyClick(w.frame.get(), Qt::Key_F3);  // Clear All
        QCOMPARE(w.find("from")->currentText() + w.find("include")->currentText(), QString());
        QCOMPARE(w.frame->foundPane()->text(), QStringLiteral("Found: 0"));
        QCOMPARE(listedMatches(w), QStringList());
        const Outcome searched = search(w, {"*", "tac", false, false, "a"});
        // The dialogs open in the documents folder of the home folder (here), then in the folder
        // of the name last chosen; a name without an extension is a text file unless of ASCII type.
        const QString home = QDir::currentPath();
        std::filesystem::create_directory("Documents");
        const struct {
            QString name;
            int type;                                     // results pair, text, ASCII, all files
            const char *openedIn, *dataFile, *indexFile;  // "" for a text export
        } saves[] = {{"r", 0, "Documents", "Documents/r.ztr", "Documents/r.zix"},
                     {home + "/files/x.ZTR", 1, "Documents", "files/x.ztr", "files/x.zix"},
                     {"t", 1, "files", "files/t.txt", ""},
                     {"e", 2, "files", "files/e.asc", ""},
                     {"a", 3, "files", "files/a.txt", ""}};
        QString openedIn, title;
        for (const auto& save : saves) {
            answerFileDialog(save.name, save.type, &openedIn);
            w.client->actions().saveAs->trigger();
            QCOMPARE(openedIn, home + '/' + save.openedIn);
            const std::string data = TempFolder::read(save.dataFile);
            QVERIFY2(*save.indexFile ? std::filesystem::exists(save.indexFile)
                                     : data.starts_with(std::string(60, '*') + "\n\nResults from"),
                     save.dataFile);
            QCOMPARE(listedMatches(w), searched.matches);  // the list goes on as it was
        }
        answerFileDialog("x.ztr", 0, &openedIn, &title);
        w.client->actions().view->trigger();
        QCOMPARE(openedIn + ' ' + title, home + "/files Open Results");
        QCOMPARE(w.find("from")->currentText(), QStringLiteral("tac"));
        QCOMPARE(listedMatches(w), searched.matches);
        QCOMPARE(w.frame->checkedPane()->text(), QString("Checked: %1").arg(searched.checked));
        RecordingPresenter messages;
        messages.script({kIdYes});
        w.client->actions().deleteResults->trigger();
        QCOMPARE(messages.last().style, kMbYesNo | kMbDefaultButton2);
        QVERIFY(!std::filesystem::exists("files/x.ztr") && !std::filesystem::exists("files/x.zix"));
    }
    // Ctrl+A, Shift and Ctrl pick rows; Ctrl+C puts their matches on the clipboard, one a line
    // in list order. Past the copy limit Copy asks first: Yes copies that many, No nothing.
    void copyPutsTheHighlightedMatchesOnTheClipboard() {
        ProgramFolder folder;
        ProgramFolder::addDictionary("english.lex", kWords);
        Window w;
        const QStringList all = search(w, {"*", "octagon", false, false}).matches;
        auto* list = w.find<gui::ResultsListView>("results");
        QVERIFY(list->model()->rowCount() >= 3);
        const auto row = [list](int r) {
            return list->model()->index(r, 0).data().toString().split('\t', Qt::SkipEmptyParts);
        };
        const auto click = [list](int r, Qt::KeyboardModifiers keys) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                              list->visualRect(list->model()->index(r, 0)).center());
        };
        const struct {
            std::function<void()> pick;
            std::int64_t limit;
            int answer;  // to the question, 0: none asked
            QStringList copied;
        } cases[] = {
            {[&] { QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier); }, 1000, 0, all},
            {[&] { click(0, {}), click(2, Qt::ControlModifier); }, 1000, 0, row(0) + row(2)},
            {[&] { click(1, {}), QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier); }, 1000, 0,
             row(1) + row(2)},
            {[&] { click(0, {}), selectAllFromMenu(list->viewport()); }, 1000, 0, all},
            {[&] { QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier); }, 3, kIdYes,
             all.mid(0, 3)},
            {[&] { QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier); }, 3, kIdNo, {"before"}},
        };
        for (const auto& c : cases) {
            RecordingPresenter messages;
            messages.script({c.answer});
            QGuiApplication::clipboard()->setText("before\n");
            w.client->workspace().settings.writeString(ini::kSettingsSection, ini::kCopyLimit,
                                                       std::to_string(c.limit));
            c.pick();
            QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QGuiApplication::clipboard()->text(), c.copied.join('\n') + '\n');
            QCOMPARE(messages.count(), c.answer != 0 ? 1u : 0u);
            if (c.answer != 0) {
                QCOMPARE(QString::fromStdString(messages.last().text),
                         QString("%1 matches are highlighted, more than the clipboard takes at "
                                 "once.\n\nCopy the first 3 of them, one a line?")
                             .arg(all.size()));
            }
        }
    }
    // A dictionary of an accented list shows its words as the list wrote them: a row the first
    // spelling of each, the tooltip and Copy every spelling.
    void accentedWordsAreShownAsWritten() {
        ProgramFolder folder;
        ProgramFolder::addDictionary("fr.lex", {"abattre", "baratte", "ebattra"});
        Spellings spellings;
        for (auto [word, written] :
             {std::pair{"baratte", "baratte"}, {"baratte", "baratté"}, {"ebattra", "ébattra"}}) {
            spellings.add(word, written);
        }
        spellings.finish();
        QVERIFY(
            placeLanguageFile("lexicons/fr.lex", Language::kFrench, "lexicons/fr.tmp", &spellings));
        Window w;
        QCOMPARE(search(w, {"*", "abattre", true, false}).matches,
                 QStringList({"abattre", "baratte", "ébattra"}));
        auto* list = w.find<gui::ResultsListView>("results");
        QCOMPARE(list->model()->index(0, 0).data(Qt::ToolTipRole).toString(),
                 QString("baratte/baratté"));
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString("abattre\nbaratte/baratté\nébattra\n"));
    }
    // Set by keys, kept, back at the next start (the stoplist editor changing only the lines of
    // the words it adds or takes out); the search passes over what the filters strike, says so,
    // and reuses its analysis for the same letters.
    void phraseOptionsComeBackAndFilterTheSearch() {
        ProgramFolder folder;
        ProgramFolder::addDictionary("english.lex", kWords);
        TempFolder::write("stoplist.txt", "# mine\r\nold\r\n");
        {
            Window w;
            inDialog<gui::PhraseOptionsDialog>(
                [](gui::PhraseOptionsDialog* dialog) {
                    dialog->minWordLength()->selectAll();
                    QTest::keyClicks(dialog->minWordLength(), "3");
                    QTest::keyClick(dialog, Qt::Key_W, Qt::AltModifier);  // Each word once
                    inDialog<gui::StoplistEditor>(
                        [](gui::StoplistEditor* editor) {
                            editor->text()->setPlainText("TEA\ngod\n");
                            QTest::keyClick(editor, Qt::Key_O, Qt::AltModifier);
                        },
                        false);
                    QTest::keyClick(dialog, Qt::Key_E, Qt::AltModifier);  // Edit Stoplist
                    QTest::keyClick(dialog, Qt::Key_O, Qt::AltModifier);
                },
                false);
            w.client->actions().phraseOptions->trigger();
            QCOMPARE(TempFolder::read("stoplist.txt"), std::string("# mine\r\nTea\r\ngod\r\n"));
        }
        Window next;
        PhraseOptions shown;
        inDialog<gui::PhraseOptionsDialog>([&shown](auto* dialog) { shown = dialog->options(); });
        next.client->actions().phraseOptions->trigger();
        QCOMPARE(shown, (PhraseOptions{3, true, true}));
        QSignalSpy analyses(next.client, &gui::SearchPanel::analysisStarted);
        const Outcome phrases = search(next, {"* *", "catdog", false, true});
        QCOMPARE(phrases.matches, (QStringList{"act dog", "Cat dog", "cat dog"}));
        QCOMPARE(next.find<QLabel>("filters")->text(), QStringLiteral("Filters on"));
        QVERIFY(next.find<QLabel>("filters")->isVisibleTo(next.frame.get()));
        QCOMPARE(search(next, {"* *", "godcat", false, true}).matches, phrases.matches);
        search(next, {"c?t", ""});  // the stoplist is on, though it strikes none of these
        QVERIFY(next.find<QLabel>("filters")->isVisibleTo(next.frame.get()));
        connect(next.client, &gui::SearchPanel::analysisStarted, this,
                [] { inDialog<gui::AnalysisDialog>([](gui::AnalysisDialog*) {}); });
        QVERIFY(search(next, {"* *", "dogcate"}).matches.isEmpty());
        disconnect(next.client, &gui::SearchPanel::analysisStarted, this, nullptr);
        QCOMPARE(analyses.size(), 2);
    }
    void progressDialogAndThreeButtonQuestionAnswerAsAsked() {
        const struct {
            int steps, cancelAnswer;  // cancelAnswer 0: Cancel is not pressed
            WorkResult result;
        } cases[] = {{2, 0, WorkResult::kDone},
                     {40, 0, WorkResult::kDone},
                     {40, kIdNo, WorkResult::kDone},
                     {40, kIdYes, WorkResult::kCancelled}};
        for (const auto& c : cases) {
            HandingOnPrompter relay;
            SteppedWork work(c.steps, relay);
            gui::ProgressDialog dialog(nullptr, work);
            PauseCheckingPresenter asked([&work] { return work.done.load(); }, c.cancelAnswer);
            relay.handTo(&asked);
            if (c.cancelAnswer != 0)
                whenReady([&] { return dialog.shownOnScreen(); }, [&] { dialog.reject(); });
            QCOMPARE(dialog.run(), c.result);
            QCOMPARE(dialog.shownOnScreen(), c.steps > 2);  // short work never shows
            QCOMPARE(work.done == c.steps, c.result == WorkResult::kDone);
            QCOMPARE(asked.count(), c.cancelAnswer != 0 ? 1u : 0u);
            QCOMPARE(asked.progressWhenAsked, asked.progressWhenAnswered);
        }
        // Enter (keypad Enter for the second) presses the focused button; Escape the third.
        for (const int press : {0, 1, 2, -1}) {
            gui::ThreeButtonQuestion box(nullptr, "Append or overwrite?", "Confirm", "&Append",
                                         "&Overwrite", "&Cancel");
            QVERIFY(box.button(2)->isDefault());
            whenReady([&box] { return box.isVisible(); },
                      [&] {
                          if (press < 0) return QTest::keyClick(&box, Qt::Key_Escape);
                          box.button(press)->setFocus();
                          press == 1 ? QTest::keyClick(box.button(press), Qt::Key_Enter,
                                                       Qt::KeypadModifier)
                                     : QTest::keyClick(box.button(press), Qt::Key_Return);
                      });
            QCOMPARE(box.exec(), press < 0 ? 2 : press);
        }
    }
    void dictionaryCommandsRunFromTheOpenList() {
        ProgramFolder folder;
        ProgramFolder::addDictionary("a.lex", {"cat", "dog"}, true);
        ProgramFolder::addDictionary("b.lex", {"ant", "emu"}, false);
        TempFolder::write("list.txt", "Emu\nemu\nAPPLE\napple pie\nco-op\n\n  yak  \n");
        const struct {
            std::function<void(gui::SelectDictionariesDialog*)> answer;
            const char* command;  // the action's name
            QString rows;
        } steps[] = {
            {makeFromList, "actionCreateFromFile", "*a b made"},
            {mergeTwo, "actionMerge", "*a both"},
            {changeWord("gnu", "Zoo"), "actionAddWord", "*a both zoo"},
            {changeWord("gnu", "zoo.lex"), "actionRemoveWord", "*a both"},
            {[](auto* select) { select->list()->selectAll(), select->toggleHighlighted(); },
             nullptr, "a *both"},
            {[](auto* select) {
                 select->list()->clearSelection(), select->list()->item(0)->setSelected(true);
             },
             "actionDeleteDictionaries", "*both"}};
        Window w;
        RecordingPresenter messages;
        messages.script({kIdYes, kIdYes, kIdYes});  // delete the merged, make zoo, delete
        QStringList rowsSeen, tempSeen;
        inDialog<gui::SelectDictionariesDialog>([&](gui::SelectDictionariesDialog* select) {
            for (const auto& step : steps) {
                step.answer(select);
                if (step.command != nullptr) w.find<QAction>(step.command)->trigger();
                QStringList rows;
                for (int i = 0; i < select->list()->count(); ++i) {
                    rows << select->list()->item(i)->text().remove(".lex").remove(" \t");
                }
                rowsSeen << rows.join(' ').remove('\t').replace(QChar(0xBB), '*');
                tempSeen << QDir("temp").entryList(QDir::Files).join(' ');
            }
        });
        w.client->actions().selectDictionaries->trigger();
        QStringList expected;
        for (const auto& step : steps) expected << step.rows;
        QCOMPARE(rowsSeen, expected);
        QCOMPARE(tempSeen, QStringList(std::size(steps), QString()));
        QCOMPARE(listedWords("both.lex"), 6L);
        QVERIFY(std::filesystem::exists("lexicons/a.lxb"));  // a deleted dictionary is kept
        QVERIFY(!std::filesystem::exists("lexicons/zoo.lex"));
        QCOMPARE(messages.count(), 3u);
        commandsOfAnotherCopyAreOff(w);
    }
    // The list puts as many matches in a row as its width takes, each the longest match and the
    // ini's tab size (0..255) wide, at tab stops of 13/4 dialog units a character.
    void listLayoutPacksMatchesAtTabStops() {
        const std::array<int, 4> layouts[] = {
            {1, 6, 21, 3},           // longest, tab size, width: three a row
            {1, 6, 20, 2},           // one character short of three
            {1, 6, 0, 1},            // a very narrow list still shows one a row
            {1, 0, 3, 3},            // no space asked between matches
            {1, 6, 1 << 30, 1024}};  // an absurd width is kept to a bounded row
        for (const auto& [longest, tabSize, width, perRow] : layouts)
            QCOMPARE(gui::matchesPerRow(longest, tabSize, width), perRow);
        for (const auto& [ini, tabSize] : {std::pair{"", 6}, {"9", 9}, {"-5", 0}, {"300", 255}}) {
            ProgramFolder folder;
            if (*ini) folder.settings().writeString(ini::kSettingsSection, ini::kTabSize, ini);
            folder.reread();
            ResultsStore store("t.$$$", "t.zix", folder.prompter());
            SearchRequest request(folder.workspace());
            const SearchRun run(request, store);
            QCOMPARE(gui::ResultsListView(folder.workspace(), store, run).tabSize(), tabSize);
        }
    }
    // Counts read as the user's locale writes them, in the status bar and in messages alike.
    void countsAreGroupedByTheLocale() {
        ProgramFolder folder;
        Window w;
        const struct {
            QLocale locale;
            const char* found;
        } cases[] = {{QLocale(QLocale::English, QLocale::UnitedStates), "165,565,704"},
                     {QLocale(QLocale::German, QLocale::Germany), "165.565.704"},
                     {QLocale::c(), "165565704"}};
        for (const auto& c : cases) {
            QLocale::setDefault(c.locale);
            w.client->showTotals(165565704, 0, false);
            QCOMPARE(w.frame->foundPane()->text(), QString("Found: ") + c.found);
            QCOMPARE(loadString(kStrStoppedAfter, gui::QtMessagePresenter().countText(165565704)),
                     "Stopped after " + std::string(c.found) + " matches.");
        }
    }
    void starterDictionaryIsOfferedToAnEmptyCatalogue() {
        using gui::StarterOutcome;
        const struct {  // wordList nullptr: none; englishWords -1: no english.lex
            bool haveDictionary;
            const char* wordList;
            int answer;
            StarterOutcome outcome;
            long englishWords;
        } cases[] = {
            {true, "cat\n", kIdYes, StarterOutcome::kNotOffered, -1},
            {false, nullptr, kIdYes, StarterOutcome::kNotOffered, -1},
            {false, "cat\ndog\n", kIdNo, StarterOutcome::kDeclined, -1},
            {false, "cat\nDog\nco-op\ntoo-long-word\ncat\n", kIdYes, StarterOutcome::kMade, 3},
            {false, "1234\n--\n", kIdYes, StarterOutcome::kFailed, -1}};
        for (const auto& c : cases) {
            ProgramFolder folder;
            if (c.haveDictionary) ProgramFolder::addDictionary("mine.lex", {"emu"}, false);
            RecordingPresenter presenter;
            folder.catalogue();  // an empty catalogue says so first
            presenter.clear();
            const std::string list =
                c.wordList ? (std::filesystem::current_path() / "word list.txt").string() : "";
            if (c.wordList) TempFolder::write(list, c.wordList);
            presenter.script({c.answer});
            QWidget parent;
            QVERIFY(gui::offerStarterDictionary(folder.workspace(), &parent, list) == c.outcome);
            const bool asked =
                presenter.count() > 0 && presenter.messages().front().style == (kMbYesNo | 0x20) &&
                presenter.messages().front().text.find(" " + list + " and ") != std::string::npos;
            QCOMPARE(asked, c.outcome != StarterOutcome::kNotOffered);
            QCOMPARE(listedWords("english.lex"), c.englishWords);
            if (c.englishWords > 0)
                QVERIFY(folder.catalogue().isSelected("./lexicons/english.lex"));
            QVERIFY(std::filesystem::is_empty("temp"));
        }
    }
};

}  // namespace zantric::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());  // plain counts, whatever the locale of the test's run
    zantric::test::WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
