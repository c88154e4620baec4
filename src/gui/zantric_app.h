// ZantricApp: the application object "Zantric". start() runs the start-up in its fixed order:
// the program session starts (the program's folder, the ini file, the files that earlier copies
// left behind, the catalogue, this copy's instance marker), then the main window and the frame
// around it are built and the frame is shown where it was left. After the event loop the frame
// goes first, then the session ends (this copy's files, the changed dictionary headers, the
// marker). GUI thread.
#pragma once

#include <QApplication>
#include <QBasicTimer>
#include <memory>

#include "core/session/program_session.h"
#include "gui/qt_message_presenter.h"

class QSocketNotifier;

namespace zantric::gui {

class MainWindow;
class SearchPanel;

class ZantricApp final : public QApplication {
    Q_OBJECT
public:
    ZantricApp(int& argc, char** argv);
    ~ZantricApp() override;

    // Start-up; `folder` is the -C DIR argument or empty. False when the program cannot run
    // (the reason has been shown).
    bool start(const std::string& folder, bool startMinimised = false);
    // Closes down after the event loop: the frame and main window, then the catalogue.
    void shutDown();

    MainWindow* frame() const { return m_frame.get(); }

protected:
    void timerEvent(QTimerEvent* event) override;
    // F1 while a dialog or message box is in front: help at the dialog's context (Ctrl+F1:
    // the contents).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // SIGTERM, SIGHUP and SIGINT end the program in order: every dialog in front is closed as
    // Escape closes it (the work under a progress dialog cancelled without asking), a search
    // is cancelled, and the window closes as Exit closes it, deleting this copy's files.
    void watchEndSignals();
    void endStep();

    QtMessagePresenter m_presenter;  // every box of the program
    QSocketNotifier* m_signalNotifier = nullptr;
    QBasicTimer m_endTimer;
    ProgramSession m_session{m_presenter};
    std::unique_ptr<MainWindow> m_frame;
    bool m_started = false;
};

}  // namespace zantric::gui
