// WordDialog: the Add Word and Remove Word dialog. The user types a word, picks a
// dictionary from the list (or, when adding, names a new one) and presses Add or Remove; the
// word is checked, the user is asked about unusual cases, and the dictionary is rewritten under
// the progress dialog. Find lists the dictionaries that hold the word. Any number of words may
// be changed before Close. GUI thread.
#pragma once

#include <QDialog>
#include <memory>

#include "core/maintenance/word_change.h"
#include "gui/help.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace zantric::gui {

class SearchPanel;

class WordDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDictionaryTextLimit = 257;

    WordDialog(SearchPanel* panel, UpdateMode mode);
    ~WordDialog() override;

    // The list of dictionaries anew, keeping the one chosen (by its name) chosen.
    void fillCombo();
    // The Find button.
    void find();
    // The Add or Remove button.
    UpdateOutcome ok();

    QLineEdit* wordEdit() const { return m_word; }
    QComboBox* dictionaryCombo() const { return m_dictionary; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* findButton() const { return m_find; }

signals:
    // A dictionary was changed, made or deleted.
    void dictionariesChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SearchPanel* m_panel;
    HelpId m_helpId;
    std::unique_ptr<zantric::WordChange> m_update;
    QLineEdit* m_word;
    QComboBox* m_dictionary;
    QPushButton* m_find;
    QPushButton* m_ok;
};

}  // namespace zantric::gui
