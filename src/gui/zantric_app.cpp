#include "gui/zantric_app.h"

#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTimerEvent>
#include <csignal>

#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "gui/about_dialog.h"
#include "gui/help.h"
#include "gui/main_window.h"
#include "gui/progress_dialog.h"
#include "gui/qt_message_presenter.h"
#include "gui/search_panel.h"
#include "gui/starter_dictionary.h"
#include "gui/three_button_question.h"
#include "zantric_version.h"

namespace zantric::gui {

namespace {

// The program keeps a handful of files open at a time (one per word of a phrase at most).
constexpr rlim_t kOpenFiles = 50;

// The signal handler's end of a socket pair; the event loop reads the other end.
int g_signalSocket[2] = {-1, -1};

void onEndSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalSocket[0], &byte, 1);
}

constexpr int kEndStepMs = 50;

void allowOpenFiles() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < kOpenFiles &&
        kOpenFiles <= limit.rlim_max) {
        limit.rlim_cur = kOpenFiles;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

}  // namespace

ZantricApp::ZantricApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Zantric"));
    setApplicationVersion(QStringLiteral(ZANTRIC_VERSION));
    setDesktopFileName(QStringLiteral(ZANTRIC_APP_ID));
    setWindowIcon(zantricIcon());
}

ZantricApp::~ZantricApp() { shutDown(); }

bool ZantricApp::start(const std::string& folder, bool startMinimised) {
    allowOpenFiles();
    watchEndSignals();  // before the first message box can wait for the user
    // A first start with an empty dictionaries folder shows one box: the offer below says that
    // there is no dictionary yet, so the catalogue's own notice of it is left out.
    const std::filesystem::path wordList = systemWordList();
    if (!wordList.empty()) m_presenter.setSilenced(loadString(kStrNoDictionaries));
    std::string reason;
    const bool started = m_session.start(folder, ProgramSession::Use::kWork, &reason);
    m_presenter.setSilenced({});
    if (!started) {
        m_presenter.tell({reason, "Zantric", MessageKind::kError});
        return false;
    }
    auto* client = new SearchPanel(m_session.workspace());
    m_frame = std::make_unique<MainWindow>(client);
    m_frame->placeAtStoredPosition();
    client->setUp();
    if (MainWindow::storedMaximised(m_session.settings())) {
        m_frame->showMaximized();
    } else if (startMinimised) {
        m_frame->showMinimized();
    } else {
        m_frame->show();
    }
    installEventFilter(this);
    m_started = true;
    // A first start with no dictionary: offer one made from the system word list.
    QString told;
    if (offerStarterDictionary(m_session.workspace(), m_frame.get(), wordList, &told) ==
        StarterOutcome::kMade) {
        client->setStatusText(kStrDictionaryCreated);
        // What the list came to, which says the dictionary was made in a narrow window too.
        if (!told.isEmpty()) m_frame->statusBar()->showMessage(told);
    }
    return true;
}

void ZantricApp::shutDown() {
    if (!m_started) return;
    m_started = false;
    m_endTimer.stop();
    removeEventFilter(this);
    m_frame.reset();
    delete helpWindow();  // left without an owner when the dialog it was opened over went
    m_session.end();
}

void ZantricApp::watchEndSignals() {
    if (g_signalSocket[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSocket) != 0) return;
    m_signalNotifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, this);
    connect(m_signalNotifier, &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] const ssize_t read = ::read(g_signalSocket[1], &byte, 1);
        if (!m_endTimer.isActive()) m_endTimer.start(kEndStepMs, this);
    });
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) sigaction(signal, &action, nullptr);
}

void ZantricApp::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_endTimer.timerId()) {
        endStep();
    } else {
        QApplication::timerEvent(event);
    }
}

void ZantricApp::endStep() {
    // One step at a time, from the front: each closes one thing and the next tick goes on.
    // While work runs under a progress dialog (shown or not yet) only its own questions are
    // answered and the work is cancelled; the dialogs beneath close once it has ended.
    QWidget* modal = activeModalWidget();
    ProgressDialog* progress = ProgressDialog::innermostRunning();
    const bool question = qobject_cast<QMessageBox*>(modal) != nullptr ||
                          qobject_cast<ThreeButtonQuestion*>(modal) != nullptr;
    if (progress != nullptr && !question) {
        progress->cancelWithoutAsking();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();  // a question is answered No or Cancel
    } else if (m_frame != nullptr && m_frame->client() != nullptr) {
        SearchPanel* client = m_frame->client();
        const bool searching = client->searching();
        client->endWithoutAsking();
        if (!searching) m_endTimer.stop();  // Exit is under way
    }
}

bool ZantricApp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && activeModalWidget() != nullptr) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && !key->isAutoRepeat() && watched == focusWidget()) {
            openHelp(
                key->modifiers() & Qt::ControlModifier ? HelpContext::kContents : HelpId::current(),
                m_frame.get());
            return true;
        }
    }
    return QApplication::eventFilter(watched, event);
}

}  // namespace zantric::gui
