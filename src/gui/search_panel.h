// SearchPanel: the main window, the frame's client. Around the search form it holds the state
// of the search: the one search request, the results store, the search run, the field
// histories and the Phrase Options. It runs a search from Start to
// the finished list (the worker on its own thread, the counters polled every 100 ms), asks
// before cancelling, keeps the commands in one table with the rule that enables each, and
// closes the program in order: never while a search runs or stops, and not over unsaved matches
// without asking. GUI thread only.
#pragma once

#include <QBasicTimer>
#include <QFont>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

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
    // A menu item of the command: enabled as the command is, its hint in the status bar; when
    // another copy of the program keeps it off, the hint and its tooltip say so.
    void showCommandState(QAction* action, int id) const;
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
    // What must hold for a command to be enabled: every condition it names.
    enum Condition : unsigned {
        kAlways = 0,
        kNotSearching = 1,
        kOnlyCopy = 2,       // no other copy of the program runs
        kResultsOpen = 4,    // a results pair is open
        kResultsListed = 8,  // the list shows a match
    };
    struct Command {
        int id;
        unsigned enabledWhen;  // Conditions
        std::function<void()> run;
    };
    std::vector<Command> commandTable();
    const Command* findCommand(int id) const;
    bool holds(unsigned conditions) const;

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

    SearchRequest m_request;
    ResultsStore m_results;
    SearchRun m_run;
    SearchHistories m_histories;
    PhraseOptions m_phraseOptions;

    SearchForm* m_form;
    ResultsFileCommands m_resultsFiles;
    DictionaryCommands m_dictionaries;
    std::vector<Command> m_commands;

    QStatusBar* m_statusBar = nullptr;
    QLabel* m_foundPane = nullptr;
    QLabel* m_checkedPane = nullptr;
    QLabel* m_filtersPane = nullptr;

    QBasicTimer m_searchTimer;  // 456
    bool m_searching = false;
    std::int64_t m_checked = 0;  // Checked of the results shown (a search's, or a viewed pair's)
    bool m_titleShowsCount = false;
    bool m_handlingExit = false;
    bool m_askingCancel = false;
    bool m_stopping = false;          // the worker was told to stop; the search has not ended
    bool m_closeWhenStopped = false;  // the close box was pressed during the search
    bool m_resultsUnsaved = false;    // the last search's matches were not saved since
    std::string m_searchDataName;     // the pair the last search wrote
};

}  // namespace zantric::gui
