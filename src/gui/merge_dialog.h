// MergeDialog: the "Merge Dictionaries" dialog. The user highlights two or more
// dictionaries, names a new one and presses Merge; the words of all of them, each once and in
// order, become the new dictionary, made under the progress dialog and put in place only when
// complete. "Delete Merged Dictionaries" then deletes the merged ones (after asking). The dialog
// stays open for the next merge. GUI thread.
#pragma once

#include <QDialog>
#include <QStringList>

#include "core/maintenance/new_dictionary.h"
#include "gui/help.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zantric::gui {

class SearchPanel;

class MergeDialog final : public QDialog {
    Q_OBJECT
public:
    explicit MergeDialog(SearchPanel* panel);

    // One row per dictionary: its file name, in name order.
    void fillList();
    // The highlighted rows, in list order.
    QStringList highlightedRows() const;
    // The Merge button.
    MaintenanceOutcome merge();

    QListWidget* list() const { return m_list; }
    QLineEdit* newNameEdit() const { return m_newName; }
    QCheckBox* deleteMergedBox() const { return m_deleteMerged; }
    QPushButton* mergeButton() const { return m_merge; }

signals:
    // The dictionaries changed (a merge, or a deletion after one).
    void dictionariesChanged();

private:
    SearchPanel* m_panel;
    HelpId m_helpId;
    QListWidget* m_list;
    QCheckBox* m_deleteMerged;
    QLineEdit* m_newName;
    QPushButton* m_merge;
};

}  // namespace zantric::gui
