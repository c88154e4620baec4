// SearchPanel: the main window, the frame's client. Around the search form it holds the state
// of the search: the one search request, the results store, the search run, the field
// histories and the Phrase Options. It runs a search from Start to
// the finished list (the worker on its own thread, the counters polled every 100 ms), asks
// before cancelling, holds the window's commands as actions enabled by the state they depend on,
// and closes the program in order: never while a search runs or stops, and not over unsaved
// matches without asking. GUI thread only.
#pragma once

#include <QBasicTimer>
#include <QFont>
#include <QHash>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>

#include "core/ranking/ranking_sources.h"
#include "core/results/results_store.h"
#include "core/search/field_history.h"
#include "core/search/phrase_filters.h"
#include "core/search/search_request.h"
#include "core/search/search_run.h"
#include "gui/dictionary_commands.h"
#include "gui/results_file_commands.h"

class QAction;
class QLabel;
class QStatusBar;

namespace zantric::gui {

class SearchForm;

inline constexpr const char* kFrameTitle = "Zantric";

// The window's commands, for the menus, keys and buttons that run them. Each action's object name
// is "action" and its name here ("actionClearAll").
struct WindowActions {
    QAction* search;  // Start, Enter, and Search in the right-click menu
    QAction* clearAll;
    QAction* view;
    QAction* deleteResults;
    QAction* saveAs;
    QAction* exit;  // also Escape, Cancel and the close box
    QAction* selectDictionaries;
    QAction* addWord;
    QAction* removeWord;
    QAction* merge;
    QAction* createFromFile;
    QAction* deleteDictionaries;  // in the Select Dictionaries list's menu
    QAction* phraseOptions;
    QAction* bestFirst;  // checkable, the form's Best first box and the ini's Best First
    QAction* help;
    QAction* about;
};

class SearchPanel final : public QWidget {
    Q_OBJECT
public:
    // Works with the session's settings and catalogue, and tells through its prompter.
    explicit SearchPanel(Workspace workspace, QWidget* parent = nullptr);
    Workspace workspace() const { return m_request.workspace(); }
    ~SearchPanel() override;

    // The set-up once the frame exists: "*" in FIND and its list, Use All FROM Letters checked,
    // everything cleared, the list laid out, the stored font applied.
    void setUp();
    // The status bar's message pane and the Found and Checked panes.
    void attachStatusBar(QStatusBar* bar, QLabel* found, QLabel* checked);

    const WindowActions& actions() const { return m_actions; }
    // The texts of the status bar's message pane besides the dialogs' notes: the commands' status
    // tips as they read when no other copy of the program keeps one off, and the search's state.
    QStringList paneTexts() const {
        return m_tips.values() << searchingText() << searchCompletedText();
    }
    // Enables each command as the state it depends on allows: no search running, a results pair
    // open or matches listed, and for the commands that change files, no other copy of the program
    // running; such a command that another copy keeps off says why in its status tip and
    // tooltip. Runs whenever that state changes and before a menu opens (the other copies are
    // not watched).
    void updateActions();
    bool searching() const { return m_searching; }
    // The program is told to end (a signal): a running search is cancelled without asking,
    // then the program closes as Exit closes it. Called again until the window has gone.
    void endWithoutAsking();
    // The frame's close box: a running search is stopped without asking, and once it has stopped
    // the window closes as Exit closes it (asking about unsaved matches).
    void closeBox();
    // The matches shown were saved (Save As): closing no longer asks about them.
    void resultsSaved() { m_resultsUnsaved = false; }
    // The matches a close would throw away: those of the last search, unless they were saved
    // or the list shows something else since (a saved pair, nothing).
    std::int64_t unsavedMatches() const;

    // Shows the counters; while the frame is minimised its title shows "Found: N" instead
    // (the frame calls this whenever it is minimised or restored).
    void refreshCounters();
    // Shows a string-table text in the message pane.
    void setStatusText(int stringId);
    // The font of the fields and the list, for the dialogs' fields.
    QFont currentFont() const;

    // What the window shows and what the results-file commands change: the Found and Checked
    // panes (Checked is also what a saved header records), "Filters on", and Clear All.
    void showTotals(std::int64_t found, std::int64_t checked, bool filtersOn);
    void clearAll();

    // What the list shows and the search behind it, for reading.
    const ResultsStore& results() const { return m_results; }
    const SearchRun& searchRun() const { return m_run; }

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

private:
    static QString searchingText() { return tr("Searching"); }
    static QString searchCompletedText() { return tr("Searching Completed"); }
    void createActions();
    // A command of the window: `name` is its object name, `tip` its status tip.
    QAction* makeAction(const char* name, const QString& text, const QString& tip,
                        void (SearchPanel::*run)());
    // Start, Enter: a search starts unless one runs (then the computer beeps).
    void requestStart();
    void viewCommand();
    void saveAsCommand();
    void deleteResultsCommand();
    void selectDictionariesCommand();
    void addWordCommand();
    void removeWordCommand();
    void mergeCommand();
    void createFromFileCommand();
    void deleteDictionariesCommand();
    void helpCommand();
    void aboutCommand();

    void startSearch();
    void enterSearchingState();
    void leaveSearchingState();
    void searchFinished();
    void completeSearch();
    void askCancelSearch();
    // Tells the worker to stop; the search ends when it has.
    void stopSearch();
    // The status bar's note on how the search ended: cancelled, or stopped by the match limit.
    void showEndNote(bool cancelled);
    void exitCommand();
    // Asks before unsaved matches are thrown away (unless the user said not to ask again);
    // true when they may go.
    bool discardConfirmed();
    void closeNow();
    void showCounters(std::int64_t found, std::int64_t checked);
    void showFiltersOn(bool on);
    void phraseOptionsCommand();
    // The status bar names what the highlighted match left over (computed now, never stored).
    void explainMatch(const QString& match);
    // What the header of exported results records: the fields as shown and the last Checked.
    SearchSummary summary() const;

    // Best first (core/ranking/ranking_sources.h). Reads the ranking's sources and adds the
    // commonness filter to `filters`; false (told) when the word lists of the filter cannot be
    // read. A missing model leaves the search unranked, which the status bar says once.
    bool prepareRanking(PhraseFilters& filters);
    // Before the worker starts: a new ranker, fed by the search's best sets of words or its lines.
    void startRanking();
    void showBestSoFar();
    // After a ranked search: its best matches as a pair of their own, shown in place of the
    // matches in the order found.
    void finishRanking();
    void bestFirstToggled(bool on);
    // Shows the last ranked search's best matches, or all its matches in the order found.
    void showOrder(bool best);

    SearchRequest m_request;
    ResultsStore m_results;
    SearchRun m_run;
    SearchHistories m_histories;
    PhraseOptions m_phraseOptions;

    SearchForm* m_form;
    ResultsFileCommands m_resultsFiles;
    DictionaryCommands m_dictionaries;
    WindowActions m_actions{};
    QHash<QAction*, QString> m_tips;  // each command's own status tip

    QStatusBar* m_statusBar = nullptr;
    QLabel* m_foundPane = nullptr;
    QLabel* m_checkedPane = nullptr;
    QLabel* m_filtersPane = nullptr;

    QBasicTimer m_searchTimer;  // 456
    bool m_searching = false;
    std::int64_t m_checked = 0;  // Checked of the results shown (a search's, or a viewed pair's)
    std::int64_t m_found = 0;    // Found of the results shown, likewise
    bool m_titleShowsCount = false;
    bool m_handlingExit = false;
    bool m_askingCancel = false;
    bool m_stopping = false;          // the worker was told to stop; the search has not ended
    bool m_closeWhenStopped = false;  // the close box was pressed during the search
    bool m_resultsUnsaved = false;    // the last search's matches were not saved since
    std::string m_searchDataName;     // the pair the last search wrote

    RankingSources m_ranking;
    RankingLines m_rankingLines;  // outlives the store, which hands it the lines of a search
    std::optional<Ranker> m_ranker;
    // Feeds m_ranker while the search is a bounded one.
    std::optional<RankerKeeper> m_keeper;
    bool m_ranked = false;   // the running or last search ranks its matches
    int m_liveTicks = 0;     // timer ticks since the best so far were shown
    QString m_unrankedNote;  // why the search is not ranked, until the status bar said it
    bool m_unrankedTold = false;
    std::unique_ptr<ResultsStore> m_bestResults;  // the best matches of the last ranked search
    std::filesystem::path m_foundPair[2];         // its matches in the order found: data, index
    QHash<QString, double> m_scores;              // the scores of its best matches
};

}  // namespace zantric::gui
