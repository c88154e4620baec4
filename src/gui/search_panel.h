// SearchPanel: the main window, the frame's client. It holds the four search fields
// with their histories and keystroke filters, the two search options, the font controls, Start
// and Cancel and the results list; it owns the one search request, the results store, the
// search run. It runs a search from Start to the finished list
// (the worker on its own thread, the counters polled every 100 ms), asks before cancelling, and
// closes the program in order. GUI thread only.
#pragma once

#include <QBasicTimer>
#include <QFont>
#include <QWidget>
#include <memory>

#include "core/results/results_store.h"
#include "core/search/field_history.h"
#include "core/search/phrase_filters.h"
#include "core/search/search_fields.h"
#include "core/search/search_request.h"
#include "core/search/search_run.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;

namespace zantric::gui {

class ResultsListView;
class SelectDictionariesDialog;

inline constexpr const char* kFrameTitle = "Zantric";

class SearchPanel final : public QWidget {
    Q_OBJECT
public:
    explicit SearchPanel(QWidget* parent = nullptr);
    ~SearchPanel() override;

    // The set-up once the frame exists: "*" in FIND and its list, Use All FROM Letters checked,
    // everything cleared, the list laid out, the stored font applied.
    void setUp();
    // The status bar's message pane and the Found and Checked panes.
    void attachStatusBar(QStatusBar* bar, QLabel* found, QLabel* checked);

    // Runs a command by id, if it is enabled (menus, accelerators, buttons, context menu).
    void command(int id);
    bool commandEnabled(int id) const;
    bool searching() const { return m_searching; }
    // The program is told to end (a signal): a running search is cancelled without asking,
    // then the program closes as Exit closes it. Called again until the window has gone.
    void endWithoutAsking();

    // Shows the counters; while the frame is minimised its title shows "Found: N" instead
    // (the frame calls this whenever it is minimised or restored).
    void refreshCounters();
    // Shows a string-table text in the message pane.
    void setStatusText(int stringId);
    QFont currentFont() const { return m_font; }

    // Save As, View and Delete Results once the file dialog has given a name. `type` is the
    // index of the chosen file type (0 results pair, 1 text, 2 any).
    void saveResultsTo(const QString& name, int type);
    bool viewResults(const QString& name);
    void deleteResults();

    // The request's side of the fields.
    SearchFields fields() const;
    void updateSearchControls();
    void updateHistory();

    // The Phrase Options the next search uses (kept in the ini).
    const PhraseOptions& phraseOptions() const { return m_phraseOptions; }
    // The "Filters on" pane: shown after a search that a filter changed, or for saved results
    // that record filters.
    QLabel* filtersPane() const { return m_filtersPane; }

    QComboBox* field(SearchField which) const;
    QCheckBox* useAllFromLetters() const { return m_useAll; }
    QCheckBox* suppressPermutations() const { return m_suppress; }
    QCheckBox* boldBox() const { return m_bold; }
    QComboBox* sizeList() const { return m_size; }
    QPushButton* startButton() const { return m_start; }
    QPushButton* cancelButton() const { return m_cancel; }
    ResultsListView* resultsList() const { return m_list; }
    ResultsStore& results() { return m_results; }
    SearchRequest& request() { return m_request; }
    SearchRun& searchRun() { return m_run; }
    const SearchHistories& histories() const { return m_histories; }

signals:
    // Save the window position and close (posted once everything is cleared up).
    void closeRequested();
    // The search started or ended: commands are enabled differently.
    void commandStateChanged();
    // The "Analysing Dictionaries" dialog is about to run.
    void analysisStarted();
    // A search has been completed and its results are in the list.
    void searchCompleted();

protected:
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void startSearch();
    void enterSearchingState();
    void leaveSearchingState();
    void searchFinished();
    void completeSearch();
    void askCancelSearch();
    void exitCommand();
    void clearAll();
    void showCounters(std::int64_t found, std::int64_t checked);
    void setSearchControlsEnabled(bool enabled);
    void fillHistory(SearchField which);
    void selectDictionaries();
    void makeDictionaryCommand();
    void mergeCommand();
    void updateWordCommand(bool add);
    // After a dictionary was made, merged, changed or deleted: the next phrase search analyses
    // the dictionaries again, and an open Select Dictionaries list shows the change.
    void dictionariesChanged();
    void saveAsCommand();
    void viewCommand();
    void phraseOptionsCommand();
    // The status bar names what the highlighted match left over (computed now, never stored).
    void explainMatch(const QString& match);
    void showFiltersOn(bool on);
    // What the header of exported results records: the fields as shown and the last Checked.
    SearchSummary summary() const;
    void setUpFont();
    void fontChanged();
    void applyFont(const QFont& font);
    // A typed character for one of the fields: true when the filter took the key.
    bool filterKey(SearchField which, QKeyEvent* event);

    SearchRequest m_request;
    ResultsStore m_results;
    SearchRun m_run;
    SearchHistories m_histories;
    SelectDictionariesDialog* m_openSelect =
        nullptr;  // the Select Dictionaries dialog while it runs

    QComboBox* m_fields[4] = {};
    QLabel* m_fieldLabels[4] = {};
    QCheckBox* m_useAll = nullptr;
    QCheckBox* m_suppress = nullptr;
    QCheckBox* m_bold = nullptr;
    QComboBox* m_size = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
    ResultsListView* m_list = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_foundPane = nullptr;
    QLabel* m_checkedPane = nullptr;
    QLabel* m_filtersPane = nullptr;
    QFont m_font;
    PhraseOptions m_phraseOptions;

    QBasicTimer m_searchTimer;  // 456
    bool m_searching = false;
    std::int64_t m_checked = 0;  // Checked of the results shown (a search's, or a viewed pair's)
    bool m_titleShowsCount = false;
    bool m_handlingExit = false;
    bool m_askingCancel = false;
};

}  // namespace zantric::gui
