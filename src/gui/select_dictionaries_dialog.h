// SelectDictionariesDialog: the modal dialog in which the user chooses the dictionaries that
// searches use, looks at a dictionary's details and deletes dictionaries. Each row is one catalogue
// entry, "»" marking the selected ones; a change takes effect in the catalogue at once. Its
// right-click menu holds the main window's dictionary commands, and the list is refilled after
// each. GUI thread.
#pragma once

#include <QDialog>
#include <QStringList>

#include "core/dictionary/workspace.h"
#include "core/maintenance/new_dictionary.h"
#include "gui/help.h"

class QAction;
class QListWidget;
class QPushButton;

namespace zantric::gui {

class SearchPanel;

class SelectDictionariesDialog final : public QDialog {
    Q_OBJECT
public:
    // `panel` receives status texts and runs the menu's dictionary commands.
    explicit SelectDictionariesDialog(SearchPanel* panel);

    // The rows as the list shows them: the mark (or a space), a tab, the display name.
    static QString rowText(bool selected, const QString& displayName);

    void fillList();
    void toggleHighlighted();
    void setAll(bool on);
    void showDetails();
    void deleteDictionaries();
    // The row texts of the highlighted rows, in row order.
    QStringList highlightedRows() const;
    QListWidget* list() const { return m_list; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    SearchPanel* m_panel;
    HelpId m_helpId;
    QListWidget* m_list;
    QAction* m_showDetails;
};

// Deletes the dictionaries of the highlighted rows (each row's text without its first `skip`
// characters is the display name) after asking. kDone when every one was deleted.
// Also used by the Merge Dictionaries dialog.
MaintenanceOutcome deleteHighlighted(Workspace workspace, const QStringList& rows, int skip);

}  // namespace zantric::gui
