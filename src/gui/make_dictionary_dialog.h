// MakeDictionaryDialog: the "Make Dictionary From File" dialog. The user names a word list and a
// new dictionary and presses OK; the list is validated, sorted and compiled into the dictionary in
// three stages, each under the progress dialog, and the dialog stays open for the next one,
// showing under its fields how many words were stored and which lines were skipped.
// "Add Unique Words Only" keeps only the words that no selected dictionary holds yet; ticking it
// shows the ReminderBox reminder until the user asks not to see it again. GUI thread.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

#include "core/maintenance/make_dictionary.h"
#include "gui/help.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zantric::gui {

class SearchPanel;

// What reading a word list came to, a line each, with counts as the user's locale writes them;
// none when the list was not read to its end.
QStringList reportLines(const WordListReport& report);

class MakeDictionaryDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFileNameLimit = 260;

    // `panel` gives the font and receives the status texts.
    explicit MakeDictionaryDialog(SearchPanel* panel);

    // The file dialog of Browse: returns the chosen file, empty when none was chosen.
    using FileChooser = std::function<QString(QWidget* owner)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    void browse();
    // The unique-words box was clicked (its new state is already shown).
    void uniqueWordsClicked();
    // OK: the checks and questions, then the three stages.
    MaintenanceOutcome makeDictionary();

    QLineEdit* fileNameEdit() const { return m_fileName; }
    QLineEdit* dictionaryNameEdit() const { return m_dictionaryName; }
    QCheckBox* uniqueWordsBox() const { return m_uniqueWords; }
    QPushButton* okButton() const { return m_ok; }
    // What the last list read came to (hidden until a list has been read to its end).
    QLabel* reportLabel() const { return m_report; }

signals:
    // A dictionary was made and listed.
    void dictionaryMade();

private:
    SearchPanel* m_panel;
    HelpId m_helpId;
    QLineEdit* m_fileName;
    QLineEdit* m_dictionaryName;
    QCheckBox* m_uniqueWords;
    QLabel* m_report;
    QPushButton* m_ok;
    FileChooser m_chooseFile;
};

// The reminder that checking words for uniqueness takes much longer. Its box "Do Not Show this
// Message Again" writes its state to the ini at every click.
class ReminderBox final : public QDialog {
    Q_OBJECT
public:
    // Keeps "do not show again" in the ini file of `settings`.
    ReminderBox(const Settings& settings, QWidget* parent);
    // Whether the user still wants the reminder (the ini key is not 1).
    static bool wanted(const Settings& settings);
    QCheckBox* doNotShowBox() const { return m_doNotShow; }

private:
    QCheckBox* m_doNotShow;
};

}  // namespace zantric::gui
