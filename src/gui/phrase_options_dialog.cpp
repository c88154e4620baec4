#include "gui/phrase_options_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cctype>
#include <unordered_set>

#include "core/search/stoplist.h"
#include "core/shell/common_level.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/sort/word_list_reader.h"
#include "gui/dialog_parts.h"
#include "gui/qt_message_presenter.h"

namespace zantric::gui {

namespace {
// Lines named in the message about lines that are not words.
constexpr int kLinesNamed = 5;
}  // namespace

PhraseOptionsDialog::PhraseOptionsDialog(QWidget* parent, Prompter& prompter,
                                         const PhraseOptions& options)
    : QDialog(parent), m_help(HelpContext::kPhraseOptions), m_prompter(prompter) {
    setWindowTitle(tr("Phrase Options"));
    m_minWordLength = new QSpinBox(this);
    m_minWordLength->setRange(1, kMaxMinWordLength);
    m_minWordLength->setSpecialValueText(tr("any"));
    m_minWordLength->setValue(options.minWordLength);
    m_eachWordOnce = new QCheckBox(tr("Each &word once in a phrase"), this);
    m_eachWordOnce->setChecked(options.eachWordOnce);
    m_useStoplist = new QCheckBox(tr("Use the &stoplist"), this);
    m_useStoplist->setChecked(options.useStoplist);
    m_editStoplist = makeButton(this, tr("&Edit Stoplist…"));
    connect(m_editStoplist, &QPushButton::clicked, this, &PhraseOptionsDialog::editStoplist);

    auto* fields = new QGridLayout;
    fields->addWidget(buddyLabel(this, tr("&Minimum word length"), m_minWordLength), 0, 0);
    fields->addWidget(m_minWordLength, 0, 1, Qt::AlignLeft);
    fields->addWidget(m_eachWordOnce, 1, 0, 1, 2);
    fields->addWidget(m_useStoplist, 2, 0);
    fields->addWidget(m_editStoplist, 2, 1, Qt::AlignLeft);
    m_common = new QSpinBox(this);
    m_common->setRange(0, kMostCommonLevel);
    m_common->setSpecialValueText(tr("any word"));
    m_common->setValue(options.common);
    m_common->setToolTip(
        tr("Only words at least this common: 1 any listed word, 10 the most "
           "common few thousand"));
    m_bestShown = new QSpinBox(this);
    m_bestShown->setRange(1, kMostBestShown);
    m_bestShown->setGroupSeparatorShown(true);
    m_bestShown->setValue(options.bestShown);
    fields->addWidget(buddyLabel(this, tr("Common wor&ds only"), m_common), 3, 0);
    fields->addWidget(m_common, 3, 1, Qt::AlignLeft);
    fields->addWidget(buddyLabel(this, tr("Best first &lists"), m_bestShown), 4, 0);
    fields->addWidget(m_bestShown, 4, 1, Qt::AlignLeft);
    QPushButton* ok = makeButton(this, tr("&OK"));
    ok->setDefault(true);
    QPushButton* cancel = makeButton(this, tr("&Cancel"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layOutDialog(this, fields, {ok, cancel});
}

PhraseOptions PhraseOptionsDialog::options() const {
    PhraseOptions options;
    options.minWordLength = m_minWordLength->value();
    options.eachWordOnce = m_eachWordOnce->isChecked();
    options.useStoplist = m_useStoplist->isChecked();
    options.common = m_common->value();
    options.bestShown = m_bestShown->value();
    return options;
}

void PhraseOptionsDialog::editStoplist() {
    StoplistEditor editor(this, m_prompter, kStoplistFileName);
    emit stoplistEditorOpened(&editor);
    editor.exec();
}

StoplistEditor::StoplistEditor(QWidget* parent, Prompter& prompter, std::string path)
    : QDialog(parent), m_prompter(prompter), m_path(std::move(path)) {
    setWindowTitle(tr("Stoplist"));
    m_text = new QPlainTextEdit(this);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setTabChangesFocus(true);
    m_shown = readStoplistWords(m_path, &m_readable);
    QString words;
    for (const std::string& word : m_shown) {
        words += QString::fromStdString(word) + QLatin1Char('\n');
    }
    m_text->setPlainText(words);
    auto* note =
        new QLabel(tr("Words that no search uses, one a line (CRT is taken as Crt):"), this);
    QPushButton* ok = makeButton(this, tr("&OK"));
    ok->setDefault(true);  // for Enter outside the text, which takes Enter as a new line
    QPushButton* cancel = makeButton(this, tr("&Cancel"));
    connect(ok, &QPushButton::clicked, this, [this] {
        if (save()) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* fields = new QGridLayout;
    fields->addWidget(note, 0, 0);
    fields->addWidget(m_text, 1, 0);
    m_text->setMinimumSize(note->sizeHint().width(), fontMetrics().height() * 12);
    layOutDialog(this, fields, {ok, cancel});
    if (!m_readable) {
        m_prompter.ask(
            {"Unable to Open File: " + shownPath(m_path), "File Error.", MessageKind::kError});
        m_text->setReadOnly(true);
        ok->setEnabled(false);
    }
}

bool StoplistEditor::save() {
    if (!m_readable) return false;
    std::vector<std::string> words;
    std::unordered_set<std::string> seen;
    QStringList refused;
    for (const QString& line : m_text->toPlainText().split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) continue;
        const std::string word = stoplistWord(trimmed.toStdString());
        if (word.empty()) {
            char judged[kWordRoom];
            const WordFault fault = judgeWordLine(trimmed.toStdString(), judged);
            refused << trimmed + QStringLiteral(" (") +
                           QString::fromStdString(wordFaultText(
                               fault == WordFault::kNone ? WordFault::kLength : fault)) +
                           QLatin1Char(')');
        } else if (seen.insert(word).second) {
            words.push_back(word);
        }
    }
    if (!refused.isEmpty()) {
        QStringList named = refused.mid(0, kLinesNamed);
        if (refused.size() > kLinesNamed) named << QStringLiteral("...");
        m_prompter.beep();
        m_prompter.ask({"These lines are not words:\n\n" +
                            named.join(QLatin1Char('\n')).toStdString() + "\n\n" +
                            loadString(kStrWordRule),
                        "Input Error", MessageKind::kError});
        return false;
    }
    // Only what was changed here goes to the file, merged with what another copy may have
    // changed since it was read.
    auto lower = [](std::string word) {
        for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return word;
    };
    std::unordered_set<std::string> shown;
    for (const std::string& word : m_shown) shown.insert(lower(word));
    std::unordered_set<std::string> kept;
    StoplistEdit edit;
    for (const std::string& word : words) {
        kept.insert(lower(word));
        if (!shown.contains(lower(word))) edit.add.push_back(word);
    }
    for (const std::string& word : m_shown) {
        if (!kept.contains(lower(word))) edit.remove.push_back(word);
    }
    const StoplistEditResult result = editStoplistFile(m_path, edit);
    if (result != StoplistEditResult::kDone) {
        m_prompter.ask({(result == StoplistEditResult::kUnreadable ? "Unable to Open File: "
                                                                   : "Unable to write file: ") +
                            shownPath(m_path),
                        "File Error.", MessageKind::kError});
        return false;
    }
    return true;
}

}  // namespace zantric::gui
