#include "gui/select_dictionaries_dialog.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_details.h"
#include "core/dictionary/dictionary_language.h"
#include "core/maintenance/delete_dictionaries.h"
#include "core/shell/messages.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "gui/dialog_parts.h"
#include "gui/qt_message_presenter.h"
#include "gui/results_list.h"
#include "gui/search_panel.h"

namespace zantric::gui {

namespace {

const QChar kSelectedMark(0xBB);  // »

// The catalogue key of a display name: the dictionaries folder and the name, unless the name
// is a path already.
std::filesystem::path pathOf(const Settings& settings, const QString& displayName) {
    return settings.dictionaryPath(displayName.toStdString());
}

}  // namespace

QString SelectDictionariesDialog::rowText(bool selected, const QString& displayName) {
    return QString(selected ? kSelectedMark : QChar(' ')) + QLatin1Char('\t') + displayName;
}

SelectDictionariesDialog::SelectDictionariesDialog(SearchPanel* panel)
    : QDialog(panel), m_panel(panel), m_helpId(HelpContext::kSelectDictionaries) {
    setWindowTitle(tr("Select Dictionaries"));
    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setMinimumSize(fontMetrics().averageCharWidth() * 36, fontMetrics().height() * 12);
    m_list->setContextMenuPolicy(Qt::NoContextMenu);  // the dialog's own menu opens instead
    if (panel != nullptr) m_list->setFont(panel->currentFont());
    // One tab stop, two characters in: the mark, then the name.
    auto* rows = new TabStopDelegate(m_list);
    rows->setTabStop(m_list->fontMetrics().averageCharWidth() * 2);
    m_list->setItemDelegate(rows);
    auto* label = new QLabel(tr("&Available Dictionaries"), this);
    label->setBuddy(m_list);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { toggleHighlighted(); });

    QPushButton* selectClear = makeButton(this, tr("&Select/Clear"));
    QPushButton* selectAll = makeButton(this, tr("S&elect All"));
    QPushButton* clearAll = makeButton(this, tr("C&lear All"));
    QPushButton* details = makeButton(this, tr("&Details"));
    QPushButton* close = makeButton(this, tr("&Close"));
    close->setDefault(true);
    connect(selectClear, &QPushButton::clicked, this, [this] { toggleHighlighted(); });
    connect(selectAll, &QPushButton::clicked, this, [this] { setAll(true); });
    connect(clearAll, &QPushButton::clicked, this, [this] { setAll(false); });
    connect(details, &QPushButton::clicked, this, [this] { showDetails(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    m_showDetails = new QAction(tr("&Show Details"), this);
    m_showDetails->setObjectName(QStringLiteral("actionShowDetails"));
    m_showDetails->setStatusTip(tr("Show Dictionary Details"));
    connect(m_showDetails, &QAction::triggered, this, &SelectDictionariesDialog::showDetails);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {selectClear, selectAll, clearAll, details}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(label);
    listColumn->addWidget(m_list, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 1);
    layout->addLayout(buttons);
    fillList();
}

void SelectDictionariesDialog::fillList() {
    const int top = m_list->verticalScrollBar()->value();
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    for (const CatalogueEntry& entry : m_panel->workspace().catalogue.entries()) {
        m_list->addItem(rowText(entry.selected(), QString::fromStdString(entry.displayName())));
        // A dictionary made in a language that folds accented letters names it in its tip.
        if (const Language language = dictionaryLanguage(entry.filePath()); foldsLetters(language))
            m_list->item(m_list->count() - 1)
                ->setToolTip(
                    QString::fromStdString(loadString(kStrLanguageLine, languageCode(language))));
    }
    m_list->verticalScrollBar()->setValue(top);
    m_list->setUpdatesEnabled(true);
}

QStringList SelectDictionariesDialog::highlightedRows() const {
    QStringList rows;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isSelected()) rows << m_list->item(i)->text();
    }
    return rows;
}

void SelectDictionariesDialog::toggleHighlighted() {
    Catalogue& catalogue = m_panel->workspace().catalogue;
    for (const QString& row : highlightedRows()) {
        const std::filesystem::path path = pathOf(m_panel->workspace().settings, row.mid(2));
        if (catalogue.find(path) != nullptr) {
            catalogue.setSelected(path, !catalogue.isSelected(path));
        }
    }
    fillList();
}

void SelectDictionariesDialog::setAll(bool on) {
    Catalogue& catalogue = m_panel->workspace().catalogue;
    for (std::size_t i = 0; i < catalogue.count(); ++i) {
        catalogue.setSelected(catalogue.entry(i).path(), on);
        catalogue.entry(i).markChanged();
    }
    fillList();
}

void SelectDictionariesDialog::showDetails() {
    const QStringList rows = highlightedRows();
    if (rows.isEmpty()) {
        m_panel->workspace().prompter.ask(
            Message::fromIds(kStrHighlightOne, kStrIncompleteTitle, MessageKind::kPlain));
        return;
    }
    const CatalogueEntry* entry = m_panel->workspace().catalogue.find(
        pathOf(m_panel->workspace().settings, rows.first().mid(2)));
    if (entry == nullptr) return;
    m_panel->workspace().prompter.ask({detailsText(*entry, m_panel->workspace().prompter),
                                       detailsTitle(*entry), MessageKind::kInformation});
}

void SelectDictionariesDialog::deleteDictionaries() {
    if (m_panel != nullptr) m_panel->setStatusText(kStrStatusBlank);
    if (deleteHighlighted(m_panel->workspace(), highlightedRows(), 2) ==
            MaintenanceOutcome::kDone &&
        m_panel != nullptr) {
        m_panel->setStatusText(kStrDeleteSuccessful);
    }
    fillList();
}

void SelectDictionariesDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setToolTipsVisible(true);
    // The main window runs its dictionary commands and refills this list when each ends.
    if (m_panel != nullptr) {
        const WindowActions& a = m_panel->actions();
        m_panel->updateActions();
        menu.addActions({a.addWord, a.removeWord, a.merge, a.createFromFile, a.deleteDictionaries});
        menu.addSeparator();
    }
    menu.addAction(m_showDetails);
    menu.exec(event->globalPos());
}

MaintenanceOutcome deleteHighlighted(Workspace workspace, const QStringList& rows, int skip) {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(rows.size()));
    // The mark is one character here but two bytes in UTF-8: drop it before converting.
    for (const QString& row : rows) texts.push_back(row.mid(skip).toStdString());
    return zantric::deleteHighlighted(workspace, texts, 0);
}

}  // namespace zantric::gui
