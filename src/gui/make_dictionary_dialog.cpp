#include "gui/make_dictionary_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/letter_fold.h"
#include "core/shell/ini_names.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "gui/dialog_parts.h"
#include "gui/search_panel.h"

namespace zantric::gui {

namespace {

// A count as the user's locale writes it (165,565,704).
std::string groupedCount(std::uint64_t count) {
    return QLocale().toString(static_cast<qulonglong>(count)).toStdString();
}

QString chooseWordList(QWidget* owner) {
    return QFileDialog::getOpenFileName(
        owner, QString(), QString(), MakeDictionaryDialog::tr("All Files (*);;Text Files (*.txt)"));
}

}  // namespace

QStringList reportLines(const WordListReport& report) {
    QStringList lines;
    if (report.readToEnd) {
        for (const std::string& line : describeReport(report, groupedCount))
            lines << QString::fromStdString(line);
    }
    return lines;
}

MakeDictionaryDialog::MakeDictionaryDialog(SearchPanel* panel)
    : QDialog(panel),
      m_panel(panel),
      m_helpId(HelpContext::kMakeDictionary),
      m_chooseFile(chooseWordList) {
    setWindowTitle(tr("Make Dictionary From File"));
    m_fileName = new QLineEdit(this);
    m_fileName->setMaxLength(kFileNameLimit);
    m_fileName->setMinimumWidth(fontMetrics().averageCharWidth() * 44);
    m_dictionaryName = new QLineEdit(this);
    m_dictionaryName->setMaxLength(kDictionaryNameLimit);
    m_dictionaryName->setValidator(dictionaryNameValidator(m_dictionaryName));
    useWindowFont(panel, {m_fileName, m_dictionaryName});
    QPushButton* browseButton = makeButton(this, tr("&Browse"));
    m_uniqueWords = new QCheckBox(tr("&Add Unique Words Only"), this);
    m_report = new QLabel(this);
    m_report->setTextFormat(Qt::PlainText);
    m_report->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_report->setWordWrap(true);
    m_report->setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    m_report->hide();
    m_ok = makeButton(this, tr("&OK"));
    m_ok->setDefault(true);
    QPushButton* close = makeButton(this, tr("&Close"));

    connect(browseButton, &QPushButton::clicked, this, &MakeDictionaryDialog::browse);
    connect(m_uniqueWords, &QCheckBox::clicked, this, &MakeDictionaryDialog::uniqueWordsClicked);
    connect(m_ok, &QPushButton::clicked, this, [this] { makeDictionary(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(buddyLabel(this, tr("&Filename"), m_fileName), 0, 0);
    fields->addWidget(m_fileName, 0, 1);
    fields->addWidget(browseButton, 0, 2);
    fields->addWidget(buddyLabel(this, tr("&Dictionary Name"), m_dictionaryName), 1, 0);
    fields->addWidget(m_dictionaryName, 1, 1);
    fields->addWidget(m_uniqueWords, 2, 1);
    fields->addWidget(m_report, 3, 0, 1, 3);
    layOutDialog(this, fields, {m_ok, close});
}

void MakeDictionaryDialog::browse() {
    const QString chosen = m_chooseFile(this);
    if (chosen.isEmpty()) return;
    m_fileName->setText(QDir::toNativeSeparators(chosen));
    // The end of the path, the file's own name, is what must show.
    m_fileName->setCursorPosition(static_cast<int>(m_fileName->text().size()));
    m_dictionaryName->setFocus(Qt::OtherFocusReason);
}

void MakeDictionaryDialog::uniqueWordsClicked() {
    if (!m_uniqueWords->isChecked()) return;
    if (!uniqueWordsPossible(m_panel->workspace())) {
        m_uniqueWords->setChecked(false);
        return;
    }
    if (ReminderBox::wanted(m_panel->workspace().settings)) {
        ReminderBox reminder(m_panel->workspace().settings, this);
        reminder.exec();
    }
}

MaintenanceOutcome MakeDictionaryDialog::makeDictionary() {
    if (m_panel != nullptr) m_panel->setStatusText(kStrStatusBlank);
    WordListReport report;
    // The list's language follows its name, as on the command line (french folds its accents).
    const std::filesystem::path list = toPath(m_fileName->text());
    const MaintenanceOutcome outcome =
        zantric::makeDictionary(m_panel->workspace(), list, m_dictionaryName->text().toStdString(),
                                m_uniqueWords->isChecked(), progressRunner(this), nullptr, &report,
                                languageOfWordList(list));
    const QStringList told = reportLines(report);
    m_report->setText(told.join(QLatin1Char('\n')));
    m_report->setVisible(!told.isEmpty());
    if (outcome == MaintenanceOutcome::kDone) {
        if (m_panel != nullptr) m_panel->setStatusText(kStrDictionaryCreated);
        emit dictionaryMade();
    }
    return outcome;
}

ReminderBox::ReminderBox(const Settings& settings, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Information"));
    auto* text =
        new QLabel(tr("Checking words against selected dictionaries will significantly increase "
                      "the time it takes to create your new dictionary."),
                   this);
    text->setWordWrap(true);
    text->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    m_doNotShow = new QCheckBox(tr("&Do Not Show this Message Again"), this);
    connect(m_doNotShow, &QCheckBox::clicked, this, [&settings](bool ticked) {
        settings.writeString(ini::kRemindersSection, ini::kUniqueWarning, ticked ? "1" : "0");
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_doNotShow);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool ReminderBox::wanted(const Settings& settings) {
    return settings.readInt(ini::kRemindersSection, ini::kUniqueWarning, 0) != 1;
}

}  // namespace zantric::gui
