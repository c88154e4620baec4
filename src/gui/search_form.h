// SearchForm: the controls of the main window and their keystroke rules: FIND, FROM, INCLUDE
// and EXCLUDE with their history lists, Use All FROM Letters, Suppress Permutations and Best
// first, the Font group, Start and Cancel, and the results list between them. Whatever is typed or
// clicked is handed to the search request at once; Start, Cancel and Enter ask for their commands.
// The search panel decides what they do. GUI thread only.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/search/search_fields.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace zantric {
class ResultsStore;
class SearchRun;
class SearchRequest;
struct SearchHistories;
}  // namespace zantric

namespace zantric::gui {

class FontSetting;
class ResultsListView;

class SearchForm final : public QWidget {
    Q_OBJECT
public:
    SearchForm(SearchRequest& request, ResultsStore& results, const SearchRun& run,
               QWidget* parent);

    // The four texts and the two options as they stand.
    SearchFields fields() const;
    // Shows a search (the one saved with viewed results) and hands its options to the request.
    void showFields(const SearchFields& fields);
    // Clear All's side of the form: "*" in FIND, the other fields empty, Use All checked, the
    // focus in FIND.
    void clearFields();
    // Each field's list shows its history again, keeping what the field holds.
    void showHistories(const SearchHistories& histories);
    // While a search runs the fields, options, list and Start are disabled, and the focus rests
    // on the form itself, where typed keys do nothing; after it the focus goes back to the
    // control that had it when the search started (the list when none of the form's had).
    void setSearching(bool searching);
    // A phrase in FIND enables Suppress Permutations and disables INCLUDE and EXCLUDE.
    void updateForPattern();
    // The font stored in the ini (if any) for the fields and the list.
    void restoreFont();
    QFont currentFont() const;

    ResultsListView* list() const { return m_list; }
    // Best first: the matches of the next search listed best first (the search panel acts on it).
    QCheckBox* bestFirst() const { return m_bestFirst; }

signals:
    // Start (the button, Enter) was pressed.
    void startRequested();
    // Cancel was pressed.
    void cancelRequested();
    // A key a field refused: `hint` says what the field takes.
    void keyRefused(const QString& hint);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QGridLayout* buildFields();
    QGroupBox* buildOptions();
    QComboBox* field(SearchField which) const { return m_fields[static_cast<int>(which)]; }
    void fillHistory(SearchField which, const SearchHistories& histories);
    void setControlsEnabled(bool enabled);
    void applyFont(const QFont& font);
    // A typed character for one of the fields: true when the filter took the key.
    bool filterKey(SearchField which, QKeyEvent* event);

    SearchRequest& m_request;
    QComboBox* m_fields[4] = {};
    QLabel* m_fieldLabels[4] = {};
    QCheckBox* m_useAll = nullptr;
    QCheckBox* m_suppress = nullptr;
    QCheckBox* m_bestFirst = nullptr;
    FontSetting* m_font = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_cancel = nullptr;
    ResultsListView* m_list = nullptr;
    bool m_searching = false;
    QPointer<QWidget> m_focusBeforeSearch;
};

}  // namespace zantric::gui
