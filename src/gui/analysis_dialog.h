// AnalysisDialog: the modal "Analysing Dictionaries" dialog shown before a phrase search
// with new FROM letters. Once on screen it runs the subset analysis on a worker thread, shows
// Words Checked and Matches Found every 100 ms, and closes when the worker ends: exec() gives 1
// when the subset dictionary is ready, 0 when the analysis was cancelled or found nothing.
// GUI thread; the worker reaches the dialog only through one queued call at its end.
#pragma once

#include <QBasicTimer>
#include <QDialog>
#include <atomic>
#include <thread>

class QLabel;
class QPushButton;

namespace zantric {
class Prompter;
class SearchRun;
class SubsetAnalysis;
}  // namespace zantric

namespace zantric::gui {

// The period of the search's and the analysis's counters and completion checks.
inline constexpr int kSearchTimerMs = 100;

class AnalysisDialog final : public QDialog {
    Q_OBJECT
public:
    // `run` does the analysis (and forgets the analysed letters when it fails).
    AnalysisDialog(QWidget* parent, Prompter& prompter, SearchRun& run, SubsetAnalysis& analysis);
    ~AnalysisDialog() override;

    QLabel* activityLabel() const { return m_activity; }
    QLabel* wordsCheckedLabel() const { return m_wordsChecked; }
    QLabel* matchesFoundLabel() const { return m_matchesFound; }
    QPushButton* cancelButton() const { return m_cancel; }
    SubsetAnalysis& analysis() const { return m_analysis; }

public slots:
    // The Cancel button, Escape and the close box: the analysis stops; the dialog closes when
    // its worker has ended.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void startWorker();
    void refreshCounters();
    void workerFinished();

    SearchRun& m_run;
    Prompter& m_prompter;
    SubsetAnalysis& m_analysis;
    std::thread m_worker;
    std::atomic<bool> m_ready{false};
    int m_result = 1;
    bool m_workerDone = false;
    QBasicTimer m_startTimer;    // 1126: starts the worker once the dialog is on screen
    QBasicTimer m_counterTimer;  // 876: the counters
    QLabel* m_activity;
    QLabel* m_wordsChecked;
    QLabel* m_matchesFound;
    QPushButton* m_cancel;
};

}  // namespace zantric::gui
