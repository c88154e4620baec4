#include "gui/word_dialog.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_format.h"
#include "core/shell/messages.h"
#include "gui/dialog_parts.h"
#include "gui/qt_message_presenter.h"
#include "gui/search_panel.h"

namespace zantric::gui {

namespace {

// The word field takes no more than twenty letters and one hyphen. Any other character is
// taken, and OK names the rule it breaks; a '*' of a word to remove stands for no letter.
class WordLengthValidator final : public QValidator {
public:
    WordLengthValidator(bool wildcards, QObject* parent)
        : QValidator(parent), m_wildcards(wildcards) {}
    State validate(QString& input, int&) const override {
        const auto hyphens = input.count(QLatin1Char('-'));
        const auto stars = m_wildcards ? input.count(QLatin1Char('*')) : 0;
        return hyphens <= 1 && input.size() - hyphens - stars <= kMaxWordLetters ? Acceptable
                                                                                 : Invalid;
    }

private:
    bool m_wildcards;
};

}  // namespace

WordDialog::WordDialog(SearchPanel* panel, UpdateMode mode)
    : QDialog(panel),
      m_panel(panel),
      m_helpId(mode == UpdateMode::kAdd ? HelpContext::kAddWord : HelpContext::kRemoveWord) {
    m_update = std::make_unique<zantric::WordChange>(panel->workspace(), mode, progressRunner(this),
                                                     [this](int textId) {
                                                         if (m_panel != nullptr)
                                                             m_panel->setStatusText(textId);
                                                     });
    setWindowTitle(QString::fromStdString(m_update->caption()));
    m_word = new QLineEdit(this);
    m_word->setValidator(new WordLengthValidator(mode == UpdateMode::kRemove, m_word));
    m_dictionary = new QComboBox(this);
    m_dictionary->setEditable(true);
    m_dictionary->setInsertPolicy(QComboBox::NoInsert);
    m_dictionary->setCompleter(nullptr);
    m_dictionary->lineEdit()->setMaxLength(kDictionaryTextLimit);
    // The keys typed into the field reach the combo box (it hands them to its edit field).
    m_dictionary->installEventFilter(this);
    m_dictionary->setMinimumContentsLength(24);
    useWindowFont(panel, {m_word, m_dictionary});
    m_ok = makeButton(this, QString::fromStdString(m_update->okButtonText()));
    m_ok->setDefault(true);
    m_find = makeButton(this, tr("&Find"));
    QPushButton* close = makeButton(this, tr("&Close"));
    connect(m_ok, &QPushButton::clicked, this, [this] { ok(); });
    connect(m_find, &QPushButton::clicked, this, &WordDialog::find);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(buddyLabel(this, tr("&Enter Word "), m_word), 0, 0);
    fields->addWidget(m_word, 0, 1);
    fields->addWidget(buddyLabel(this, tr("&Select Dictionary"), m_dictionary), 1, 0);
    fields->addWidget(m_dictionary, 1, 1);
    layOutDialog(this, fields, {m_ok, m_find, close});
    fillCombo();
    m_dictionary->setCurrentIndex(-1);
    m_dictionary->setEditText(QString());
    m_word->setFocus(Qt::OtherFocusReason);
}

WordDialog::~WordDialog() = default;

void WordDialog::fillCombo() {
    const QString typed = m_dictionary->currentText();
    const QString remembered =
        typed.isEmpty() ? QString()
                        : QString::fromStdString(dictionaryFileName(typed.toStdString()));
    m_dictionary->clear();
    int chosen = -1;
    for (const std::string& name :
         zantric::WordChange::dictionaryNames(m_panel->workspace().catalogue)) {
        const QString row = QString::fromStdString(name);
        if (chosen < 0 && !remembered.isEmpty() && row.startsWith(remembered)) {
            chosen = m_dictionary->count();
        }
        m_dictionary->addItem(row);
    }
    m_dictionary->setCurrentIndex(chosen);
    // A name that is not (or no longer) in the list stays as typed.
    if (chosen < 0) m_dictionary->setEditText(typed);
}

void WordDialog::find() { m_update->find(m_word->text().toStdString()); }

UpdateOutcome WordDialog::ok() {
    const UpdateOutcome outcome =
        m_update->ok(m_word->text().toStdString(), m_dictionary->currentText().toStdString());
    switch (outcome) {
        case UpdateOutcome::kWordRejected:
            m_word->setFocus(Qt::OtherFocusReason);
            break;
        case UpdateOutcome::kDictionaryUnknown:
            m_dictionary->setFocus(Qt::OtherFocusReason);
            m_dictionary->showPopup();
            break;
        case UpdateOutcome::kDone:
        case UpdateOutcome::kNotChanged:
        case UpdateOutcome::kCancelled:
        case UpdateOutcome::kFailed:
            // The change ran: a dictionary may have been made or deleted.
            fillCombo();
            emit dictionariesChanged();
            if (outcome == UpdateOutcome::kDone) {
                // Ready for the next word.
                m_word->selectAll();
                m_word->setFocus(Qt::OtherFocusReason);
            }
            break;
        case UpdateOutcome::kRefused:
        case UpdateOutcome::kStopped:
        case UpdateOutcome::kDeclined:
            break;
    }
    return outcome;
}

bool WordDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_dictionary && event->type() == QEvent::KeyPress) {
        // A dictionary name: letters, digits, space, underscore, hyphen and braces; keys that
        // type nothing (backspace, arrows, Enter) pass.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() == 1 && text[0].isPrint() &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            const QChar c = text[0];
            if (c.unicode() > 0x7F || !dictionaryNameKeyAllowed(static_cast<char>(c.unicode()))) {
                m_panel->workspace().prompter.beep();
                return true;
            }
        }
        return false;
    }
    if (watched == m_dictionary && event->type() == QEvent::FocusIn) {
        // The list drops down when the field is entered.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::ShortcutFocusReason || reason == Qt::MouseFocusReason) {
            QTimer::singleShot(0, m_dictionary, [this] {
                if (m_dictionary->hasFocus() && m_dictionary->count() > 0) {
                    m_dictionary->showPopup();
                }
            });
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zantric::gui
