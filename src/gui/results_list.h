// The results list: a QListView over ResultsListModel, whose rows come from ResultsStore a row at a
// time (several matches a row, each followed by a tab) and are drawn with every match at the
// store's tab stop. The model holds no matches; it keeps only the row count it last announced,
// and asks for rows again when told to reload. While any dictionary reader is open (a search
// or a dictionary command is writing) every row reads as empty. GUI thread only.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <cstdint>

namespace zantric {
class ResultsStore;
class SearchRun;
}  // namespace zantric

namespace zantric::gui {

class ResultsListModel final : public QAbstractListModel {
    Q_OBJECT
public:
    // While `run` is running its worker writes the results files: the rows show nothing then.
    ResultsListModel(ResultsStore& results, const SearchRun& run, QObject* parent = nullptr);

    // Discards the rows shown and asks the store again.
    void reload();
    // The search's worker is writing the results files.
    bool searchRunning() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    ResultsStore& m_results;
    const SearchRun& m_run;
    int m_rows = 0;
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

// The list control. Whenever its size or font changes it tells the store its width in average
// characters, takes the store's tab stop and reloads. When the user highlights a row it names
// the match there: the one clicked, or the row's first when the keys moved to it. Rows are
// highlighted as in any list (Shift and Ctrl with clicks and arrows, Ctrl+A); Ctrl+C and the
// right-click menu's Copy put the matches of the highlighted rows on the clipboard, one a line.
class ResultsListView final : public QListView {
    Q_OBJECT
public:
    // The most matches one Copy puts on the clipboard; more are asked about first.
    static constexpr std::int64_t kCopyLimit = 1'000'000;

    ResultsListView(ResultsStore& results, const SearchRun& run, QWidget* parent = nullptr);

    ResultsListModel* resultsModel() const { return m_model; }
    TabStopDelegate* rowDelegate() const { return m_delegate; }

    // The store's layout for the current size and font, then a reload.
    void relayout();
    // Reload and show the first row (after a search, a font change).
    void goToFirstRow();
    // The usable width in average characters of the list's font.
    int widthInCharacters() const;
    // Copy: the matches of the highlighted rows, in list order, one a line. More than the copy
    // limit asks first ("Copy the first ...?"): Yes copies that many, No nothing. False when
    // nothing was copied.
    bool copyHighlighted();
    // Only tests call this: the copy limit from now on.
    void setCopyLimitForTests(std::int64_t limit) { m_copyLimit = limit; }

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

    ResultsStore& m_results;
    int m_column = 0;      // the match of the row last clicked
    bool m_quiet = false;  // the program, not the user, moves to a row
    std::int64_t m_copyLimit = kCopyLimit;
    ResultsListModel* m_model;
    TabStopDelegate* m_delegate;
};

// The tab stop of the store (in the list's dialog units: 13/4 to a character) in pixels of a
// font whose average character is `averageCharWidth` wide.
int tabStopPixels(int dialogUnits, int averageCharWidth);

}  // namespace zantric::gui
