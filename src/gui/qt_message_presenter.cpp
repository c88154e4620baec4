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

// The icon of a box's style (its high nibble): stop, question, exclamation or information; a box
// of any other style keeps none.
void setIcon(QMessageBox& box, int style) {
    static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::Critical, QMessageBox::Question,
                                                   QMessageBox::Warning, QMessageBox::Information};
    const int nibble = (style & 0xF0) >> 4;
    if (nibble >= 1 && nibble <= 4) box.setIcon(kIcons[nibble - 1]);
}

// The buttons of a box's style (its low nibble), with the default and the Escape button.
void setButtons(QMessageBox& box, int style) {
    switch (style & 0xF) {
        case 1:  // OK/Cancel
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case kMbYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(style & kMbDefaultButton2 ? QMessageBox::No : QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
}

// The button a closed box was left with, as the message routines answer.
int answerOf(const QMessageBox& box, int style) {
    static constexpr std::pair<QMessageBox::StandardButton, int> kAnswers[] = {
        {QMessageBox::Yes, kIdYes},
        {QMessageBox::No, kIdNo},
        {QMessageBox::Cancel, kIdCancel},
        {QMessageBox::Ok, kIdOk}};
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    for (const auto& [button, answer] : kAnswers) {
        if (button == clicked) return answer;
    }
    return defaultAnswer(style);
}

}  // namespace

int QtMessagePresenter::show(const std::string& text, const std::string& title, int style,
                             bool hasOwner) {
    if (!m_silenced.empty() && text == m_silenced) return defaultAnswer(style);
    const QString qText = QString::fromStdString(text);
    const QString qTitle = QString::fromStdString(title);
    if (onGuiThread(this)) return showHere(qText, qTitle, style, hasOwner);
    int answer = defaultAnswer(style);
    QMetaObject::invokeMethod(
        this, [&] { answer = showHere(qText, qTitle, style, hasOwner); },
        Qt::BlockingQueuedConnection);
    return answer;
}

int QtMessagePresenter::threeButton(const std::string& text, const std::string& title,
                                    const std::string& caption1, const std::string& caption2,
                                    const std::string& caption3) {
    const QString t = QString::fromStdString(text), ti = QString::fromStdString(title);
    const QString c1 = QString::fromStdString(caption1), c2 = QString::fromStdString(caption2),
                  c3 = QString::fromStdString(caption3);
    if (onGuiThread(this)) return threeButtonHere(t, ti, c1, c2, c3);
    int answer = 2;
    QMetaObject::invokeMethod(
        this, [&] { answer = threeButtonHere(t, ti, c1, c2, c3); }, Qt::BlockingQueuedConnection);
    return answer;
}

void QtMessagePresenter::beep() {
    if (onGuiThread(this)) {
        QApplication::beep();
    } else {
        QMetaObject::invokeMethod(
            this, [] { QApplication::beep(); }, Qt::QueuedConnection);
    }
}

int QtMessagePresenter::showHere(const QString& text, const QString& title, int style, bool) {
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
    setIcon(box, style);
    setButtons(box, style);
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
    return answerOf(box, style);
}

int QtMessagePresenter::threeButtonHere(const QString& text, const QString& title,
                                        const QString& caption1, const QString& caption2,
                                        const QString& caption3) {
    ProgressDialog* work = raisingWork();
    const ProgressDialog::MessageHold hold(work);
    ThreeButtonQuestion box(boxOwner(work), text, title, caption1, caption2, caption3);
    return box.exec();
}

}  // namespace zantric::gui
