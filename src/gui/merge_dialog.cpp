#include "gui/merge_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/dictionary/catalogue.h"
#include "core/maintenance/merge_dictionaries.h"
#include "core/shell/paths.h"
#include "core/shell/string_ids.h"
#include "gui/dialog_parts.h"
#include "gui/search_panel.h"

namespace zantric::gui {

namespace {}

MergeDialog::MergeDialog(SearchPanel* panel)
    : QDialog(panel), m_panel(panel), m_helpId(HelpContext::kMergeDictionaries) {
    setWindowTitle(tr("Merge Dictionaries"));
    m_list = new QListWidget(this);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setMinimumSize(fontMetrics().averageCharWidth() * 32, fontMetrics().height() * 10);
    m_deleteMerged = new QCheckBox(tr("&Delete Merged Dictionaries"), this);
    m_newName = new QLineEdit(this);
    m_newName->setMaxLength(kDictionaryNameLimit);
    m_newName->setValidator(dictionaryNameValidator(m_newName));
    useWindowFont(panel, {m_list, m_newName});
    m_merge = makeButton(this, tr("&Merge"));
    m_merge->setDefault(true);
    QPushButton* close = makeButton(this, tr("&Close"));
    connect(m_merge, &QPushButton::clicked, this, [this] { merge(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_merge);
    buttons->addWidget(close);
    buttons->addStretch(1);
    auto* left = new QVBoxLayout;
    left->addWidget(buddyLabel(this, tr("Dictionary &List"), m_list));
    left->addWidget(m_list, 1);
    left->addWidget(m_deleteMerged);
    left->addWidget(buddyLabel(this, tr("&New Dictionary"), m_newName));
    left->addWidget(m_newName);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    fillList();
}

void MergeDialog::fillList() {
    QStringList names;
    for (const CatalogueEntry& entry : m_panel->workspace().catalogue.entries()) {
        names << QString::fromStdString(entry.displayName());
    }
    // The list is kept in name order, whatever the case of the names.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    const int top = m_list->verticalScrollBar()->value();
    m_list->clear();
    m_list->addItems(names);
    m_list->verticalScrollBar()->setValue(top);
}

QStringList MergeDialog::highlightedRows() const {
    QStringList rows;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->isSelected()) rows << m_list->item(i)->text();
    }
    return rows;
}

MaintenanceOutcome MergeDialog::merge() {
    if (m_panel != nullptr) m_panel->setStatusText(kStrStatusBlank);
    std::vector<std::string> names;
    for (const QString& row : highlightedRows()) names.push_back(row.toStdString());
    const MaintenanceOutcome outcome =
        mergeDictionaries(m_panel->workspace(), names, m_newName->text().toStdString(),
                          m_deleteMerged->isChecked(), progressRunner(this));
    if (outcome == MaintenanceOutcome::kDone) {
        fillList();
        if (m_panel != nullptr) m_panel->setStatusText(kStrDictionariesMerged);
        emit dictionariesChanged();
    }
    return outcome;
}

}  // namespace zantric::gui
