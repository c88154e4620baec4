#include "gui/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <algorithm>

#include "core/session/instance_marker.h"
#include "core/shell/ini_names.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "gui/about_dialog.h"
#include "gui/search_panel.h"

namespace zantric::gui {

namespace {

// The place of a first start; its size is the larger of this and what the window needs.
constexpr int kDefaultTop = 43;
constexpr int kDefaultBottom = 440;
constexpr int kDefaultLeft = 53;
constexpr int kDefaultRight = 470;

// Texts of the message pane besides the main window's own: the dialogs' notes.
constexpr int kPaneTexts[] = {kStrDictionariesMerged, kStrWordAdded, kStrWordRemoved,
                              kStrDictionaryCreated, kStrDeleteSuccessful};

// How far a copy of the program opens from the place of the copy started before it.
constexpr int kCopyOffset = 30;

// One axis of a place: `start` is the frame's outer edge, `length` the client's, `frame` what the
// frame adds to it. Both are fitted between `low` and `high` (past the last pixel), the length
// never below `least`. Without `keepStart` the length is cut to the room first and the frame moves
// back as far as it must; with it the start stays where it can and the length gives way.
void fitAxis(int& start, int& length, int low, int high, int frame, int least, bool keepStart) {
    if (!keepStart) length = std::min(length, high - low - frame);
    length = std::max(length, least);
    start = std::max(low, std::min(start, high - frame - (keepStart ? least : length)));
    length = std::max(least, std::min(length, high - frame - start));
}

// A place (the frame's corner and the client's size) fitted onto `area` with the frame's margins.
QRect fittedPlace(QRect place, const QRect& area, const QMargins& frame, const QSize& least,
                  bool keepCorner) {
    int x = place.x(), y = place.y(), width = place.width(), height = place.height();
    fitAxis(x, width, area.left(), area.right() + 1, frame.left() + frame.right(), least.width(),
            keepCorner);
    fitAxis(y, height, area.top(), area.bottom() + 1, frame.top() + frame.bottom(), least.height(),
            keepCorner);
    return QRect(x, y, width, height);
}

}  // namespace

MainWindow::MainWindow(SearchPanel* client) : m_client(client) {
    setWindowTitle(QString::fromLatin1(kFrameTitle));
    setWindowIcon(zantricIcon());
    setCentralWidget(client);
    buildMenus();
    buildStatusBar();
    client->attachStatusBar(statusBar(), m_foundPane, m_checkedPane);
    connect(client, &SearchPanel::closeRequested, this, [this] {
        saveWindowPosition();
        m_closeAllowed = true;
        close();
    });
    // F1 shows no accelerator text in the menus; F3 does (Clear All). Escape is a key the
    // focused control may use first (an open drop-down list closes on it): keyPressEvent.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, client->actions().help, &QAction::trigger);
    // F10 opens the first menu, as on every Linux desktop; the arrow keys go on from there.
    auto* menus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menus, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().value(0)); });
    client->updateActions();
}

void MainWindow::buildMenus() {
    const WindowActions& a = m_client->actions();
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addActions({a.clearAll, a.view, a.deleteResults});
    file->addSeparator();
    file->addAction(a.saveAs);
    file->addSeparator();
    file->addAction(a.exit);

    QMenu* dictionaries = menuBar()->addMenu(tr("&Dictionaries"));
    dictionaries->addAction(a.selectDictionaries);
    dictionaries->addSeparator();
    dictionaries->addActions({a.addWord, a.removeWord, a.merge, a.createFromFile});

    QMenu* options = menuBar()->addMenu(tr("&Options"));
    options->addAction(a.phraseOptions);
    options->addAction(a.bestFirst);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addActions({a.help, a.about});

    for (QMenu* menu : {file, dictionaries, options, help}) {
        menu->setToolTipsVisible(true);  // why a command is off, where it says
        connect(menu, &QMenu::aboutToShow, m_client, &SearchPanel::updateActions);
        // The hint goes when the menu closes.
        connect(menu, &QMenu::aboutToHide, statusBar(), &QStatusBar::clearMessage);
    }
}

void MainWindow::buildStatusBar() {
    auto makePane = [this](const QString& widest) {
        auto* pane = new QLabel(this);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(widest) + 8);
        statusBar()->addPermanentWidget(pane);
        return pane;
    };
    m_foundPane = makePane(tr("Found: %1").arg(QStringLiteral("00000000")));
    m_checkedPane = makePane(tr("Checked: %1").arg(QStringLiteral("000000000")));
    // The window is never so narrow that a text of the message pane is cut beside the counters.
    const QFontMetrics metrics(statusBar()->font());
    int widest = 0;
    auto measure = [&](const QString& text) {
        widest = std::max(widest, metrics.horizontalAdvance(text));
    };
    for (int id : kPaneTexts) measure(QString::fromStdString(loadString(id)));
    for (const QString& text : m_client->paneTexts()) measure(text);
    // Besides the panes: the pane's margins, the gaps between the panes and the size grip.
    statusBar()->setMinimumWidth(widest + m_foundPane->minimumWidth() +
                                 m_checkedPane->minimumWidth() + 3 * metrics.height());
}

bool MainWindow::storedMaximised(const Settings& settings) {
    return settings.readInt(ini::kWindowPositionSection, ini::kWindowMaximised, 0) == 1;
}

QSize MainWindow::firstStartSize() const {
    const QSize least = minimumSizeHint();
    return QSize(std::max(kDefaultRight - kDefaultLeft, least.width()),
                 std::max(kDefaultBottom - kDefaultTop, least.height()));
}

void MainWindow::placeAtStoredPosition() {
    const Settings& config = m_client->workspace().settings;
    const QSize firstStart = firstStartSize();
    const int top = config.readInt(ini::kWindowPositionSection, ini::kWindowTop, kDefaultTop);
    const int bottom = config.readInt(ini::kWindowPositionSection, ini::kWindowBottom,
                                      kDefaultTop + firstStart.height());
    const int left = config.readInt(ini::kWindowPositionSection, ini::kWindowLeft, kDefaultLeft);
    const int right = config.readInt(ini::kWindowPositionSection, ini::kWindowRight,
                                     kDefaultLeft + firstStart.width());
    m_place = QRect(left, top, right - left, bottom - top);
    m_otherCopies = std::max(0, InstanceMarker::count(m_client->workspace().settings) - 1);
    m_awaitingFrame = true;
    applyPlace();
}

void MainWindow::applyPlace() {
    // A position from a larger screen, or from another scale, must not leave the window out of
    // reach: the frame lies on the free area of the screen that holds its centre (else the
    // primary screen), smaller if it must be, never smaller than its contents need.
    const QScreen* screen = QGuiApplication::screenAt(m_place.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    QRect place = m_place;
    if (screen != nullptr) {
        const QRect area = screen->availableGeometry();
        const QRect outer = frameGeometry(), inner = geometry();
        const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        const QSize least = minimumSizeHint().expandedTo(minimumSize());
        place = fittedPlace(place, area, frame, least, false);
        // A copy of the program opens beside the others; its size gives way at the screen's edge.
        if (m_otherCopies > 0) {
            const int offset = kCopyOffset * m_otherCopies;
            place = fittedPlace(place.translated(offset, offset), area, frame, least, true);
        }
    }
    move(place.topLeft());
    resize(place.size());
}

void MainWindow::saveWindowPosition() const {
    const Settings& config = m_client->workspace().settings;
    if (!isMinimized() && !isMaximized()) {
        // The frame's top-left corner and the size it is given again at the next start.
        const QPoint corner = pos();
        config.writeString(ini::kWindowPositionSection, ini::kWindowTop,
                           std::to_string(corner.y()));
        config.writeString(ini::kWindowPositionSection, ini::kWindowBottom,
                           std::to_string(corner.y() + height()));
        config.writeString(ini::kWindowPositionSection, ini::kWindowLeft,
                           std::to_string(corner.x()));
        config.writeString(ini::kWindowPositionSection, ini::kWindowRight,
                           std::to_string(corner.x() + width()));
    }
    config.writeString(ini::kWindowPositionSection, ini::kWindowMaximised,
                       isMaximized() ? "1" : "0");
}

bool MainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    // The window manager puts its frame around the window once it shows: the place is fitted
    // again with it, once.
    if (m_awaitingFrame && (event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        frameGeometry() != geometry()) {
        m_awaitingFrame = false;
        if (!isMaximized() && !isMinimized()) applyPlace();
    }
    return handled;
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Minimised, the title shows the Found count; restored, the program's name.
    if (event->type() == QEvent::WindowStateChange) m_client->refreshCounters();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Escape reaches the frame only when no control took it: Exit, as Cancel.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_client->actions().exit->trigger();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closeAllowed) {
        event->accept();
        return;
    }
    // The main window clears up first: it stops a search, and asks about unsaved matches.
    event->ignore();
    QMetaObject::invokeMethod(
        m_client, [client = m_client] { client->closeBox(); }, Qt::QueuedConnection);
}

}  // namespace zantric::gui
