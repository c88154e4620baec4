// MainWindow: the program's frame around the main window: the menu bar of the main window's
// actions with their status tips in the status bar, the Found and Checked panes, the keys F1,
// F10 and Escape, and the window position kept in the ini file and fitted onto the screen.
// Closing the frame goes through the main window, which stops a search, clears up and then asks
// the frame to close. GUI thread.
#pragma once

#include <QMainWindow>

class QLabel;

namespace zantric {
class Settings;
}

namespace zantric::gui {

class SearchPanel;

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Takes the main window as its client (and ownership of it).
    explicit MainWindow(SearchPanel* client);

    SearchPanel* client() const { return m_client; }
    QLabel* foundPane() const { return m_foundPane; }
    QLabel* checkedPane() const { return m_checkedPane; }

    // Moves and sizes the frame to the position stored in the ini file, moved and shrunk onto
    // the screen's free area (again once the window manager's frame is known), and beside the
    // windows of other copies of the program that run.
    void placeAtStoredPosition();
    // The size of a first start: at least what the window's contents and the texts of the status
    // bar's message pane need.
    QSize firstStartSize() const;
    // Writes the position (unless minimised or maximised) and always `Maximised`.
    void saveWindowPosition() const;
    // Whether `Maximised` was stored as 1.
    static bool storedMaximised(const Settings& settings);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    // Moves and sizes the frame to m_place fitted onto the screen with the frame as it is now.
    void applyPlace();

    SearchPanel* m_client;
    QLabel* m_foundPane = nullptr;
    QLabel* m_checkedPane = nullptr;
    bool m_closeAllowed = false;
    QRect m_place;                 // the stored position: the frame's corner and the client's size
    int m_otherCopies = 0;         // copies of the program that ran when this one started
    bool m_awaitingFrame = false;  // placed, but the window manager's frame is not known yet
};

}  // namespace zantric::gui
