// ResultsFileCommands: the File menu's Save As, View and Delete Results: the file dialogs (opened
// in the folder last chosen in either, else the documents folder), saving behind a progress
// dialog, opening a saved results pair with the search that made it, and the question before a
// deletion. The search panel owns the results and shows the totals; its dialogs and questions
// are owned by it. GUI thread only.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace zantric {
class ResultsStore;
struct SearchSummary;
}  // namespace zantric

namespace zantric::gui {

class SearchForm;
class SearchPanel;

class ResultsFileCommands {
    Q_DECLARE_TR_FUNCTIONS(ResultsFileCommands)

public:
    ResultsFileCommands(SearchPanel* panel, SearchForm* form, ResultsStore& results)
        : m_panel(panel), m_form(form), m_results(results) {}

    // Save As: asks for a name and a type, then saves what the list shows, described by
    // `shown`. False when no name was given.
    bool saveAs(const SearchSummary& shown);
    // View: asks for a saved results pair and shows it. False when no name was given.
    bool view();
    // Delete Results: asks first (No is the default), then deletes the pair shown.
    void deleteShown();

private:
    // `type` is the index of the chosen file type (a SaveAsType).
    void saveTo(const QString& name, int type, const SearchSummary& shown);
    void open(const QString& name);

    SearchPanel* m_panel;
    SearchForm* m_form;
    ResultsStore& m_results;
};

}  // namespace zantric::gui
