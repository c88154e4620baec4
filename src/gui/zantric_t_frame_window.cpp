#include "gui/zantric_t_frame_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>

#include "core/shell/config_data.h"
#include "core/shell/string_table.h"
#include "gui/about_dlg.h"
#include "gui/command_ids.h"
#include "gui/zantricowl_tdlg_client.h"

namespace zantric::gui {

namespace {

constexpr const char* kPositionSection = "WINDOW POSITION";
// The position of a first start.
constexpr int kDefaultTop = 43;
constexpr int kDefaultBottom = 440;
constexpr int kDefaultLeft = 53;
constexpr int kDefaultRight = 470;

}  // namespace

ZantricTFrameWindow::ZantricTFrameWindow(zantricowlTDLGClient* client) : m_client(client) {
    setWindowTitle(QString::fromLatin1(kFrameTitle));
    setWindowIcon(zantricIcon());
    setCentralWidget(client);
    buildMenus();
    buildStatusBar();
    client->attachStatusBar(statusBar(), m_foundPane, m_checkedPane);
    connect(client, &zantricowlTDLGClient::commandStateChanged, this,
            &ZantricTFrameWindow::updateCommandEnabling);
    connect(client, &zantricowlTDLGClient::closeRequested, this, [this] {
        saveWindowPosition();
        m_closeAllowed = true;
        close();
    });
    // F1 and Escape show no accelerator text in the menus; F3 does (Clear All).
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { m_client->command(kCmdHelp); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { m_client->command(kCmdExit); });
    updateCommandEnabling();
}

QAction* ZantricTFrameWindow::addCommand(QMenu* menu, const QString& caption, int id) {
    QAction* action = menu->addAction(caption);
    action->setStatusTip(QString::fromStdString(loadString(id)));
    action->setProperty("commandId", id);
    connect(action, &QAction::triggered, this, [this, id] { m_client->command(id); });
    m_actions.insert(id, action);
    return action;
}

void ZantricTFrameWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* clearAll = addCommand(file, QStringLiteral("&Clear All"), kCmdClearAll);
    clearAll->setShortcut(QKeySequence(Qt::Key_F3));
    addCommand(file, QStringLiteral("&View..."), kCmdView);
    addCommand(file, QStringLiteral("&Delete Results"), kCmdDeleteResults);
    file->addSeparator();
    addCommand(file, QStringLiteral("Save &As..."), kCmdSaveAs);
    file->addSeparator();
    addCommand(file, QStringLiteral("&Zantric Web Site"), kCmdWebSite);
    addCommand(file, QStringLiteral("E&xit"), kCmdExit);

    QMenu* dictionaries = menuBar()->addMenu(QStringLiteral("&Dictionaries"));
    addCommand(dictionaries, QStringLiteral("&Select"), kCmdSelectDictionaries);
    dictionaries->addSeparator();
    addCommand(dictionaries, QStringLiteral("&Add Word"), kCmdAddWord);
    addCommand(dictionaries, QStringLiteral("&Remove Word"), kCmdRemoveWord);
    addCommand(dictionaries, QStringLiteral("&Merge"), kCmdMerge);
    addCommand(dictionaries, QStringLiteral("&Create From File"), kCmdCreateFromFile);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    addCommand(help, QStringLiteral("Zantric Help"), kCmdHelp);
    addCommand(help, QStringLiteral("&About..."), kCmdAbout);

    for (QMenu* menu : {file, dictionaries, help}) {
        connect(menu, &QMenu::aboutToShow, this, &ZantricTFrameWindow::updateCommandEnabling);
        // The hint goes when the menu closes.
        connect(menu, &QMenu::aboutToHide, statusBar(), &QStatusBar::clearMessage);
    }
}

void ZantricTFrameWindow::buildStatusBar() {
    auto makePane = [this](int id, const QString& widest) {
        auto* pane = new QLabel(this);
        pane->setProperty("controlId", id);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(widest) + 8);
        statusBar()->addPermanentWidget(pane);
        return pane;
    };
    m_foundPane = makePane(kIdFoundPane, QStringLiteral("Found: 00000000"));
    m_checkedPane = makePane(kIdCheckedPane, QStringLiteral("Checked: 000000000"));
}

void ZantricTFrameWindow::updateCommandEnabling() {
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        it.value()->setEnabled(m_client->commandEnabled(it.key()));
    }
}

bool ZantricTFrameWindow::storedMaximised() {
    return ConfigData::instance().readInt(kPositionSection, "Maximised", 0) == 1;
}

void ZantricTFrameWindow::placeAtStoredPosition() {
    const ConfigData& config = ConfigData::instance();
    const int top = config.readInt(kPositionSection, "top", kDefaultTop);
    const int bottom = config.readInt(kPositionSection, "bottom", kDefaultBottom);
    const int left = config.readInt(kPositionSection, "left", kDefaultLeft);
    const int right = config.readInt(kPositionSection, "right", kDefaultRight);
    QRect rect(left, top, right - left, bottom - top);
    // A position from another screen layout must not leave the window out of reach.
    if (const QScreen* screen = QGuiApplication::screenAt(rect.topLeft())) {
        rect = rect.intersected(screen->availableGeometry());
    } else if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        rect.moveTopLeft(primary->availableGeometry().topLeft());
    }
    if (rect.width() < 100 || rect.height() < 100) rect.setSize(QSize(right - left, bottom - top));
    move(rect.topLeft());
    resize(rect.size());
}

void ZantricTFrameWindow::saveWindowPosition() const {
    const ConfigData& config = ConfigData::instance();
    if (!isMinimized() && !isMaximized()) {
        // The frame's top-left corner and the size it is given again at the next start.
        const QPoint corner = pos();
        config.writeString(kPositionSection, "top", std::to_string(corner.y()));
        config.writeString(kPositionSection, "bottom", std::to_string(corner.y() + height()));
        config.writeString(kPositionSection, "left", std::to_string(corner.x()));
        config.writeString(kPositionSection, "right", std::to_string(corner.x() + width()));
    }
    config.writeString(kPositionSection, "Maximised", isMaximized() ? "1" : "0");
}

void ZantricTFrameWindow::closeEvent(QCloseEvent* event) {
    if (m_closeAllowed) {
        event->accept();
        return;
    }
    // The close box is command 2: the main window clears up first, or asks about the search.
    event->ignore();
    QMetaObject::invokeMethod(
        m_client, [client = m_client] { client->command(kCmdExit); }, Qt::QueuedConnection);
}

}  // namespace zantric::gui
