#include "gui/analysis_dialog.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <system_error>

#include "core/search/search_run.h"
#include "core/search/subset_analysis.h"
#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "gui/dialog_parts.h"
#include "gui/qt_message_presenter.h"

namespace zantric::gui {

AnalysisDialog::AnalysisDialog(QWidget* parent, Prompter& prompter, SearchRun& run,
                               SubsetAnalysis& analysis)
    : QDialog(parent), m_run(run), m_prompter(prompter), m_analysis(analysis) {
    setWindowTitle(tr("Analysing Dictionaries"));
    setModal(true);
    auto* wait = new QLabel(tr("Please Wait..."), this);
    m_activity = new QLabel(this);
    m_activity->setTextFormat(Qt::PlainText);
    // Wide enough for the file names it shows, and for the whole title above it.
    m_activity->setMinimumWidth(
        std::max(fontMetrics().averageCharWidth() * 36, titleWidth(windowTitle(), fontMetrics())));
    m_wordsChecked = new QLabel(QStringLiteral("0"), this);
    m_matchesFound = new QLabel(QStringLiteral("0"), this);
    for (QLabel* value : {m_wordsChecked, m_matchesFound}) {
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    }
    auto* group = new QGroupBox(this);
    auto* form = new QFormLayout(group);
    form->addRow(m_activity);
    form->addRow(new QLabel(tr("Words Checked:"), group), m_wordsChecked);
    form->addRow(new QLabel(tr("Matches Found:"), group), m_matchesFound);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &AnalysisDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(wait);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

AnalysisDialog::~AnalysisDialog() {
    if (m_worker.joinable()) m_worker.join();
}

void AnalysisDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_worker.joinable() && !m_workerDone) m_startTimer.start(kSearchTimerMs, this);
}

void AnalysisDialog::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_startTimer.timerId()) {
        m_startTimer.stop();
        startWorker();
    } else if (event->timerId() == m_counterTimer.timerId()) {
        refreshCounters();
    } else {
        QDialog::timerEvent(event);
    }
}

void AnalysisDialog::startWorker() {
    m_counterTimer.start(kSearchTimerMs, this);
    try {
        m_worker = std::thread([this] {
            m_ready.store(m_run.runAnalysis(m_analysis));
            QMetaObject::invokeMethod(this, &AnalysisDialog::workerFinished, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        m_counterTimer.stop();
        m_prompter.beep();
        m_prompter.ask(
            Message::fromIds(kStrUnableToCreateThread, kStrErrorTitle, MessageKind::kPlain));
        m_workerDone = true;
        done(0);
    }
}

void AnalysisDialog::refreshCounters() {
    m_activity->setText(QString::fromStdString(m_analysis.activity()));
    if (m_analysis.countersFrozen()) {
        m_wordsChecked->setText(QStringLiteral("0"));
        m_matchesFound->setText(QStringLiteral("0"));
        return;
    }
    m_wordsChecked->setText(groupedCount(m_analysis.checked()));
    m_matchesFound->setText(groupedCount(m_analysis.matchesFound()));
}

void AnalysisDialog::workerFinished() {
    m_worker.join();
    m_workerDone = true;
    m_counterTimer.stop();
    refreshCounters();
    done(m_result != 0 && m_ready.load() ? 1 : 0);
}

void AnalysisDialog::reject() {
    if (m_workerDone) return;
    m_result = 0;
    m_analysis.cancel();
    if (!m_worker.joinable()) {
        // Cancelled before the worker started: nothing runs, so close at once.
        m_startTimer.stop();
        m_workerDone = true;
        done(0);
    }
}

void AnalysisDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

}  // namespace zantric::gui
