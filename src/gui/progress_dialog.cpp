#include "gui/progress_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <system_error>
#include <vector>

#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "gui/qt_message_presenter.h"

namespace zantric::gui {

// While the dialog is still invisible it must already be modal: user input to every window is
// swallowed until it shows (then Qt's own modality takes over) or the work ends.
class ProgressDialog::InputBlocker final : public QObject {
public:
    InputBlocker() { qApp->installEventFilter(this); }
    ~InputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::Close:
                return true;
            default:
                return false;
        }
    }
};

namespace {
// The dialogs whose run() is under way, the innermost last.
std::vector<ProgressDialog*> g_running;
}  // namespace

ProgressDialog* ProgressDialog::innermostRunning() {
    return g_running.empty() ? nullptr : g_running.back();
}

ProgressDialog::MessageHold::MessageHold(ProgressDialog* dialog) : m_dialog(dialog) {
    if (m_dialog == nullptr || m_dialog->m_messagesWaiting++ > 0) return;
    m_dialog->m_blocker.reset();
    if (m_dialog->m_shown) m_dialog->hide();
}

ProgressDialog::MessageHold::~MessageHold() {
    if (m_dialog == nullptr || --m_dialog->m_messagesWaiting > 0) return;
    if (m_dialog->m_loop == nullptr) return;  // the work has ended meanwhile
    if (m_dialog->m_shown) {
        m_dialog->show();
    } else {
        m_dialog->m_blocker = std::make_unique<InputBlocker>();
    }
}

ProgressDialog::ProgressDialog(QWidget* parent, ProgressWork& work)
    : QDialog(parent), m_work(work) {
    setWindowTitle(tr("Please Wait..."));
    m_text = new QLabel(this);
    m_text->setMinimumWidth(fontMetrics().averageCharWidth() * 52);
    m_text->setTextFormat(Qt::PlainText);
    m_gauge = new QProgressBar(this);
    m_gauge->setRange(0, 100);
    m_gauge->setMinimumSize(315, 24);
    m_gauge->setAlignment(Qt::AlignCenter);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &ProgressDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_gauge);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setPercent(0);
}

ProgressDialog::~ProgressDialog() {
    m_timer.stop();
    m_thread.join();
}

WorkResult ProgressDialog::run() {
    setProgressText(QString::fromStdString(m_work.text()));
    m_cancel->setVisible(m_work.cancellable());
    setWindowModality(Qt::ApplicationModal);
    m_blocker = std::make_unique<InputBlocker>();
    m_timer.start(kProgressTickMs, this);
    QMetaObject::invokeMethod(this, &ProgressDialog::startWork, Qt::QueuedConnection);
    QEventLoop loop;
    m_loop = &loop;
    g_running.push_back(this);
    if (!m_finished) loop.exec(QEventLoop::DialogExec);
    std::erase(g_running, this);
    m_loop = nullptr;
    m_timer.stop();
    m_blocker.reset();
    hide();
    m_thread.join();
    return m_work.result();
}

void ProgressDialog::setProgressText(const QString& text) { m_text->setText(text); }

void ProgressDialog::setPercent(int percent) {
    m_gauge->setValue(percent);
    m_gauge->setFormat(QString::asprintf("%d%%", m_gauge->value()));
    if (!m_shown && m_loop != nullptr && m_messagesWaiting == 0 &&
        progressVisible(m_ticks, percent)) {
        m_shown = true;
        m_blocker.reset();
        show();
    }
}

void ProgressDialog::startWork() {
    if (!m_work.cancellable()) {
        // Copy, move and export run here; afterBlock keeps the windows alive meanwhile.
        runWork(m_work);
        workFinished();
        return;
    }
    try {
        m_thread.start(m_work, [this] {
            QMetaObject::invokeMethod(this, &ProgressDialog::workFinished, Qt::QueuedConnection);
        });
        m_threadStarted = true;
    } catch (const std::system_error&) {
        m_work.prompter().beep();
        m_work.prompter().ask(
            Message::fromIds(kStrUnableToCreateThread, kStrErrorTitle, MessageKind::kPlain));
        m_work.setResult(WorkResult::kFailed);
        workFinished();
    }
}

void ProgressDialog::workFinished() {
    m_finished = true;
    if (m_loop != nullptr) m_loop->quit();
}

void ProgressDialog::afterBlock() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void ProgressDialog::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timer.timerId()) {
        tick();
    } else {
        QDialog::timerEvent(event);
    }
}

void ProgressDialog::tick() {
    ++m_ticks;
    setProgressText(QString::fromStdString(m_work.text()));
    setPercent(m_work.percent());
}

void ProgressDialog::reject() {
    if (m_asking || m_finished || !m_work.cancellable()) return;
    m_asking = true;
    const bool paused = m_threadStarted;
    if (paused) m_work.pause();
    emit cancelQuestionOpened();
    if (m_work.prompter().ask(Message::fromIds(kStrProgressCancelQuestion, kStrProgressCancelTitle,
                                               MessageKind::kPlain, Buttons::kYesNo)) ==
        Answer::kYes) {
        m_work.cancelWork();
    }
    if (paused) m_work.resume();
    m_asking = false;
}

void ProgressDialog::cancelWithoutAsking() {
    if (!m_finished && !m_asking && m_work.cancellable()) m_work.cancelWork();
}

void ProgressDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!m_finished) reject();
}

}  // namespace zantric::gui
