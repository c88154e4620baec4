// PhraseOptionsDialog: Options › Phrase Options…, the filters of phrase searches: the minimum
// word length, each word once, whether to use the stoplist, the commonness level of the words
// ("Common words only", any search) and how many matches Best first lists, with Edit Stoplist…
// opening StoplistEditor, a plain list of the stoplist's words one a line. OK keeps the options in
// the ini; the stoplist editor writes stoplist.txt when it is closed with OK. GUI thread.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "core/search/phrase_filters.h"
#include "gui/help.h"

class QCheckBox;
class QPlainTextEdit;
class QSpinBox;

namespace zantric {
class Prompter;
}

namespace zantric::gui {

class PhraseOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    // The stoplist editor tells `prompter` what it cannot do.
    PhraseOptionsDialog(QWidget* parent, Prompter& prompter, const PhraseOptions& options);

    // The options as the dialog shows them.
    PhraseOptions options() const;

    QSpinBox* minWordLength() const { return m_minWordLength; }
    QCheckBox* eachWordOnce() const { return m_eachWordOnce; }
    QCheckBox* useStoplist() const { return m_useStoplist; }
    QSpinBox* common() const { return m_common; }
    QSpinBox* bestShown() const { return m_bestShown; }
    QPushButton* editStoplistButton() const { return m_editStoplist; }

signals:
    // The stoplist editor is open (tests answer it).
    void stoplistEditorOpened(QDialog* editor);

private:
    void editStoplist();

    HelpId m_help;
    Prompter& m_prompter;
    QSpinBox* m_minWordLength;
    QCheckBox* m_eachWordOnce;
    QCheckBox* m_useStoplist;
    QSpinBox* m_common;
    QSpinBox* m_bestShown;
    QPushButton* m_editStoplist;
};

// The stoplist's words, one a line, to edit as plain text. OK takes every line that is a word
// (the word rules of the make command) and adds the words added and removes those taken out to
// and from the file as it is then, leaving its other lines as they are; lines that are not words
// are named and the editor stays open. A stoplist file that exists but cannot be read is reported
// and shown read-only, so that its words are not replaced by an empty list.
class StoplistEditor final : public QDialog {
    Q_OBJECT
public:
    StoplistEditor(QWidget* parent, Prompter& prompter, std::string path);

    QPlainTextEdit* text() const { return m_text; }
    // OK: checks the lines and writes the file; false (the reason shown) when it did not.
    bool save();

private:
    Prompter& m_prompter;
    std::string m_path;
    std::vector<std::string> m_shown;  // the words the editor opened with
    QPlainTextEdit* m_text;
    bool m_readable = true;
};

}  // namespace zantric::gui
