// ProgressDialog: the modal "Please Wait..." dialog of every long operation but the search: a
// line of text, a percentage gauge and Cancel, over one ProgressWork. run() starts the work (on
// a worker thread, or here on the GUI thread for work that cannot be cancelled), polls it every
// 200 ms, stays invisible until the operation looks like taking more than a second, asks before
// cancelling, and returns the work's result. A message box that the work raises is shown in
// its place: the dialog hides (or stays hidden) until the box is answered. GUI thread; the work
// talks back only through its own atomic fields and one queued call when it ends.
#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

#include "core/shell/progress_work.h"

class QEventLoop;
class QLabel;
class QProgressBar;
class QPushButton;

namespace zantric::gui {

class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    ProgressDialog(QWidget* parent, ProgressWork& work);
    ~ProgressDialog() override;

    // Runs the work modally and returns its result.
    WorkResult run();

    void setProgressText(const QString& text);
    // Moves the gauge and shows the dialog once the estimate passes a second.
    void setPercent(int percent);
    bool shownOnScreen() const { return m_shown; }
    int ticks() const { return m_ticks; }
    QPushButton* cancelButton() const { return m_cancel; }
    QProgressBar* gauge() const { return m_gauge; }

    // For work on the GUI thread: call after every block. Dispatches the waiting events, so
    // the gauge moves and the windows paint.
    void afterBlock();
    // The same as a callable, for works that take a hook (copy, move, export).
    std::function<void()> afterBlockHook() {
        return [this] { afterBlock(); };
    }

    // Cancels the work without asking (the program is told to end); work that cannot be
    // cancelled runs to its end.
    void cancelWithoutAsking();
    // Whether the dialog's own cancel question is on screen.
    bool asking() const { return m_asking; }

    // The innermost dialog whose work is under way (it may still be hidden), nullptr when none
    // runs.
    static ProgressDialog* innermostRunning();

    // While a message box raised by the work waits for its answer: the dialog is hidden (and
    // does not show itself), user input reaches the box, and afterwards the dialog is back as
    // it was. Nests.
    class MessageHold {
    public:
        explicit MessageHold(ProgressDialog* dialog);
        ~MessageHold();
        MessageHold(const MessageHold&) = delete;
        MessageHold& operator=(const MessageHold&) = delete;

    private:
        QPointer<ProgressDialog> m_dialog;
    };

public slots:
    // The Cancel button, Escape and the close box: the cancel question.
    void reject() override;

signals:
    // A question or message is about to be shown while the work is paused (tests wait on it).
    void cancelQuestionOpened();

protected:
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class InputBlocker;
    void startWork();
    void workFinished();
    void tick();

    ProgressWork& m_work;
    WorkerThread m_thread;
    bool m_threadStarted = false;
    bool m_finished = false;
    bool m_asking = false;
    int m_ticks = 0;
    bool m_shown = false;
    int m_messagesWaiting = 0;
    QBasicTimer m_timer;
    QEventLoop* m_loop = nullptr;
    std::unique_ptr<InputBlocker> m_blocker;
    QLabel* m_text;
    QProgressBar* m_gauge;
    QPushButton* m_cancel;
};

}  // namespace zantric::gui
