// The results list: a QListView over ResultsListModel, whose rows come from ResultsStore a row at a
// time (several matches a row, each followed by a tab) and are drawn with every match at the
// list's tab stop. The list lays out its rows: as many matches a row as its width takes, each as
// wide as the longest match and the tab size. The model holds no matches; it keeps only the row
// count it last announced, and asks for rows again when told to reload. While any dictionary reader
// is open (a search or a dictionary command is writing) every row reads as empty. GUI thread only.
#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QListView>
#include <QStyledItemDelegate>
#include <cstdint>

#include "core/dictionary/spellings.h"
#include "core/dictionary/workspace.h"

namespace zantric {
class ResultsStore;
class SearchRun;
class Settings;
}  // namespace zantric

namespace zantric::gui {

class ResultsListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    // While `run` is running its worker writes the results files: the rows show nothing then.
    ResultsListModel(ResultsStore& results, const SearchRun& run, QObject* parent = nullptr);

    // Discards the rows shown and asks the store again, `perRow` matches a row.
    void reload(int perRow);
    int perRow() const { return m_perRow; }
    // The search's worker is writing the results files.
    bool searchRunning() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    // A row's tooltip names the score of each of its matches that has one (see setScores), and
    // every spelling of a match whose words have several.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // While a ranked search runs: the best so far, shown in place of the store's rows (which read
    // as empty then), `perRow` a row; empty to show the store's again.
    void showBestSoFar(QStringList best, int perRow);
    bool showsBestSoFar() const { return !m_bestSoFar.isEmpty(); }
    // The scores of the ranked matches shown, for their tooltips; empty for matches not ranked.
    void setScores(QHash<QString, double> scores) { m_scores = std::move(scores); }
    // How the words of the matches are shown (élève for the stored eleve); none: as stored.
    void setSpellings(Spellings spellings) { m_spellings = std::move(spellings); }
    // `text`, matches each ended by a tab or a line feed, with every word as the spellings show
    // it: in its first spelling, as the rows show it (never longer than the stored word, so the
    // row's layout holds), or in every spelling ("baratte/baratté"), as tooltips and Copy do.
    enum class Spelled { kFirst, kEvery };
    QString spelled(std::string_view text, Spelled which) const;

private:
    // A row's matches as stored, each followed by a tab; rowOf shows them spelled.
    QString storedRowOf(int row) const;
    QString rowOf(int row) const;

    ResultsStore& m_results;
    const SearchRun& m_run;
    int m_rows = 0;
    int m_perRow = 1;
    QStringList m_bestSoFar;
    QHash<QString, double> m_scores;
    Spellings m_spellings;
};

// Draws a row of tab-separated texts, each at the next multiple of the tab stop (the results
// list, the dictionary list of Select Dictionaries).
class TabStopDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setTabStop(int pixels) { m_tabStop = pixels; }
    int tabStop() const { return m_tabStop; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int m_tabStop = 80;
};

// The list control. Whenever its size or font changes it lays out its rows again and reloads. When
// the user highlights a row it names the match there: the one clicked, or the row's first when the
// keys moved to it. Rows are highlighted as in any list (Shift and Ctrl with clicks and arrows,
// Ctrl+A); Ctrl+C and the right-click menu's Copy put the matches of the highlighted rows on the
// clipboard, one a line.
class ResultsListView final : public QListView {
    Q_OBJECT
public:
    // The most matches one Copy puts on the clipboard unless the ini's SETTINGS Copy Limit says
    // otherwise; more are asked about first.
    static constexpr int kCopyLimit = 1'000'000;

    // The tab size is read from the ini file of the workspace's settings as it was at start; its
    // prompter asks before a large copy.
    ResultsListView(Workspace workspace, ResultsStore& results, const SearchRun& run,
                    QWidget* parent = nullptr);

    ResultsListModel* resultsModel() const { return m_model; }
    TabStopDelegate* rowDelegate() const { return m_delegate; }

    // The layout for the current size, font and longest match, then a reload.
    void relayout();
    // The best matches so far of a ranked search, best first, laid out as the store's rows are;
    // empty to show the store's rows again.
    void showBestSoFar(const QStringList& best);
    // Reload and show the first row (after a search, a font change).
    void goToFirstRow();
    // The usable width in average characters of the list's font.
    int widthInCharacters() const;
    // The space between matches in characters: the ini's SETTINGS Tab Size when the list was
    // made, 0 to 255.
    int tabSize() const { return m_tabSize; }
    // Copy: the matches of the highlighted rows, in list order, one a line. More than the copy
    // limit asks first ("Copy the first ...?"): Yes copies that many, No nothing. False when
    // nothing was copied.
    bool copyHighlighted();

signals:
    void matchHighlighted(const QString& match);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void announceMatch(const QModelIndex& index);
    // The copy limit as the ini gives it now.
    std::int64_t copyLimit() const;

    ResultsStore& m_results;
    const Settings& m_settings;
    Prompter& m_prompter;
    int m_tabSize;
    int m_column = 0;      // the match of the row last clicked
    bool m_quiet = false;  // the program, not the user, moves to a row
    ResultsListModel* m_model;
    TabStopDelegate* m_delegate;
};

// The tab size when the ini gives none, and the largest taken (a larger value counts as this).
inline constexpr int kDefaultTabSize = 6;
inline constexpr int kMaxTabSize = 255;

// How many matches a row of a list `widthInCharacters` wide holds when each takes the longest
// match's length and the tab size: as many as fit, at least one, at most kMaxMatchesPerRow.
int matchesPerRow(int longest, int tabSize, int widthInCharacters);
// The tab stop between the matches of a row, in pixels of a font whose average character is
// `averageCharWidth` wide. The list measures it in dialog units, 13/4 of them to a character:
// (longest + tab size) * 13/4 units, each rounded down.
int tabStopPixels(int longest, int tabSize, int averageCharWidth);

}  // namespace zantric::gui
