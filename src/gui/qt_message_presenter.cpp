#include "gui/qt_message_presenter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QThread>
#include <utility>

#include "gui/dialog_parts.h"
#include "gui/progress_dialog.h"
#include "gui/three_button_question.h"

namespace zantric::gui {

QtMessagePresenter::QtMessagePresenter(QObject* parent) : QObject(parent) {}

QWidget* ownerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow()) return active;
    // Just shown and not yet active (the first start's question): the program's main window.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && qobject_cast<QMainWindow*>(window) != nullptr) return window;
    }
    return nullptr;
}

QString breakAtSpaces(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString& word : paragraph.split(QLatin1Char(' '))) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
                lines << line;
                line = word;
            } else {
                line = longer;
            }
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

int titleWidth(const QString& title, const QFontMetrics& metrics) {
    // Beside the title the window manager draws an icon and three buttons.
    return metrics.horizontalAdvance(title) + 8 * metrics.height();
}

namespace {

bool onGuiThread(const QObject* object) { return QThread::currentThread() == object->thread(); }

// A line of a box is at most this many average characters wide.
constexpr int kBoxLineCharacters = 64;

// The progress dialog whose work raises a box now; nullptr when the box is not the work's (no
// work runs, or it is the progress dialog's own cancel question).
ProgressDialog* raisingWork() {
    ProgressDialog* work = ProgressDialog::innermostRunning();
    return work != nullptr && !work->asking() ? work : nullptr;
}

// The window a box is placed over: the one that started the work, else the one in front.
QWidget* boxOwner(const ProgressDialog* work) {
    if (work != nullptr && work->parentWidget() != nullptr) return work->parentWidget()->window();
    return ownerWindow();
}

// The icon of a box's kind: stop, question, exclamation or information; a plain box has none.
void setIcon(QMessageBox& box, MessageKind kind) {
    switch (kind) {
        case MessageKind::kError:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageKind::kQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case MessageKind::kWarning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageKind::kInformation:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageKind::kPlain:
            break;
    }
}

// The buttons of a box, with the default and the Escape button.
void setButtons(QMessageBox& box, Buttons buttons) {
    switch (buttons) {
        case Buttons::kOkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case Buttons::kYesNo:
        case Buttons::kYesNoDefaultNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(buttons == Buttons::kYesNoDefaultNo ? QMessageBox::No
                                                                     : QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
        case Buttons::kOk:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
}

// The button a closed box was left with.
Answer answerOf(const QMessageBox& box, Buttons buttons) {
    static constexpr std::pair<QMessageBox::StandardButton, Answer> kAnswers[] = {
        {QMessageBox::Yes, Answer::kYes},
        {QMessageBox::No, Answer::kNo},
        {QMessageBox::Cancel, Answer::kCancel},
        {QMessageBox::Ok, Answer::kOk}};
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const auto& [button, answer] : kAnswers) {
        if (button == clicked) return answer;
    }
    return defaultAnswer(buttons);
}

}  // namespace

Answer QtMessagePresenter::answer(const Message& message) {
    if (!m_silenced.empty() && message.text == m_silenced) return defaultAnswer(message.buttons);
    const QString qText = QString::fromStdString(message.text);
    const QString qTitle = QString::fromStdString(message.title);
    if (onGuiThread(this)) return showHere(qText, qTitle, message);
    Answer answer = defaultAnswer(message.buttons);
    QMetaObject::invokeMethod(
        this, [&] { answer = showHere(qText, qTitle, message); }, Qt::BlockingQueuedConnection);
    return answer;
}

int QtMessagePresenter::choose(const Message& question, const Captions& captions) {
    const QString t = QString::fromStdString(question.text),
                  ti = QString::fromStdString(question.title);
    const QString c1 = QString::fromStdString(captions[0]),
                  c2 = QString::fromStdString(captions[1]),
                  c3 = QString::fromStdString(captions[2]);
    if (onGuiThread(this)) return threeButtonHere(t, ti, c1, c2, c3);
    int answer = 2;
    QMetaObject::invokeMethod(
        this, [&] { answer = threeButtonHere(t, ti, c1, c2, c3); }, Qt::BlockingQueuedConnection);
    return answer;
}

std::string QtMessagePresenter::countText(long long count) const {
    return groupedCount(count).toStdString();
}

void QtMessagePresenter::beep() {
    if (onGuiThread(this)) {
        QApplication::beep();
    } else {
        QMetaObject::invokeMethod(
            this, [] { QApplication::beep(); }, Qt::QueuedConnection);
    }
}

Answer QtMessagePresenter::showHere(const QString& text, const QString& title,
                                    const Message& message) {
    ProgressDialog* work = raisingWork();
    const ProgressDialog::MessageHold hold(work);
    // With an owner or without, a box blocks every window of the program and is placed over
    // the window that raised it.
    QMessageBox box(boxOwner(work));
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText);
    box.setText(breakAtSpaces(text, box.fontMetrics(),
                              box.fontMetrics().averageCharWidth() * kBoxLineCharacters));
    setIcon(box, message.kind);
    setButtons(box, message.buttons);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(titleWidth(title, box.fontMetrics()), 0, QSizePolicy::Fixed,
                                      QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    // The box takes its final size as it is shown: only then can it be centred over its owner.
    box.show();
    if (QWidget* owner = box.parentWidget()) {
        QRect place = box.frameGeometry();
        place.moveCenter(owner->window()->frameGeometry().center());
        box.move(place.topLeft());
    }
    box.exec();
    return answerOf(box, message.buttons);
}

int QtMessagePresenter::threeButtonHere(const QString& text, const QString& title,
                                        const QString& caption1, const QString& caption2,
                                        const QString& caption3) {
    ProgressDialog* work = raisingWork();
    const ProgressDialog::MessageHold hold(work);
    ThreeButtonQuestion box(boxOwner(work), text, title, caption1, caption2, caption3);
    const int answer = box.exec();
    return answer == 0 || answer == 1 ? answer : 2;  // a box closed otherwise: the third
}

}  // namespace zantric::gui
