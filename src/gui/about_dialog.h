// AboutDialog: the modal About box: the program's name and version. GUI thread.
#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace zantric::gui {

class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
    // The text the box shows: the title and, on a second line, the version.
    static QString aboutText();

private:
    QPlainTextEdit* m_text;
};

// The program's icon, drawn rather than loaded so that the program needs no image files.
QIcon zantricIcon();

}  // namespace zantric::gui
