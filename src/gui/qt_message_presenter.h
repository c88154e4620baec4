// QtMessagePresenter: the window program's message boxes. Installed at start-up for the life of
// the application; shows QMessageBox (and the three-button question) on the GUI thread. A call
// from a worker thread is carried to the GUI thread and waits there for the answer.
#pragma once

#include <QObject>
#include <string>

#include "core/shell/messages.h"

class QWidget;

namespace zantric::gui {

class QtMessagePresenter final : public QObject, public MessagePresenter {
    Q_OBJECT
public:
    explicit QtMessagePresenter(QObject* parent = nullptr);

    int show(const std::string& text, const std::string& title, int style, bool hasOwner) override;
    int threeButton(const std::string& text, const std::string& title, const std::string& caption1,
                    const std::string& caption2, const std::string& caption3) override;
    void beep() override;

private:
    int showHere(const QString& text, const QString& title, int style, bool hasOwner);
    int threeButtonHere(const QString& text, const QString& title, const QString& caption1,
                        const QString& caption2, const QString& caption3);
};

// The window a box with an owner belongs to: the dialog in front, else the active window.
QWidget* ownerWindow();

}  // namespace zantric::gui
