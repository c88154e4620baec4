// QtMessagePresenter: the window program's message boxes. The application owns it and hands it
// down with the program session's workspace; it shows QMessageBox (and the three-button question)
// on the GUI thread. A call from a worker thread is carried to the GUI thread and waits there for
// the answer. Every box is modal to the whole program, centred over the window that raised it, and
// as wide as its title and its longest line; a box raised by work under a progress dialog belongs
// to the dialog that started the work, and the progress dialog stays out of sight until it is
// answered.
#pragma once

#include <QObject>
#include <string>

#include "core/shell/messages.h"

class QFontMetrics;
class QString;
class QWidget;

namespace zantric::gui {

class QtMessagePresenter final : public QObject, public Prompter {
    Q_OBJECT
public:
    explicit QtMessagePresenter(QObject* parent = nullptr);

    int choose(const Message& question, const Captions& captions) override;
    void beep() override;
    // Grouped as the status bar groups counts, by the user's locale.
    std::string countText(long long count) const override;

    // While set, a box with exactly this text is not shown and gives its default answer (the
    // first start puts its offer of a dictionary in place of the empty-folder notice).
    void setSilenced(std::string text) { m_silenced = std::move(text); }

protected:
    Answer answer(const Message& message) override;

private:
    Answer showHere(const QString& text, const QString& title, const Message& message);
    int threeButtonHere(const QString& text, const QString& title, const QString& caption1,
                        const QString& caption2, const QString& caption3);

    std::string m_silenced;
};

// The window a box belongs to: the dialog in front, else the active window, else the visible
// main window.
QWidget* ownerWindow();

// Breaks each line of `text` at spaces so that no line is wider than `width` pixels in
// `metrics`; a word wider than that (a file's path) stays whole on a line of its own.
QString breakAtSpaces(const QString& text, const QFontMetrics& metrics, int width);
// The width a box needs so that the window manager shows its whole title.
int titleWidth(const QString& title, const QFontMetrics& metrics);

}  // namespace zantric::gui
