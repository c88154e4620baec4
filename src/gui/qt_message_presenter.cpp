#include "gui/qt_message_presenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include "gui/three_button_message_box.h"

namespace zantric::gui {

QtMessagePresenter::QtMessagePresenter(QObject* parent) : QObject(parent) {}

QWidget* ownerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

namespace {
bool onGuiThread(const QObject* object) { return QThread::currentThread() == object->thread(); }
}  // namespace

int QtMessagePresenter::show(const std::string& text, const std::string& title, int style,
                             bool hasOwner) {
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

int QtMessagePresenter::showHere(const QString& text, const QString& title, int style,
                                 bool hasOwner) {
    // A box without an owner blocks every window of the program all the same.
    QMessageBox box(hasOwner ? ownerWindow() : nullptr);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(title);
    box.setText(text);
    switch (style & 0xF0) {
        case 0x10:
            box.setIcon(QMessageBox::Critical);
            break;
        case 0x20:
            box.setIcon(QMessageBox::Question);
            break;
        case 0x30:
            box.setIcon(QMessageBox::Warning);
            break;
        case 0x40:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
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
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return kIdYes;
        case QMessageBox::No:
            return kIdNo;
        case QMessageBox::Cancel:
            return kIdCancel;
        case QMessageBox::Ok:
            return kIdOk;
        default:
            return defaultAnswer(style);
    }
}

int QtMessagePresenter::threeButtonHere(const QString& text, const QString& title,
                                        const QString& caption1, const QString& caption2,
                                        const QString& caption3) {
    _3ButtonMessageBox box(ownerWindow(), text, title, caption1, caption2, caption3);
    return box.exec();
}

}  // namespace zantric::gui
