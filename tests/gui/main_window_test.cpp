// The main window from the user's side: typed fields and Start give the same matches, in the
// same order, with the same Found and Checked as the command-line program; every refused
// request shows its message and starts nothing; the cancel question holds the search; a second
// phrase search over the same letters skips the analysis; Clear All, the font, the window
// position and the Phrase Options behave and persist; Escape closes an open drop-down list
// before it closes the program; the window shows every control and status text whole and lays
// the list out in as many columns as its width holds.
#include "gui/main_window.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <cstdint>
#include <limits>

#include "core/dictionary/dictionary_reader.h"
#include "core/search/search_fields.h"
#include "core/search/stoplist.h"
#include "core/shell/settings.h"
#include "core/shell/string_table.h"
#include "gui/analysis_dialog.h"
#include "gui/command_ids.h"
#include "gui/phrase_options_dialog.h"
#include "gui/results_list.h"
#include "gui/search_panel.h"
#include "gui_test_support.h"
#include "support/recorder_presenter.h"

namespace zantric::test {
namespace {

using gui::MainWindow;
using gui::SearchPanel;

const Words kWords = {"a",   "at",  "act", "cat", "Cat", "cot", "tic-tac", "taco",   "coat",
                      "dog", "god", "cog", "do",  "go",  "to",  "tag",     "goat",   "toga",
                      "tea", "Tea", "eat", "ate", "eta", "tee", "octagon", "cottage"};
const Words kMoreWords = {"cat", "act", "dot", "tod", "coda", "cad", "dace"};

// The frame and main window as the program builds them; the controls found by their names.
struct Window {
    Window() : client(new SearchPanel), frame(std::make_unique<MainWindow>(client)) {
        frame->placeAtStoredPosition();
        client->setUp();
        frame->show();
    }
    template <class Control = QComboBox>
    Control* find(const char* name) const {
        auto* control = frame->findChild<Control*>(QLatin1String(name));
        if (control == nullptr) qFatal("The window has no control named %s", name);
        return control;
    }
    QCheckBox* box(const char* name) const { return find<QCheckBox>(name); }
    gui::ResultsListView* list() const { return find<gui::ResultsListView>("results"); }

    SearchPanel* client;
    std::unique_ptr<MainWindow> frame;
};

struct Request {
    QString find;
    QString from;
    bool useAll = true;
    bool suppress = false;
    QString include = {};
    QString exclude = {};
};

struct Outcome {
    QStringList matches;
    int found = -1;
    int checked = -1;
};

// Fills the fields as a user types them; the options are clicked when they must change.
void fill(const Window& w, const Request& r) {
    typeInto(w.find("find"), r.find);
    typeInto(w.find("from"), r.from);
    if (!isMultiWord(r.find.toStdString())) {
        typeInto(w.find("include"), r.include);
        typeInto(w.find("exclude"), r.exclude);
    }
    if (w.box("useAll")->isChecked() != r.useAll) w.box("useAll")->click();
    QCheckBox* suppress = w.box("suppress");
    if (suppress->isEnabled() && suppress->isChecked() != r.suppress) suppress->click();
}

// The matches as the list shows them, row after row.
QStringList listedMatches(const Window& w) {
    QStringList matches;
    const QAbstractItemModel* model = w.list()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        matches << model->index(row, 0).data().toString().split('\t', Qt::SkipEmptyParts);
    }
    return matches;
}

// How a search is started: the Start button, Enter in FROM, keypad Enter in FIND.
enum class StartBy { kButton, kEnterInFrom, kKeypadEnterInFind };

// Start, then wait for the list. A request that starts nothing returns at once.
Outcome start(Window& w, StartBy by = StartBy::kButton) {
    QSignalSpy completed(w.client, &SearchPanel::searchCompleted);
    switch (by) {
        case StartBy::kButton:
            QTest::mouseClick(w.find<QPushButton>("start"), Qt::LeftButton);
            break;
        case StartBy::kEnterInFrom:
            QTest::keyClick(w.find("from"), Qt::Key_Return);
            break;
        case StartBy::kKeypadEnterInFind:
            QTest::keyClick(w.find("find"), Qt::Key_Enter, Qt::KeypadModifier);
            break;
    }
    if (completed.isEmpty() && !w.client->searching() && w.client->searchRun().found() == 0 &&
        !completed.wait(100)) {
        return {};
    }
    if (completed.isEmpty() && !completed.wait(20000)) return {};
    Outcome outcome;
    outcome.matches = listedMatches(w);
    outcome.found = w.frame->foundPane()->text().section(' ', 1).toInt();
    outcome.checked = w.frame->checkedPane()->text().section(' ', 1).toInt();
    return outcome;
}

Outcome search(Window& w, const Request& r) {
    fill(w, r);
    return start(w);
}

Outcome commandLineSearch(const QString& folder, const Request& r) {
    QStringList args = {"-C", folder, "search", r.find};
    if (!r.from.isEmpty()) args << "--from" << r.from;
    if (!r.include.isEmpty()) args << "--include" << r.include;
    if (!r.exclude.isEmpty()) args << "--exclude" << r.exclude;
    args << (r.useAll ? "--use-all" : "--no-use-all");
    if (r.suppress) args << "--suppress-permutations";
    QProcess cli;
    cli.start(QStringLiteral(ZANTRIC_CLI), args);
    cli.waitForFinished(30000);
    Outcome outcome;
    outcome.matches =
        QString::fromLatin1(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    for (const QString& line : QString::fromLatin1(cli.readAllStandardError()).split('\n')) {
        if (line.startsWith("Found: ")) outcome.found = line.mid(7).toInt();
        if (line.startsWith("Checked: ")) outcome.checked = line.mid(9).toInt();
    }
    return outcome;
}

// Closes whatever modal dialog comes up next (the Select Dictionaries dialog after a Start
// without a selected dictionary).
void closeNextDialog() {
    QTimer::singleShot(50, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
}

// The modal dialog open now, if it is a `Dialog` and already the active window: exec() makes it
// the modal widget before the activation arrives, and until then its Alt shortcuts do nothing.
template <class Dialog>
Dialog* modalDialog() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->isActiveWindow() ? qobject_cast<Dialog*>(modal) : nullptr;
}

// Answers the next file dialog as a user does: the file type chosen by its index in the list of
// types, the name typed (in the folder the dialog shows), Enter.
void answerFileDialog(const QString& name, int type = 0) {
    whenReady([] { return modalDialog<QFileDialog>() != nullptr; },
              [name, type] {
                  auto* dialog = modalDialog<QFileDialog>();
                  dialog->selectNameFilter(dialog->nameFilters().value(type));
                  auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                  QTest::keyClicks(edit, name);
                  QTest::keyClick(edit, Qt::Key_Return);
              });
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void searchesListWhatTheCommandLineLists();
    void refusedRequestsShowTheirMessageAndStartNothing();
    void keystrokesAreFiltered();
    void cancelQuestionHoldsTheSearch();
    void searchesStopAtTheMatchLimitOrAFullResultsFile();
    void phraseSearchReusesItsAnalysis();
    void clearAllResetsFieldsCountersAndList();
    void savedResultsComeBackAndGo();
    void fontComesBackAtTheNextStart();
    void windowPositionIsWrittenAtClose();
    void escapeClosesAnOpenListFirst();
    void layoutFitsAtEverySize();
    void phraseOptionsComeBackAndFilterTheSearch();
};

void MainWindowTest::searchesListWhatTheCommandLineLists() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("english.lex", kWords);
    ProgramFolder::addDictionary("more.lex", kMoreWords);
    ProgramFolder::addDictionary("unused.lex", {"cat", "zoo"}, false);
    const Request requests[] = {
        {"c?t", ""},
        {"*", "tac", false},
        {"*", "taco"},
        {"*", "CAT", false},
        {"???", "", true, false, "t", "c"},
        {"t*", "togaeta", false, false, "a"},
        {"* *", "catdog"},
        {"* *", "catdog", true, true},
        {"* *", "cotdag", false},
        {"cat !", "catdog"},
        {"2 *", "dogtac?"},
        {"*", "xyz"},
    };
    const QString path = QString::fromStdString(folder.path().string());
    std::vector<Outcome> expected;
    for (const Request& r : requests) expected.push_back(commandLineSearch(path, r));

    Window w;
    for (std::size_t i = 0; i < std::size(requests); ++i) {
        fill(w, requests[i]);
        const Outcome got = start(w, static_cast<StartBy>(i % 3));
        const QByteArray name = (requests[i].find + " from " + requests[i].from).toLatin1();
        QVERIFY2(expected[i].found >= 0, name);
        QCOMPARE(got.matches, expected[i].matches);
        QCOMPARE(got.found, expected[i].found);
        QCOMPARE(got.checked, expected[i].checked);
        QCOMPARE(w.frame->statusBar()->currentMessage(), QStringLiteral("Searching Completed"));
    }
}

void MainWindowTest::refusedRequestsShowTheirMessageAndStartNothing() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("english.lex", kWords);
    const struct {
        Request request;
        const char* text;  // the start of the message
        const char* title;
        int answer;  // to the message, 0 for none
    } cases[] = {
        {{"ab19", ""},
         "Your FIND field contained a pattern for a word exceeding",
         "Input Error",
         0},
        {{"9 9 9 9 9", ""},
         "Your FIND field exceeded the maximum permitted length of 40",
         "Input Error",
         0},
        {{"   ", ""}, "You have not supplied a FIND pattern.", "Input Error", 0},
        {{"* *", ""},
         "Multiple Word Searches must contain an entry in the FROM field.",
         "Input Error",
         0},
        {{"cat", "dog"},
         "Your FIND includes letters not found in your FROM field.",
         "Input Error",
         0},
        {{"????", "abc"}, "Your FIND length exceeds that of the FROM field.", "Input Error", 0},
        {{"t??", "", true, false, "e", "e"},
         "You cannot Include and Exclude the same letter(s).",
         "Input Error",
         0},
        {{"cat ! x", "catdog"},
         "Zantric will ignore any part of the FIND pattern",
         "Invalid Pattern Warning",
         kIdCancel},
    };
    Window w;
    for (const auto& c : cases) {
        RecordingPresenter messages;
        if (c.answer != 0) messages.script({c.answer});
        fill(w, c.request);
        const Outcome outcome = start(w);
        const RecordedMessage shown = messages.last();
        QVERIFY2(QString::fromStdString(shown.text).startsWith(c.text), c.text);
        QCOMPARE(QString::fromStdString(shown.title), QString(c.title));
        QVERIFY(!shown.hasOwner);
        if (c.answer == 0) QVERIFY(shown.beepsBefore > 0);
        QVERIFY(!w.client->searching());
        QCOMPARE(outcome.found, -1);
        QCOMPARE(w.client->results().count(), 0);
    }

    // Leaving FIND for another search field checks FIND at once.
    {
        RecordingPresenter messages;
        typeInto(w.find("find"), "abcdefghijklmnopqrstu");
        w.frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.frame.get()));
        w.find("find")->setFocus();
        QTest::keyClick(w.find("find"), Qt::Key_Tab);
        QTRY_COMPARE(messages.count(), 1u);
        QVERIFY(messages.last().text.rfind("Your FIND field contained a pattern", 0) == 0);
    }

    // No dictionary selected: the message, then Select Dictionaries opens.
    Catalogue::instance().setSelected(".\\lexicons\\english.lex", false);
    RecordingPresenter messages;
    fill(w, {"c?t", ""});
    closeNextDialog();
    QCOMPARE(start(w).found, -1);
    QCOMPARE(QString::fromStdString(messages.last().title),
             QStringLiteral("No Dictionaries Selected"));
}

void MainWindowTest::keystrokesAreFiltered() {
    ProgramFolder folder;
    Window w;
    const struct {
        const char* field;
        QString typed;
        QString kept;
        int beeps;
    } cases[] = {
        {"from", "ab1#c.9 /", "abc ?", 4},
        {"include", "x1-?y", "x-y", 2},
        {"exclude", "q*z", "qz", 1},
        {"exclude", QString(25, 'q'), QString(20, 'q'), 0},
        {"find", "c#t@1./", "ct1?", 3},
        {"find", "c/t*! 3", "c?t*! 3", 0},  // a phrase: INCLUDE and EXCLUDE go grey
    };
    for (const auto& c : cases) {
        RecordingPresenter messages;
        typeInto(w.find(c.field), c.typed);
        QCOMPARE(w.find(c.field)->currentText(), c.kept);
        QCOMPARE(messages.beeps(), c.beeps);
    }
}

void MainWindowTest::cancelQuestionHoldsTheSearch() {
    ProgramFolder folder;
    // Every six-letter string of a to h: 262,144 words, each one a match of "*".
    Words words;
    for (int i = 0; i < 8 * 8 * 8 * 8 * 8 * 8; ++i) {
        std::string word(6, 'a');
        for (int k = 0, n = i; k < 6; ++k, n /= 8) word[5 - k] = static_cast<char>('a' + n % 8);
        words.push_back(word);
    }
    ProgramFolder::addDictionary("big.lex", words);
    const int total = static_cast<int>(words.size());
    for (const int answer : {kIdNo, kIdYes}) {
        Window w;
        PauseCheckingPresenter answerer([&w] { return w.client->searchRun().found(); }, answer);
        ScopedPresenter scope(answerer);
        fill(w, {"*", ""});
        QSignalSpy completed(w.client, &SearchPanel::searchCompleted);
        // What Found and the list show when the status bar first says the search is over.
        QString foundWhenSaid;
        qsizetype listedWhenSaid = -1;
        QObject::connect(
            w.frame->statusBar(), &QStatusBar::messageChanged, w.client,
            [&](const QString& message) {
                if (message != QStringLiteral("Searching Completed") || listedWhenSaid >= 0) {
                    return;
                }
                foundWhenSaid = w.frame->foundPane()->text();
                listedWhenSaid = listedMatches(w).size();
            });
        w.client->command(gui::kCmdStart);
        while (w.client->searchRun().found() == 0 && w.client->searchRun().running()) {
        }
        w.client->command(gui::kCmdExit);
        QVERIFY(completed.wait(20000));
        QTRY_VERIFY(listedWhenSaid >= 0);
        QCOMPARE(QString::fromStdString(answerer.last().text),
                 QStringLiteral("Are you sure you want to cancel this search?"));
        QCOMPARE(QString::fromStdString(answerer.last().title), QStringLiteral("Confirm"));
        QVERIFY(answerer.progressWhenAsked > 0);
        QCOMPARE(answerer.progressWhenAnswered, answerer.progressWhenAsked);
        const int found = w.client->results().count();
        if (answer == kIdNo) {
            QCOMPARE(found, total);
        } else {
            QVERIFY(found < total);
            QVERIFY(found >= answerer.progressWhenAnswered);
            QCOMPARE(listedMatches(w).size(), found);
        }
        QCOMPARE(w.frame->foundPane()->text(), QStringLiteral("Found: %1").arg(found));
        QCOMPARE(foundWhenSaid, w.frame->foundPane()->text());
        QCOMPARE(listedWhenSaid, found);
        QVERIFY(w.frame->isVisible());  // command 2 in a search never closes the program
    }
    // Told to end by a signal: the search stops without a question, then the program closes.
    Window w;
    RecordingPresenter messages;
    fill(w, {"*", ""});
    QSignalSpy completed(w.client, &SearchPanel::searchCompleted);
    QSignalSpy closing(w.client, &SearchPanel::closeRequested);
    w.client->command(gui::kCmdStart);
    while (w.client->searchRun().found() == 0 && w.client->searchRun().running()) {
    }
    w.client->endWithoutAsking();
    QVERIFY(completed.wait(20000));
    QVERIFY(w.client->results().count() < total);
    QCOMPARE(messages.count(), 0u);
    QCOMPARE(closing.count(), 0);
    w.client->endWithoutAsking();
    QVERIFY(closing.wait(5000));
}

void MainWindowTest::searchesStopAtTheMatchLimitOrAFullResultsFile() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("english.lex", kWords);
    Settings::instance().writeString("SEARCH", "Match Limit", "2");
    Window w;
    RecordingPresenter messages;
    // The counter started past 32 bits: the pane shows the whole count.
    DictionaryReader::startCheckedAtForTests(std::uint64_t{1} << 32);
    const Outcome limited = search(w, {"*", "tac", false});
    DictionaryReader::startCheckedAtForTests(0);
    QCOMPARE(limited.matches.size(), 2);
    QCOMPARE(limited.found, 2);
    QCOMPARE(w.frame->statusBar()->currentMessage(), QStringLiteral("Stopped after 2 matches."));
    QVERIFY(w.frame->checkedPane()->text().section(' ', 1).toLongLong() > (qint64{1} << 32));
    QCOMPARE(messages.count(), 0u);
    // No limit, and a results file that holds one match: the search stops there and says so.
    Settings::instance().writeString("SEARCH", "Match Limit", "0");
    ResultsStore::setCapacityForTests(std::numeric_limits<std::uint64_t>::max(), 1);
    const Outcome full = start(w);
    ResultsStore::setCapacityForTests(std::numeric_limits<std::uint64_t>::max(),
                                      std::numeric_limits<std::int64_t>::max());
    QCOMPARE(full.matches, QStringList{limited.matches.first()});
    QCOMPARE(messages.count(), 1u);
    QCOMPARE(QString::fromStdString(messages.last().text),
             QStringLiteral("The results file is full: Zantric kept the first 1 matches."));
    QCOMPARE(w.frame->statusBar()->currentMessage(), QStringLiteral("Searching Completed"));
}

void MainWindowTest::phraseSearchReusesItsAnalysis() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("english.lex", kWords);
    Window w;
    QSignalSpy analyses(w.client, &SearchPanel::analysisStarted);
    const struct {
        Request request;
        int analysesAfter;
        bool cancelAnalysis;
    } steps[] = {
        {{"* *", "catdog"}, 1, false},
        {{"* *", "godcat"}, 1, false},  // the same letters in another order
        {{"c?t", ""}, 1, false},
        {{"* *", "catdog"}, 2, false},
        {{"* *", "dogcate"}, 3, true},  // cancelled: found nothing, the next one analyses
        {{"* *", "dogcate"}, 4, false},
        {{"* *", "dogcate"}, 4, false},
    };
    QStringList first;
    for (const auto& step : steps) {
        std::unique_ptr<QMetaObject::Connection> cancel;
        if (step.cancelAnalysis) {
            cancel = std::make_unique<QMetaObject::Connection>(
                connect(w.client, &SearchPanel::analysisStarted, this, [] {
                    QTimer::singleShot(0, [] {
                        if (auto* d = qobject_cast<gui::AnalysisDialog*>(
                                QApplication::activeModalWidget())) {
                            d->reject();
                        }
                    });
                }));
        }
        fill(w, step.request);
        const Outcome outcome = start(w);
        if (cancel) disconnect(*cancel);
        QCOMPARE(analyses.size(), step.analysesAfter);
        if (step.cancelAnalysis) {
            QCOMPARE(w.client->results().count(), 0);
            QVERIFY(!w.client->searching());
            QCOMPARE(w.frame->statusBar()->currentMessage(), QStringLiteral("Searching Completed"));
        } else if (step.request.find == "* *" && step.request.from.size() == 6) {
            if (first.isEmpty()) first = outcome.matches;
            QVERIFY(!outcome.matches.isEmpty());
            QCOMPARE(outcome.matches, first);
        }
    }
}

void MainWindowTest::clearAllResetsFieldsCountersAndList() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("english.lex", kWords);
    Window w;
    QVERIFY(search(w, {"*", "tac", false, false, "a"}).found > 0);
    QVERIFY(listedMatches(w).size() > 0);
    QTest::keyClick(w.frame.get(), Qt::Key_F3);
    QCOMPARE(w.find("find")->currentText(), QStringLiteral("*"));
    for (const char* f : {"from", "include", "exclude"}) {
        QCOMPARE(w.find(f)->currentText(), QString());
    }
    QVERIFY(w.box("useAll")->isChecked());
    QCOMPARE(w.frame->foundPane()->text(), QStringLiteral("Found: 0"));
    QCOMPARE(w.frame->checkedPane()->text(), QStringLiteral("Checked: 0"));
    QCOMPARE(w.list()->model()->rowCount(), 0);
    QCOMPARE(w.client->results().count(), 0);
    QVERIFY(!w.client->commandEnabled(gui::kCmdSaveAs));
    // The histories keep what was searched.
    QCOMPARE(w.find("from")->itemText(0), QStringLiteral("tac"));
}

void MainWindowTest::savedResultsComeBackAndGo() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("english.lex", kWords);
    Window w;
    const Outcome searched = search(w, {"*", "tac", false});
    QVERIFY(searched.found > 0);
    const struct {
        const char* name;
        int type;
        const char* dataFile;   // what Save As writes
        const char* indexFile;  // "" for a text export
    } saves[] = {
        {"r", 0, "files/r.ztr", "files/r.zix"},
        {"x.ZTR", 1, "files/x.ztr", "files/x.zix"},
        {"t.txt", 0, "files/t.txt", ""},
        {"e", 1, "files/e.asc", ""},
    };
    for (const auto& save : saves) {
        answerFileDialog(save.name, save.type);
        w.client->command(gui::kCmdSaveAs);
        QVERIFY2(std::filesystem::exists(save.dataFile), save.dataFile);
        const std::string data = TempFolder::read(save.dataFile);
        if (*save.indexFile == 0) {
            QVERIFY2(data.rfind(std::string(60, '*') + "\n\nResults from Zantric Search", 0) == 0,
                     save.name);
        } else {
            QVERIFY2(std::filesystem::exists(save.indexFile), save.indexFile);
        }
        QCOMPARE(listedMatches(w), searched.matches);  // the list goes on as it was
    }

    QTest::keyClick(w.frame.get(), Qt::Key_F3);
    answerFileDialog("r.ztr");
    w.client->command(gui::kCmdView);
    QCOMPARE(w.find("from")->currentText(), QStringLiteral("tac"));
    QVERIFY(!w.box("useAll")->isChecked());
    QCOMPARE(listedMatches(w), searched.matches);
    QCOMPARE(w.frame->foundPane()->text(), QStringLiteral("Found: %1").arg(searched.found));
    QCOMPARE(w.frame->checkedPane()->text(), QStringLiteral("Checked: %1").arg(searched.checked));
    QVERIFY(w.client->commandEnabled(gui::kCmdDeleteResults));

    // Asked first, No the default; No keeps the pair.
    RecordingPresenter messages;
    messages.script({kIdNo, kIdYes});
    w.client->command(gui::kCmdDeleteResults);
    QVERIFY(std::filesystem::exists("files/r.ztr"));
    QCOMPARE(messages.last().title, std::string("Confirm"));
    QCOMPARE(messages.last().style, kMbYesNo | kMbDefaultButton2);
    QVERIFY(messages.last().text.find("r.ztr\n") != std::string::npos);
    w.client->command(gui::kCmdDeleteResults);
    QVERIFY(!std::filesystem::exists("files/r.ztr"));
    QVERIFY(!std::filesystem::exists("files/r.zix"));
    QCOMPARE(w.find("from")->currentText(), QString());
    QCOMPARE(w.list()->model()->rowCount(), 0);
}

void MainWindowTest::fontComesBackAtTheNextStart() {
    ProgramFolder folder;
    const struct {
        bool bold;
        int sizeIndex;
        const char* weight;
        const char* height;
        int points;
    } cases[] = {
        {true, 1, "700", "-13", 10},
        {false, 2, "400", "-16", 12},
        {true, 0, "700", "-11", 8},
    };
    for (const auto& c : cases) {
        {
            Window w;
            if (w.box("bold")->isChecked() != c.bold) w.box("bold")->click();
            w.find("size")->setCurrentIndex(c.sizeIndex);
            emit w.find("size")->activated(c.sizeIndex);
        }
        const Settings& config = Settings::instance();
        QCOMPARE(config.readString("FONT", "Font Set", ""), std::string("1"));
        QCOMPARE(config.readString("FONT", "Weight", ""), std::string(c.weight));
        QCOMPARE(config.readString("FONT", "Height", ""), std::string(c.height));
        Window next;
        QCOMPARE(next.box("bold")->isChecked(), c.bold);
        QCOMPARE(next.find("size")->currentIndex(), c.sizeIndex);
        QCOMPARE(next.list()->font().bold(), c.bold);
        QCOMPARE(next.list()->font().pointSize(), c.points);
        QCOMPARE(next.find("find")->font().pointSize(), c.points);
    }
}

void MainWindowTest::windowPositionIsWrittenAtClose() {
    ProgramFolder folder;
    Window w;
    w.frame->move(120, 80);
    w.frame->resize(640, 480);
    w.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.frame.get()));
    QTest::keyClick(w.frame.get(), Qt::Key_Escape);
    QTRY_VERIFY(!w.frame->isVisible());
    const Settings& config = Settings::instance();
    const QPoint corner = w.frame->pos();
    QCOMPARE(config.readInt("WINDOW POSITION", "left", -1), corner.x());
    QCOMPARE(config.readInt("WINDOW POSITION", "top", -1), corner.y());
    QCOMPARE(config.readInt("WINDOW POSITION", "right", -1), corner.x() + 640);
    QCOMPARE(config.readInt("WINDOW POSITION", "bottom", -1), corner.y() + 480);
    QCOMPARE(config.readInt("WINDOW POSITION", "Maximised", -1), 0);

    Window again;
    QCOMPARE(again.frame->pos(), corner);
    QCOMPARE(again.frame->size(), QSize(640, 480));
}

void MainWindowTest::escapeClosesAnOpenListFirst() {
    ProgramFolder folder;
    Window w;
    QSignalSpy closing(w.client, &SearchPanel::closeRequested);
    w.frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.frame.get()));
    for (QComboBox* box : {w.find("find"), w.find("size")}) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(box->view()->isVisible());
        // The open list has the keyboard, as the application routes keys to a popup.
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup != nullptr);
        QTest::keyClick(popup->focusWidget() != nullptr ? popup->focusWidget() : popup,
                        Qt::Key_Escape);
        QTRY_VERIFY(!box->view()->isVisible());
        QTest::qWait(20);
        QCOMPARE(closing.count(), 0);
        QVERIFY(w.frame->isVisible());
    }
    // No list open: Escape in a field is Cancel, which closes the program.
    QTest::keyClick(w.find("find"), Qt::Key_Escape);
    QVERIFY(closing.wait(2000));
}

void MainWindowTest::layoutFitsAtEverySize() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("english.lex", kWords);
    Window w;  // no position stored: the first-start size
    QVERIFY(search(w, {"*", ""}).found > 0);
    QStringList paneTexts;  // every text of the status bar's message pane
    for (const QAction* action : w.frame->findChildren<QAction*>()) {
        if (!action->statusTip().isEmpty()) paneTexts << action->statusTip();
    }
    for (int id = 902; id <= 908; ++id) paneTexts << QString::fromStdString(loadString(id));
    const struct {
        const char* name;
        std::function<void(QWidget*)> size;
    } sizes[] = {
        {"first start", [](QWidget*) {}},
        {"smallest", [](QWidget* frame) { frame->resize(1, 1); }},
        {"maximised", [](QWidget* frame) { frame->showMaximized(); }},
    };
    int columnsAtFirstStart = 0;
    for (const auto& size : sizes) {
        size.size(w.frame.get());
        QApplication::processEvents();
        QTest::qWait(50);
        // Every control shows whole inside the window, at least at the size it needs.
        const QList<QWidget*> controls = {w.find("find"),
                                          w.find("exclude"),
                                          w.box("useAll")->parentWidget(),
                                          w.box("bold")->parentWidget(),
                                          w.find<QPushButton>("start"),
                                          w.find<QPushButton>("cancel"),
                                          w.list()};
        for (QWidget* control : controls) {
            const QRect area(control->mapTo(w.client, QPoint()), control->size());
            QVERIFY2(w.client->rect().contains(area), size.name);
            QVERIFY2(control->width() >= control->minimumSizeHint().width() &&
                         control->height() >= control->minimumSizeHint().height(),
                     size.name);
        }
        QStatusBar* bar = w.frame->statusBar();
        QVERIFY2(w.frame->rect().contains(bar->geometry()), size.name);
        QVERIFY2(bar->rect().contains(w.frame->checkedPane()->geometry()), size.name);
        // The message pane is what the counters leave.
        const int pane = w.frame->foundPane()->x() - 8;
        for (const QString& text : paneTexts) {
            QVERIFY2(bar->fontMetrics().horizontalAdvance(text) <= pane, qPrintable(text));
        }
        // The list's columns follow its width.
        const ResultsStore& results = w.client->results();
        const int columns = w.list()->widthInCharacters() / (results.longest() + results.tabSize());
        QCOMPARE(results.perRow(), std::max(1, columns));
        if (columnsAtFirstStart == 0) columnsAtFirstStart = results.perRow();
    }
    QVERIFY(w.client->results().perRow() > columnsAtFirstStart);
}

// Phrase Options set by keys and clicks are kept in the ini and come back at the next start;
// the stoplist editor refuses a line that is not a word; the search then passes over what the
// filters strike, says "Filters on", and a highlighted match shows what it left over.
void MainWindowTest::phraseOptionsComeBackAndFilterTheSearch() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("english.lex", kWords);
    RecordingPresenter messages;
    {  // A stoplist that cannot be read is reported and never replaced by what the editor holds.
        QVERIFY(QDir().mkdir("stoplist.txt"));
        gui::StoplistEditor unreadable(nullptr, kStoplistFileName);
        QVERIFY(messages.last().text.starts_with("Unable to Open File: /"));
        QVERIFY(!unreadable.save());
        QVERIFY(QDir().rmdir("stoplist.txt"));
    }
    {
        Window w;
        whenReady([] { return modalDialog<gui::PhraseOptionsDialog>() != nullptr; },
                  [] {
                      auto* dialog = modalDialog<gui::PhraseOptionsDialog>();
                      QCOMPARE(dialog->options(), PhraseOptions{});
                      dialog->minWordLength()->selectAll();
                      QTest::keyClicks(dialog->minWordLength(), "3");
                      QTest::keyClick(dialog, Qt::Key_W, Qt::AltModifier);  // Each word once
                      whenReady([] { return modalDialog<gui::StoplistEditor>() != nullptr; },
                                [] {
                                    auto* editor = modalDialog<gui::StoplistEditor>();
                                    QTest::keyClicks(editor->text(), "TEA");
                                    QTest::keyClick(editor->text(), Qt::Key_Return);
                                    QTest::keyClicks(editor->text(), "not a word");
                                    QVERIFY(!editor->save());  // refused: the editor stays open
                                    editor->text()->setPlainText("TEA\ngod\n");
                                    QTest::keyClick(editor, Qt::Key_O, Qt::AltModifier);
                                });
                      QTest::keyClick(dialog, Qt::Key_E, Qt::AltModifier);  // Edit Stoplist
                      QTest::keyClick(dialog, Qt::Key_O, Qt::AltModifier);
                  });
        w.client->command(gui::kCmdPhraseOptions);
        QCOMPARE(QString::fromStdString(messages.last().text).left(29),
                 QStringLiteral("These lines are not words (1 "));
        QCOMPARE(test::TempFolder::read("stoplist.txt"), std::string("Tea\ngod\n"));
    }
    const Settings& config = Settings::instance();
    QCOMPARE(config.readInt("PHRASE OPTIONS", "Minimum Word Length", 0), 3);
    QCOMPARE(config.readInt("PHRASE OPTIONS", "Each Word Once", 0), 1);
    QCOMPARE(config.readInt("PHRASE OPTIONS", "Use Stoplist", 0), 1);

    Window next;
    PhraseOptions shown;
    whenReady([] { return modalDialog<gui::PhraseOptionsDialog>() != nullptr; },
              [&shown] {
                  shown = modalDialog<gui::PhraseOptionsDialog>()->options();
                  modalDialog<gui::PhraseOptionsDialog>()->reject();
              });
    next.client->command(gui::kCmdPhraseOptions);
    QCOMPARE(shown, (PhraseOptions{3, true, true}));
    // Two words of three letters or more from catdog, never god; then a single-word search
    // that leaves letters over, with what the clicked match left.
    const Outcome phrases = search(next, {"* *", "catdog", false, true});
    QCOMPARE(phrases.matches, (QStringList{"act dog", "Cat dog", "cat dog"}));
    QVERIFY(next.find<QLabel>("filters")->isVisibleTo(next.frame.get()));
    QCOMPARE(next.find<QLabel>("filters")->text(), QStringLiteral("Filters on"));
    const Outcome words = search(next, {"*", "tea?", false});
    QVERIFY(!words.matches.contains("Tea"));
    QVERIFY(words.matches.contains("ate"));
    gui::ResultsListView* list = next.list();
    const int at = static_cast<int>(words.matches.indexOf("tee"));
    const int row = at / next.client->results().perRow();
    const int column = at % next.client->results().perRow();
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(
        list->viewport(), Qt::LeftButton, {},
        QPoint(cell.left() + column * list->rowDelegate()->tabStop() + 2, cell.center().y()));
    QCOMPARE(next.frame->statusBar()->currentMessage(), QStringLiteral("tee  left: a  blanks: e"));
}

ZANTRIC_GUI_TEST(MainWindowTest);

}  // namespace zantric::test

#include "main_window_test.moc"
