// The program's dialogs: the progress dialog stays hidden for short work, shows for long work,
// holds the work while it asks about cancelling and returns the work's result; the message
// boxes carry their icon and buttons, answer what was clicked, and reach the screen from a
// worker thread; the three-button question; Select Dictionaries switches and deletes.
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <atomic>
#include <thread>

#include "core/dictionary/dictionary_names.h"
#include "core/shell/messages.h"
#include "core/shell/progress_work.h"
#include "gui/command_ids.h"
#include "gui/help.h"
#include "gui/progress_dialog.h"
#include "gui/qt_message_presenter.h"
#include "gui/select_dictionaries.h"
#include "gui/three_button_message_box.h"
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
    void helpPageHoldsEveryContext();
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
        gui::_3ButtonMessageBox box(nullptr, "Append or overwrite?", "Confirm", "&Append",
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
    gui::SelectDictionaries dialog(nullptr);
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
    QVERIFY(DictionaryNames::instance().isSelected(".\\lexicons\\a.lex"));

    RecordingPresenter messages;
    messages.script({kIdNo, kIdYes});
    dialog.list()->selectAll();
    const QStringList highlighted = dialog.highlightedRows();
    QCOMPARE(gui::deleteHighlighted(highlighted, 2), 0);  // No: nothing happens
    QCOMPARE(DictionaryNames::instance().count(), 3u);
    QCOMPARE(gui::deleteHighlighted(highlighted, 2), 1);
    QCOMPARE(DictionaryNames::instance().count(), 0u);
    QVERIFY(std::filesystem::exists("lexicons/c.lxb"));
    const std::string question = messages.messages().front().text;
    QVERIFY(question.find("\na.lex\nb.lex\nc.lex\n\nAre you sure") != std::string::npos);
    QCOMPARE(gui::deleteHighlighted({}, 2), 0);
    QCOMPARE(QString::fromStdString(messages.last().text),
             QStringLiteral("You must highlight one or more dictionaries for deletion."));
}

void DialogsTest::helpPageHoldsEveryContext() {
    ProgramFolder folder;
    for (int context : {gui::kHelpContents, gui::kHelpMakeDictionary, gui::kHelpMergeDictionaries,
                        gui::kHelpAddWord, gui::kHelpRemoveWord, gui::kHelpSelectDictionaries}) {
        const QUrl url = gui::helpUrl(context);
        QVERIFY(url.isLocalFile());
        const std::string page = TempFolder::read(url.toLocalFile().toStdString());
        const std::string anchor = "id=\"" + url.fragment().toStdString() + "\"";
        QVERIFY2(page.find(anchor) != std::string::npos, anchor.c_str());
    }
    // A dialog's context holds while it lives.
    {
        gui::HelpId select(gui::kHelpSelectDictionaries);
        QCOMPARE(gui::HelpId::current(), gui::kHelpSelectDictionaries);
    }
    QCOMPARE(gui::HelpId::current(), gui::kHelpContents);
}

ZANTRIC_GUI_TEST(DialogsTest);

}  // namespace zantric::test

#include "dialogs_test.moc"
