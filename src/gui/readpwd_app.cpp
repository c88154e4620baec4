#include "gui/readpwd_app.h"

#include <sys/resource.h>

#include <QKeyEvent>
#include <QStatusBar>
#include <filesystem>

#include "core/dictionary/dictionary_names.h"
#include "core/maintenance/startup_cleanup.h"
#include "core/shell/config_data.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/program_folder.h"
#include "gui/about_dlg.h"
#include "gui/command_ids.h"
#include "gui/help.h"
#include "gui/qt_message_presenter.h"
#include "gui/starter_dictionary.h"
#include "gui/zantric_t_frame_window.h"
#include "gui/zantricowl_tdlg_client.h"
#include "zantric_version.h"

namespace zantric::gui {

namespace {

// The program keeps a handful of files open at a time (one per word of a phrase at most).
constexpr rlim_t kOpenFiles = 50;
constexpr int kDictionaryCreated = 907;

void allowOpenFiles() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < kOpenFiles &&
        kOpenFiles <= limit.rlim_max) {
        limit.rlim_cur = kOpenFiles;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

}  // namespace

readpwdApp::readpwdApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Zantric"));
    setApplicationVersion(QStringLiteral(ZANTRIC_VERSION));
    setDesktopFileName(QStringLiteral(ZANTRIC_APP_ID));
    setWindowIcon(zantricIcon());
    m_presenter = std::make_unique<QtMessagePresenter>();
    installPresenter(m_presenter.get());
}

readpwdApp::~readpwdApp() {
    shutDown();
    installPresenter(nullptr);
}

bool readpwdApp::start(const std::string& folder, bool startMinimised) {
    allowOpenFiles();
    std::string reason;
    if (!enterProgramFolder(resolveProgramFolder(folder), &reason)) {
        messageBoxText(reason, "Zantric", kMbOkStop);
        return false;
    }
    const ConfigData& config = ConfigData::instance();
    // Temporary files, the instance marker among them, need their folder.
    std::error_code ignored;
    std::filesystem::create_directories(nativePath(config.tempFolder()), ignored);
    deleteLeftoverTempFiles();

    auto* client = new zantricowlTDLGClient;  // scans the dictionaries folder
    m_frame = std::make_unique<ZantricTFrameWindow>(client);
    m_statusBar = m_frame->statusBar();
    m_foundPane = m_frame->foundPane();
    m_checkedPane = m_frame->checkedPane();
    m_frame->placeAtStoredPosition();
    client->setUp();
    if (ZantricTFrameWindow::storedMaximised()) {
        m_frame->showMaximized();
    } else if (startMinimised) {
        m_frame->showMinimized();
    } else {
        m_frame->show();
    }
    installEventFilter(this);
    m_started = true;
    // A first start with no dictionary: offer one made from the system word list.
    if (offerStarterDictionary(m_frame.get()) == StarterOutcome::kMade) {
        client->setStatusText(kDictionaryCreated);
    }
    return true;
}

void readpwdApp::shutDown() {
    if (!m_started) return;
    m_started = false;
    removeEventFilter(this);
    m_frame.reset();  // the main window deletes its results pair and instance marker
    DictionaryNames::destroyInstance();
}

bool readpwdApp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && activeModalWidget() != nullptr) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && !key->isAutoRepeat() && watched == focusWidget()) {
            openHelp(key->modifiers() & Qt::ControlModifier ? kHelpContents : HelpId::current());
            return true;
        }
    }
    return QApplication::eventFilter(watched, event);
}

}  // namespace zantric::gui
