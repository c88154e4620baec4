#include "gui/search_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/search/field_history.h"
#include "core/search/search_request.h"
#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "gui/font_setting.h"
#include "gui/qt_message_presenter.h"
#include "gui/results_list.h"

namespace zantric::gui {

namespace {

constexpr SearchField kFields[4] = {SearchField::kFind, SearchField::kFrom, SearchField::kInclude,
                                    SearchField::kExclude};
const char* const kFieldNames[4] = {"find", "from", "include", "exclude"};
// What each field takes, said when it refuses a key.
const char* const kKeyHints[4] = {
    QT_TRANSLATE_NOOP("zantric::gui::SearchForm",
                      "FIND takes only the letters a–z, ?, *, !, digits and spaces"),
    QT_TRANSLATE_NOOP("zantric::gui::SearchForm", "FROM takes only the letters a–z, ? and spaces"),
    QT_TRANSLATE_NOOP("zantric::gui::SearchForm", "INCLUDE takes only the letters a–z and -"),
    QT_TRANSLATE_NOOP("zantric::gui::SearchForm", "EXCLUDE takes only the letters a–z and -")};
// Alt+F is the File menu's, as in every Linux program.
const char* const kFieldLabels[4] = {QT_TRANSLATE_NOOP("zantric::gui::SearchForm", "Fi&nd"),
                                     QT_TRANSLATE_NOOP("zantric::gui::SearchForm", "F&rom"),
                                     QT_TRANSLATE_NOOP("zantric::gui::SearchForm", "&Include"),
                                     QT_TRANSLATE_NOOP("zantric::gui::SearchForm", "E&xclude")};

std::string text(const QComboBox* box) { return box->currentText().toStdString(); }

bool isEnter(const QKeyEvent* event) {
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

}  // namespace

SearchForm::SearchForm(SearchRequest& request, ResultsStore& results, const SearchRun& run,
                       QWidget* parent)
    : QWidget(parent), m_request(request) {
    // Made in this order, which is also the order of the Tab key.
    QGridLayout* fields = buildFields();
    m_list = new ResultsListView(request.workspace(), results, run, this);
    QGroupBox* options = buildOptions();
    m_font = new FontSetting(request.workspace().settings, this);
    connect(m_font, &FontSetting::chosen, this, [this](const QFont& font) {
        applyFont(font);
        m_list->setFocus();
        m_list->goToFirstRow();
    });
    m_start = new QPushButton(tr("&Start"), this);
    m_start->setObjectName(QStringLiteral("start"));
    m_start->setDefault(true);
    m_cancel = new QPushButton(tr("&Cancel"), this);
    m_cancel->setAutoDefault(true);  // Enter on the focused Cancel presses Cancel
    m_cancel->setObjectName(QStringLiteral("cancel"));
    connect(m_start, &QPushButton::clicked, this, &SearchForm::startRequested);
    connect(m_cancel, &QPushButton::clicked, this, &SearchForm::cancelRequested);

    // The option and font boxes keep to the bottom-left corner, Start and Cancel to the
    // bottom-right; the list takes every change of size.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(options, 0, Qt::AlignBottom);
    bottom->addWidget(m_font, 0, Qt::AlignBottom);
    bottom->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_start);
    buttons->addWidget(m_cancel);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_list, 1);
    layout->addLayout(bottom);
}

QGridLayout* SearchForm::buildFields() {
    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* box = new QComboBox(this);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);  // a pattern must stay exactly as typed
        box->setMaxCount(static_cast<int>(FieldHistory::kMaxEntries));
        box->lineEdit()->setMaxLength(static_cast<int>(maxFieldLength(kFields[i])));
        // The combo box holds the focus and receives the keys, which it hands to its edit
        // field directly: the keystroke rules sit on the combo box.
        box->installEventFilter(this);
        box->setObjectName(QString::fromLatin1(kFieldNames[i]));
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        box->setMinimumContentsLength(i == 0 || i == 1 ? 12 : 8);
        m_fields[i] = box;
        m_fieldLabels[i] = new QLabel(tr(kFieldLabels[i]), this);
        m_fieldLabels[i]->setBuddy(box);
        const int row = i / 2, column = (i % 2) * 2;
        grid->addWidget(m_fieldLabels[i], row, column);
        grid->addWidget(box, row, column + 1);
    }
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 3);
    connect(m_fields[0], &QComboBox::editTextChanged, this, [this] { updateForPattern(); });
    connect(m_fields[2], &QComboBox::editTextChanged, this,
            [this](const QString& t) { m_request.setInclude(t.toStdString()); });
    connect(m_fields[3], &QComboBox::editTextChanged, this,
            [this](const QString& t) { m_request.setExclude(t.toStdString()); });
    return grid;
}

QGroupBox* SearchForm::buildOptions() {
    auto* options = new QGroupBox(this);
    m_useAll = new QCheckBox(tr("&Use All FROM Letters"), options);
    m_useAll->setObjectName(QStringLiteral("useAll"));
    m_suppress = new QCheckBox(tr("Su&ppress Permutations"), options);
    m_suppress->setObjectName(QStringLiteral("suppress"));
    // Alt+U and Alt+P turn the option at once: a button's own shortcut shows the press for
    // 100 ms and only then changes the check, so Enter within that time searched without the
    // change (and the search, disabling the box, lost it).
    m_useAll->installEventFilter(this);
    m_suppress->installEventFilter(this);
    // Its state is the Options menu's Best First; the search panel binds the two.
    m_bestFirst = new QCheckBox(tr("Bes&t first"), options);
    m_bestFirst->setObjectName(QStringLiteral("bestFirst"));
    m_bestFirst->installEventFilter(this);
    auto* optionsLayout = new QGridLayout(options);
    optionsLayout->addWidget(m_useAll, 0, 0, 1, 2);
    optionsLayout->addWidget(m_suppress, 1, 0);
    optionsLayout->addWidget(m_bestFirst, 1, 1);
    connect(m_useAll, &QCheckBox::clicked, this,
            [this](bool on) { m_request.setUseAllFromLetters(on); });
    connect(m_suppress, &QCheckBox::clicked, this,
            [this](bool on) { m_request.setSuppressPermutations(on); });
    return options;
}

SearchFields SearchForm::fields() const {
    SearchFields f;
    f.find = text(m_fields[0]);
    f.from = text(m_fields[1]);
    f.include = text(m_fields[2]);
    f.exclude = text(m_fields[3]);
    f.useAllFromLetters = m_useAll->isChecked();
    f.suppressPermutations = m_suppress->isChecked();
    return f;
}

void SearchForm::showFields(const SearchFields& f) {
    const std::string* texts[4] = {&f.find, &f.from, &f.include, &f.exclude};
    for (int i = 0; i < 4; ++i) m_fields[i]->setEditText(QString::fromStdString(*texts[i]));
    m_useAll->setChecked(f.useAllFromLetters);
    m_request.setUseAllFromLetters(f.useAllFromLetters);
    m_suppress->setChecked(f.suppressPermutations);
    m_request.setSuppressPermutations(f.suppressPermutations);
}

void SearchForm::clearFields() {
    m_fields[0]->setFocus();
    const int star = m_fields[0]->findText(QStringLiteral("*"));
    if (star >= 0) m_fields[0]->setCurrentIndex(star);
    m_fields[0]->setEditText(QStringLiteral("*"));
    for (int i = 1; i < 4; ++i) m_fields[i]->setEditText(QString());
    m_useAll->setChecked(true);
    m_request.setUseAllFromLetters(true);
}

void SearchForm::fillHistory(SearchField which, const SearchHistories& histories) {
    QComboBox* box = field(which);
    const FieldHistory* history[4] = {&histories.find, &histories.from, &histories.include,
                                      &histories.exclude};
    const QString current = box->currentText();
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& entry : history[static_cast<int>(which)]->entries()) {
        box->addItem(QString::fromStdString(entry));
    }
    const int index = box->findText(current, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(index);
    box->setEditText(current);
}

void SearchForm::showHistories(const SearchHistories& histories) {
    for (SearchField which : kFields) fillHistory(which, histories);
}

void SearchForm::updateForPattern() {
    const bool multiWord = m_request.updateMultiWord(text(m_fields[0]));
    m_suppress->setEnabled(multiWord && !m_searching);
    for (int i = 2; i < 4; ++i) {
        m_fields[i]->setEnabled(!multiWord && !m_searching);
        m_fieldLabels[i]->setEnabled(!multiWord);
    }
}

void SearchForm::setSearching(bool searching) {
    if (searching && !m_searching) {
        // Disabling the focused field would hand the focus on to the Font group, where Space
        // turns the list bold: the form takes it first.
        QWidget* focused = window()->focusWidget();
        m_focusBeforeSearch = focused != nullptr && isAncestorOf(focused) ? focused : nullptr;
        setFocus(Qt::OtherFocusReason);
    }
    const bool ended = m_searching && !searching;
    m_searching = searching;
    setControlsEnabled(!searching);
    if (searching) return;
    updateForPattern();
    if (!ended) return;
    QWidget* back = m_focusBeforeSearch;
    if (back == nullptr || !back->isEnabled()) back = m_list;
    back->setFocus(Qt::OtherFocusReason);
}

void SearchForm::setControlsEnabled(bool enabled) {
    m_list->setEnabled(enabled);
    for (QComboBox* box : m_fields) box->setEnabled(enabled);
    m_useAll->setEnabled(enabled);
    m_suppress->setEnabled(enabled);
    m_bestFirst->setEnabled(enabled);
    m_start->setEnabled(enabled);
}

// --- Font -------------------------------------------------------------------------------------

void SearchForm::restoreFont() {
    if (const std::optional<QFont> stored = m_font->restore(m_list->font())) applyFont(*stored);
}

QFont SearchForm::currentFont() const { return m_font->current(); }

void SearchForm::applyFont(const QFont& font) {
    for (QComboBox* box : m_fields) box->setFont(font);
    m_list->setFont(font);  // the list lays itself out again for the new font
}

// --- Keys -------------------------------------------------------------------------------------

bool SearchForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_useAll || watched == m_suppress || watched == m_bestFirst) &&
        event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
        static_cast<QCheckBox*>(watched)->click();  // the focus stays where the user types
        return true;
    }
    for (int i = 0; i < 4; ++i) {
        if (m_fields[i] == nullptr) break;  // still being built
        if (watched != m_fields[i]) continue;
        if (event->type() == QEvent::KeyPress) {
            return filterKey(kFields[i], static_cast<QKeyEvent*>(event));
        }
        if (event->type() == QEvent::FocusIn && i > 0) {
            // Leaving FIND for another search field checks FIND, once the focus has moved.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason) {
                QTimer::singleShot(0, this, [this] { m_request.setFind(text(m_fields[0])); });
            }
        }
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

void SearchForm::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took (on an option, in the list) presses the default button.
    if (isEnter(event)) {
        emit startRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool SearchForm::filterKey(SearchField which, QKeyEvent* event) {
    if (isEnter(event)) {
        // Start is the default button: Enter in a field starts the search. (An open list
        // takes its keys itself.)
        emit startRequested();
        return true;
    }
    const QString typed = event->text();
    if (typed.size() != 1 || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        return false;
    }
    const QChar ch = typed.at(0);
    if (ch.unicode() < 0x20 || ch.unicode() == 0x7f) return false;  // backspace and the like
    const char c = ch.unicode() < 0x80 ? translateTypedChar(static_cast<char>(ch.unicode())) : 0;
    if (c == 0 || !acceptsTypedChar(which, c)) {
        m_request.workspace().prompter.beep();
        emit keyRefused(tr(kKeyHints[static_cast<int>(which)]));
        return true;
    }
    if (c != static_cast<char>(ch.unicode())) {  // "/" typed: "?" goes in
        field(which)->lineEdit()->insert(QString(QLatin1Char(c)));
        return true;
    }
    return false;
}

}  // namespace zantric::gui
