// The program's dialogs: the progress dialog stays hidden for short work, shows for long work,
// holds the work while it asks about cancelling, gives way to a box its work raises and
// returns the work's result; the message boxes carry their icon and buttons, answer what was
// clicked, and reach the screen from a worker thread; the three-button question; Select
// Dictionaries switches and deletes; help opens in the program's own window; no window or
// dialog gives one Alt+letter to two controls.
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <atomic>
#include <thread>

#include "core/dictionary/catalogue.h"
#include "core/shell/messages.h"
#include "core/shell/progress_work.h"
#include "gui/about_dialog.h"
#include "gui/command_ids.h"
#include "gui/help.h"
#include "gui/main_window.h"
#include "gui/make_dictionary_dialog.h"
#include "gui/merge_dialog.h"
#include "gui/progress_dialog.h"
#include "gui/qt_message_presenter.h"
#include "gui/search_panel.h"
#include "gui/select_dictionaries_dialog.h"
#include "gui/three_button_question.h"
#include "gui/word_dialog.h"
#include "gui_test_support.h"

namespace zantric::test {
namespace {

// Work of `steps` steps of `stepMs` each, reporting its percentage after every step.
class SteppedWork final : public ProgressWork {
public:
    SteppedWork(int steps, int stepMs, bool cancellable)
        : m_steps(steps), m_stepMs(stepMs), m_cancellable(cancellable) {
        setText("Working on it");
    }
    void work() override {
        for (int i = 0; i < m_steps; ++i) {
            if (poll()) return;
            if (i == m_messageAtStep)
                messageBoxText("Something to say", "Warning", kMbOkInformation);
            std::this_thread::sleep_for(std::chrono::milliseconds(m_stepMs));
            ++m_done;
            setPercent((i + 1) * 100 / m_steps);
            if (m_afterBlock) m_afterBlock();
        }
        setResult(1);
    }
    bool cancellable() const override { return m_cancellable; }
    void cancelWork() override {
        if (m_cancellable) ProgressWork::cancelWork();
    }
    int done() const { return m_done.load(); }
    std::function<void()> m_afterBlock;
    int m_messageAtStep = -1;

private:
    int m_steps;
    int m_stepMs;
    bool m_cancellable;
    std::atomic<int> m_done{0};
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void progressDialogShowsLongWorkAndAsksBeforeCancelling();
    void messageBoxesFromAnyThread();
    void threeButtonQuestion();
    void selectDictionariesSwitchesAndDeletes();
    void boxRaisedByWorkComesFirst();
    void helpOpensAtEveryContext();
    void noMnemonicIsUsedTwice();
};

void DialogsTest::progressDialogShowsLongWorkAndAsksBeforeCancelling() {
    const struct {
        const char* name;
        int steps;
        int stepMs;
        bool onWorker;
        int cancelAnswer;  // 0: Cancel is not pressed
        bool shown;
        int result;
    } cases[] = {
        {"short work", 3, 10, true, 0, false, 1},
        {"long work", 40, 30, true, 0, true, 1},
        {"cancel, then No", 40, 30, true, kIdNo, true, 1},
        {"cancel, then Yes", 40, 30, true, kIdYes, true, 0},
        {"on the GUI thread", 40, 30, false, 0, true, 1},
    };
    for (const auto& c : cases) {
        SteppedWork work(c.steps, c.stepMs, c.onWorker);
        gui::ProgressDialog dialog(nullptr, work);
        if (!c.onWorker) work.m_afterBlock = dialog.afterBlockHook();
        PauseCheckingPresenter answers([&work] { return work.done(); }, c.cancelAnswer);
        ScopedPresenter scope(answers);
        if (c.cancelAnswer != 0) {
            whenReady([&] { return dialog.shownOnScreen(); }, [&] { dialog.reject(); });
        }
        const int result = dialog.run();
        QVERIFY2(result == c.result, c.name);
        QVERIFY2(dialog.shownOnScreen() == c.shown, c.name);
        QVERIFY2(dialog.cancelButton()->isVisibleTo(&dialog) == c.onWorker, c.name);
        QVERIFY2(dialog.ticks() > 0 || !c.shown, c.name);
        if (c.cancelAnswer != 0) {
            const RecordedMessage question = answers.last();
            QCOMPARE(QString::fromStdString(question.text),
                     QStringLiteral("Are you sure you want to Cancel?"));
            QCOMPARE(QString::fromStdString(question.title), QStringLiteral("Cancel"));
            QVERIFY2(answers.progressWhenAsked == answers.progressWhenAnswered, c.name);
        }
        QVERIFY2((work.done() == c.steps) == (c.result == 1), c.name);
        QCOMPARE(dialog.gauge()->text(), QStringLiteral("%1%").arg(dialog.gauge()->value()));
    }
}

void DialogsTest::messageBoxesFromAnyThread() {
    gui::QtMessagePresenter qtPresenter;
    ScopedPresenter scope(qtPresenter);
    const struct {
        int style;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton click;
        int answer;
    } cases[] = {
        {kMbOkStop, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, kIdOk},
        {kMbOkExclamation, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, kIdOk},
        {kMbOkInformation, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok, kIdOk},
        {kMbOkCancelQuestion, QMessageBox::Question, QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::Cancel, kIdCancel},
        {kMbYesNo, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
         kIdYes},
        {kMbYesNo, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, kIdNo},
    };
    for (const auto& c : cases) {
        for (const bool fromWorker : {false, true}) {
            QMessageBox* seen = nullptr;
            QMessageBox::Icon icon = QMessageBox::NoIcon;
            QMessageBox::StandardButtons buttons;
            Qt::WindowModality modality = Qt::NonModal;
            whenReady([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
                      [&] {
                          seen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                          icon = seen->icon();
                          buttons = seen->standardButtons();
                          modality = seen->windowModality();
                          seen->button(c.click)->click();
                      });
            std::atomic<int> answer{-1};
            if (fromWorker) {
                std::thread worker([&] { answer = messageBoxText("Text", "Title", c.style); });
                while (answer.load() < 0) QTest::qWait(10);
                worker.join();
            } else {
                answer = messageBoxText("Text", "Title", c.style);
            }
            QVERIFY(seen != nullptr);
            QCOMPARE(answer.load(), c.answer);
            QCOMPARE(icon, c.icon);
            QCOMPARE(buttons, c.buttons);
            QCOMPARE(modality, Qt::ApplicationModal);  // no owner: it blocks every window
        }
    }
}

void DialogsTest::threeButtonQuestion() {
    const struct {
        int press;  // a button, or -1 for Escape
        int answer;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {-1, 2}};
    for (const auto& c : cases) {
        gui::ThreeButtonQuestion box(nullptr, "Append or overwrite?", "Confirm", "&Append",
                                     "&Overwrite", "&Cancel");
        QCOMPARE(box.button(1)->text(), QStringLiteral("&Overwrite"));
        QVERIFY(box.button(2)->isDefault());
        whenReady([&box] { return box.isVisible(); },
                  [&] {
                      if (c.press < 0) {
                          QTest::keyClick(&box, Qt::Key_Escape);
                      } else {
                          box.button(c.press)->click();
                      }
                  });
        QCOMPARE(box.exec(), c.answer);
    }
}

void DialogsTest::selectDictionariesSwitchesAndDeletes() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("a.lex", {"cat"}, false);
    ProgramFolder::addDictionary("b.lex", {"dog"}, true);
    ProgramFolder::addDictionary("c.lex", {"eel"}, false);
    gui::SelectDictionariesDialog dialog(nullptr);
    auto rows = [&dialog] {
        QStringList texts;
        for (int i = 0; i < dialog.list()->count(); ++i) {
            texts << dialog.list()->item(i)->text();
        }
        return texts;
    };
    const QString mark = QString(QChar(0xBB));
    QCOMPARE(rows(), (QStringList{" \ta.lex", mark + "\tb.lex", " \tc.lex"}));

    // Two rows highlighted, one of them selected: both switch.
    dialog.list()->item(0)->setSelected(true);
    dialog.list()->item(1)->setSelected(true);
    dialog.toggleHighlighted();
    QCOMPARE(rows(), (QStringList{mark + "\ta.lex", " \tb.lex", " \tc.lex"}));
    QVERIFY(Catalogue::instance().isSelected(".\\lexicons\\a.lex"));

    RecordingPresenter messages;
    messages.script({kIdNo, kIdYes});
    dialog.list()->selectAll();
    const QStringList highlighted = dialog.highlightedRows();
    QCOMPARE(gui::deleteHighlighted(highlighted, 2), 0);  // No: nothing happens
    QCOMPARE(Catalogue::instance().count(), 3u);
    QCOMPARE(gui::deleteHighlighted(highlighted, 2), 1);
    QCOMPARE(Catalogue::instance().count(), 0u);
    QVERIFY(std::filesystem::exists("lexicons/c.lxb"));
    const std::string question = messages.messages().front().text;
    QVERIFY(question.find("\na.lex\nb.lex\nc.lex\n\nAre you sure") != std::string::npos);
    QCOMPARE(gui::deleteHighlighted({}, 2), 0);
    QCOMPARE(QString::fromStdString(messages.last().text),
             QStringLiteral("You must highlight one or more dictionaries for deletion."));
}

void DialogsTest::boxRaisedByWorkComesFirst() {
    // Copy, move and export run on the GUI thread, the dictionary work on a worker.
    gui::QtMessagePresenter qtPresenter;
    ScopedPresenter scope(qtPresenter);
    for (const bool onWorker : {true, false}) {
        QWidget owner;
        owner.show();
        SteppedWork work(40, 30, onWorker);
        work.m_messageAtStep = 3;
        gui::ProgressDialog dialog(&owner, work);
        if (!onWorker) work.m_afterBlock = dialog.afterBlockHook();
        SeenBox seen;
        answerNextBoxWithEnter(&owner, seen);
        QCOMPARE(dialog.run(), 1);
        QCOMPARE(seen.owner, &owner);
        QVERIFY(!seen.progressShown);
        QVERIFY(seen.answeredByEnter);
        QCOMPARE(work.done(), 40);
    }
}

void DialogsTest::helpOpensAtEveryContext() {
    QFile file(QStringLiteral(":/help/zantric.html"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray page = file.readAll();
    QWidget main;
    main.show();
    for (int context : {gui::kHelpContents, gui::kHelpMakeDictionary, gui::kHelpMergeDictionaries,
                        gui::kHelpAddWord, gui::kHelpRemoveWord, gui::kHelpSelectDictionaries}) {
        const QString anchor = gui::helpAnchor(context);
        QVERIFY2(page.contains(("id=\"" + anchor + "\"").toLatin1()), qPrintable(anchor));
        gui::HelpWindow* help = gui::openHelp(context, &main);
        QVERIFY(help->isVisible());
        QCOMPARE(help->browser()->source().fragment(), anchor);
    }
    // The page is shown at the anchor: a section near its end is scrolled to.
    QTRY_VERIFY(gui::helpWindow()->browser()->verticalScrollBar()->value() > 0);
    // Over a dialog that waits for its answer the help window is the dialog's, which does not
    // block it; when the dialog goes, the window beneath takes it over.
    QDialog dialog(&main);
    QWidget* ownerWhileOpen = nullptr;
    whenReady([&dialog] { return dialog.isVisible(); },
              [&] {
                  ownerWhileOpen = gui::openHelp(gui::HelpId::current(), &main)->parentWidget();
                  dialog.accept();
              });
    dialog.exec();
    QCOMPARE(ownerWhileOpen, &dialog);
    QCOMPARE(gui::helpWindow()->parentWidget(), &main);
    QVERIFY(gui::helpWindow()->isVisible());
    // A dialog's context holds while it lives.
    {
        gui::HelpId select(gui::kHelpSelectDictionaries);
        QCOMPARE(gui::HelpId::current(), gui::kHelpSelectDictionaries);
    }
    QCOMPARE(gui::HelpId::current(), gui::kHelpContents);
}

namespace {

// Adds "where: text / text" to `clashes` for each Alt+letter that two of the texts share.
void addClashes(const QString& where, const QStringList& texts, QStringList& clashes) {
    QHash<QString, QString> seen;
    for (const QString& text : texts) {
        const QString key = QKeySequence::mnemonic(text).toString();
        if (key.isEmpty()) continue;
        if (seen.contains(key)) clashes << where + ": " + seen[key] + " / " + text;
        seen.insert(key, text);
    }
}

// The Alt+letter clashes of a window: among its buttons, labelled fields, group boxes and menu
// titles; and among the items of each of its menus.
QStringList mnemonicClashes(QWidget* window) {
    QStringList texts;
    QStringList clashes;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window || !widget->isVisibleTo(window)) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            texts << button->text();
        } else if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy()) {
            texts << label->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            texts << group->title();
        } else if (auto* bar = qobject_cast<QMenuBar*>(widget)) {
            for (QAction* title : bar->actions()) {
                texts << title->text();
                if (title->menu() == nullptr) continue;
                QStringList items;
                for (QAction* item : title->menu()->actions()) items << item->text();
                addClashes(title->text(), items, clashes);
            }
        }
    }
    addClashes(window->windowTitle(), texts, clashes);
    return clashes;
}

}  // namespace

void DialogsTest::noMnemonicIsUsedTwice() {
    ProgramFolder folder;
    ProgramFolder::addDictionary("a.lex", {"cat"});
    SteppedWork work(1, 1, true);
    const std::function<QWidget*()> windows[] = {
        [] { return new gui::MainWindow(new gui::SearchPanel); },
        [] { return new gui::SelectDictionariesDialog(nullptr); },
        [] { return new gui::MakeDictionaryDialog(nullptr); },
        [] { return new gui::ReminderBox(nullptr); },
        [] { return new gui::MergeDialog(nullptr); },
        [] { return new gui::WordDialog(nullptr, UpdateMode::kAdd); },
        [] { return new gui::WordDialog(nullptr, UpdateMode::kRemove); },
        [] { return new gui::AboutDialog(nullptr); },
        [] {
            return new gui::ThreeButtonQuestion(nullptr, "x.asc already exists", "Warning",
                                                "&Overwrite", "&Append", "&Cancel");
        },
        [&work] { return new gui::ProgressDialog(nullptr, work); },
        [] { return new gui::HelpWindow(nullptr); },
    };
    for (const auto& make : windows) {
        const std::unique_ptr<QWidget> window(make());
        const QStringList clashes = mnemonicClashes(window.get());
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join("; ")));
    }
}

ZANTRIC_GUI_TEST(DialogsTest);

}  // namespace zantric::test

#include "dialogs_test.moc"
