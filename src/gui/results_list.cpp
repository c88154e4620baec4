#include "gui/results_list.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/results/results_store.h"
#include "core/search/search_run.h"
#include "core/shell/ini_names.h"
#include "core/shell/messages.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "gui/qt_message_presenter.h"

namespace zantric::gui {

int matchesPerRow(int longest, int tabSize, int widthInCharacters) {
    const std::int64_t span = std::max<std::int64_t>(std::int64_t{longest} + tabSize, 1);
    return static_cast<int>(
        std::clamp<std::int64_t>(std::max(widthInCharacters, 0) / span, 1, kMaxMatchesPerRow));
}

int tabStopPixels(int longest, int tabSize, int averageCharWidth) {
    const int dialogUnits = (longest + tabSize) * 13 / 4;
    return dialogUnits * averageCharWidth * 4 / 13;
}

ResultsListModel::ResultsListModel(ResultsStore& results, const SearchRun& run, QObject* parent)
    : QAbstractListModel(parent), m_results(results), m_run(run) {}

bool ResultsListModel::searchRunning() const { return m_run.running(); }

void ResultsListModel::reload(int perRow) {
    beginResetModel();
    m_perRow = std::max(perRow, 1);
    m_rows = static_cast<int>((m_results.count() + m_perRow - 1) / m_perRow);
    endResetModel();
}

int ResultsListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

QVariant ResultsListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows) return {};
    if (role == Qt::DisplayRole) return rowOf(index.row());
    if (role != Qt::ToolTipRole || (m_scores.isEmpty() && m_spellings.count() == 0)) return {};
    // Each match with a score, or shown in one of several spellings, as every spelling shows it.
    QStringList lines;
    const QString row = storedRowOf(index.row());
    for (const QString& match : row.split(QLatin1Char('\t'), Qt::SkipEmptyParts)) {
        const std::string stored = match.toStdString();
        const QString every = spelled(stored, Spelled::kEvery);
        const auto score = m_scores.constFind(match);
        if (score != m_scores.constEnd()) {
            lines << tr("%1: score %2").arg(every).arg(*score, 0, 'f', 2);
        } else if (every != spelled(stored, Spelled::kFirst)) {
            lines << every;
        }
    }
    return lines.isEmpty() ? QVariant() : QVariant(lines.join(QLatin1Char('\n')));
}

QString ResultsListModel::spelled(std::string_view text, Spelled which) const {
    if (m_spellings.count() == 0) {
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    std::string shown;
    std::string line;
    std::string word;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\t\n", at), text.size());
        m_spellings.shownLine(text.substr(at, end - at), line, word);
        for (std::size_t i = 0; i < line.size(); ++i) {
            // The first spelling of a word ends at its '/' (no spelling holds one).
            if (line[i] == '/' && which == Spelled::kFirst) {
                while (i + 1 < line.size() && line[i + 1] != ' ') ++i;
            } else {
                shown += line[i];
            }
        }
        if (end < text.size()) shown += text[end];
        at = end + 1;
    }
    return QString::fromStdString(shown);
}

QString ResultsListModel::rowOf(int row) const {
    const QString stored = storedRowOf(row);
    return m_spellings.count() == 0 ? stored : spelled(stored.toStdString(), Spelled::kFirst);
}

QString ResultsListModel::storedRowOf(int row) const {
    if (!m_bestSoFar.isEmpty()) {
        const qsizetype first = qsizetype{row} * m_perRow;
        return first < m_bestSoFar.size()
                   ? m_bestSoFar.mid(first, m_perRow).join(QLatin1Char('\t')) + QLatin1Char('\t')
                   : QString();
    }
    // A worker may be writing the results files: show nothing rather than read them.
    if (searchRunning()) return QString();
    const std::string_view text = m_results.rowText(std::int64_t{row} * m_perRow, m_perRow);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void ResultsListModel::showBestSoFar(QStringList best, int perRow) {
    if (best.isEmpty() && m_bestSoFar.isEmpty()) return;
    beginResetModel();
    m_bestSoFar = std::move(best);
    m_perRow = std::max(perRow, 1);
    m_rows = static_cast<int>((m_bestSoFar.size() + m_perRow - 1) / m_perRow);
    endResetModel();
}

void TabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString row = opt.text;
    opt.text.clear();
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    const QPalette::ColorRole role =
        opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(
        opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled, role));
    const int stop = qMax(1, m_tabStop);
    const QStringList parts = row.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
    int x = area.left();
    for (qsizetype i = 0; i < parts.size() && x < area.right(); ++i, x += stop) {
        // A text never runs into the next one; the last may use the rest of the row.
        const int width = i + 1 < parts.size() ? stop : area.right() - x + 1;
        const QRect cell(x, area.top(), qMin(width, area.right() - x + 1), area.height());
        painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, parts[i]);
    }
    painter->restore();
}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QFontMetrics metrics(opt.font);
    return {m_tabStop, metrics.height() + 2};
}

ResultsListView::ResultsListView(Workspace workspace, ResultsStore& results, const SearchRun& run,
                                 QWidget* parent)
    : QListView(parent),
      m_results(results),
      m_settings(workspace.settings),
      m_prompter(workspace.prompter),
      m_tabSize(std::clamp(workspace.settings.atStart().integer(ini::kSettingsSection,
                                                                ini::kTabSize, kDefaultTabSize),
                           0, kMaxTabSize)) {
    setObjectName(QStringLiteral("results"));
    m_model = new ResultsListModel(results, run, this);
    m_delegate = new TabStopDelegate(this);
    setModel(m_model);
    setItemDelegate(m_delegate);
    // Every row has the same height, so the view never measures the rows it does not show.
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
}

int ResultsListView::widthInCharacters() const {
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int average = qMax(1, fontMetrics().averageCharWidth());
    return qMax(1, (contentsRect().width() - scrollBar) / average);
}

void ResultsListView::relayout() {
    if (m_model->showsBestSoFar()) return;  // laid out as the best come
    const int longest = m_results.longest();
    m_delegate->setTabStop(tabStopPixels(longest, m_tabSize, fontMetrics().averageCharWidth()));
    m_model->reload(matchesPerRow(longest, m_tabSize, widthInCharacters()));
}

void ResultsListView::showBestSoFar(const QStringList& best) {
    if (best.isEmpty()) {
        if (!m_model->showsBestSoFar()) return;
        m_model->showBestSoFar({}, 1);
        relayout();
        return;
    }
    int longest = 1;
    for (const QString& match : best) longest = std::max(longest, static_cast<int>(match.size()));
    m_delegate->setTabStop(tabStopPixels(longest, m_tabSize, fontMetrics().averageCharWidth()));
    m_model->showBestSoFar(best, matchesPerRow(longest, m_tabSize, widthInCharacters()));
}

void ResultsListView::goToFirstRow() {
    relayout();
    if (m_model->rowCount() > 0) {
        m_quiet = true;
        setCurrentIndex(m_model->index(0));
        m_quiet = false;
        scrollToTop();
    }
}

void ResultsListView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const QModelIndex before = currentIndex();
    if (index.isValid()) {
        m_column = (event->position().toPoint().x() - visualRect(index).left()) /
                   qMax(1, m_delegate->tabStop());
    }
    QListView::mousePressEvent(event);
    // A click on the highlighted row may name another of its matches.
    if (index.isValid() && index == before && index == currentIndex()) announceMatch(index);
    m_column = 0;
}

void ResultsListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QListView::currentChanged(current, previous);
    if (!m_quiet && current.isValid()) announceMatch(current);
}

void ResultsListView::announceMatch(const QModelIndex& index) {
    const QStringList matches =
        m_model->data(index).toString().split(QLatin1Char('\t'), Qt::SkipEmptyParts);
    if (matches.isEmpty()) return;
    emit matchHighlighted(matches.at(qBound(0, m_column, static_cast<int>(matches.size()) - 1)));
}

std::int64_t ResultsListView::copyLimit() const {
    const int limit = m_settings.readInt(ini::kSettingsSection, ini::kCopyLimit, kCopyLimit);
    return limit > 0 ? limit : kCopyLimit;
}

bool ResultsListView::copyHighlighted() {
    // A worker may be writing the results files (see ResultsListModel::data).
    if (m_model->searchRunning()) return false;
    // The highlighted rows as sorted ranges that do not overlap, and the matches they hold.
    std::vector<std::pair<int, int>> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.isValid()) rows.emplace_back(range.top(), range.bottom());
    }
    std::sort(rows.begin(), rows.end());
    std::vector<std::pair<std::int64_t, std::int64_t>> matches;  // first, count
    std::int64_t total = 0;
    const std::int64_t perRow = m_model->perRow();
    for (std::size_t i = 0, next = 0; i < rows.size(); i = next) {
        int bottom = rows[i].second;
        for (next = i + 1; next < rows.size() && rows[next].first <= bottom + 1; ++next) {
            bottom = std::max(bottom, rows[next].second);
        }
        const std::int64_t first = perRow * rows[i].first;
        const std::int64_t count = std::min(perRow * (bottom + 1), m_results.count()) - first;
        if (count <= 0) continue;
        matches.emplace_back(first, count);
        total += count;
    }
    if (total == 0) return false;
    const std::int64_t limit = copyLimit();
    if (total > limit) {
        const QLocale locale;
        const std::string question =
            loadString(kStrCopyLimitQuestion, {locale.toString(qint64{total}).toStdString(),
                                               locale.toString(qint64{limit}).toStdString()});
        if (m_prompter.ask({question, loadString(kStrCopyTitle), MessageKind::kPlain,
                            Buttons::kYesNo}) != Answer::kYes) {
            return false;
        }
    }
    // Whole stretches of lines read through the store's buffer, never a read per match.
    std::string text;
    std::int64_t left = std::min(total, limit);
    for (auto [first, count] : matches) {
        if (left == 0) break;
        left -= m_results.appendMatchLines(first, std::min(count, left), text);
    }
    if (text.empty()) return false;
    QGuiApplication::clipboard()->setText(
        m_model->spelled(text, ResultsListModel::Spelled::kEvery));
    return true;
}

void ResultsListView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copyHighlighted();
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void ResultsListView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("resultsMenu"));
    QAction* copy = menu.addAction(tr("&Copy"), this, [this] { copyHighlighted(); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(selectionModel()->hasSelection());
    QAction* all = menu.addAction(tr("Select &All"), this, [this] { selectAll(); });
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(m_model->rowCount() > 0);
    for (QAction* action : {copy, all}) action->setShortcutVisibleInContextMenu(true);
    menu.exec(event->globalPos());
}

void ResultsListView::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    if (event->size().width() != event->oldSize().width()) relayout();
}

void ResultsListView::changeEvent(QEvent* event) {
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange) relayout();
}

}  // namespace zantric::gui
