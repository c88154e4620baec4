#include "gui/results_file_commands.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

#include "core/results/results_files.h"
#include "core/results/results_store.h"
#include "core/shell/ini_names.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "gui/dialog_parts.h"
#include "gui/progress_dialog.h"
#include "gui/qt_message_presenter.h"
#include "gui/results_list.h"
#include "gui/search_form.h"
#include "gui/search_panel.h"

namespace zantric::gui {

namespace {

// Where Save As and View open: the folder of the results file last chosen (kept in the ini),
// else the documents folder, else the home folder.
QString startFolder(const Settings& settings) {
    QString last = QString::fromStdString(
        settings.readString(ini::kResultsFilesSection, ini::kLastFolder, ""));
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberFolder(const Settings& settings, const QString& chosenFile) {
    // In quotes, which the reader takes off, so that blanks at either end stay. A line break
    // would end the ini line: such a folder is not kept.
    const QString folder = QFileInfo(chosenFile).absolutePath();
    if (folder.contains(QLatin1Char('\n')) || folder.contains(QLatin1Char('\r'))) return;
    settings.writeString(ini::kResultsFilesSection, ini::kLastFolder,
                         '"' + folder.toStdString() + '"');
}

}  // namespace

bool ResultsFileCommands::saveAs(const SearchSummary& shown) {
    // In the order of SaveAsType.
    const QStringList types = {tr("Zantric Files (*.ztr)"), tr("Text Files (*.txt)"),
                               tr("ASCII Files (*.asc)"), tr("All Files (*)")};
    QString chosenType = types.first();
    // The program asks its own overwrite (or append) question.
    const QString name = QFileDialog::getSaveFileName(
        m_panel, tr("Save Zantric Results"), startFolder(m_panel->workspace().settings),
        types.join(QStringLiteral(";;")), &chosenType, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return false;
    rememberFolder(m_panel->workspace().settings, name);
    saveTo(name, std::max<int>(0, static_cast<int>(types.indexOf(chosenType))), shown);
    return true;
}

void ResultsFileCommands::saveTo(const QString& name, int type, const SearchSummary& shown) {
    // Copies and the text export run here, block by block, behind the progress dialog.
    const WorkRunner runner = [this](CallingThreadWork& work) {
        ProgressDialog dialog(m_panel, work);
        work.setAfterBlock(dialog.afterBlockHook());
        return dialog.run();
    };
    const SaveAsOutcome outcome =
        saveResultsAs(m_panel->workspace().prompter, m_panel->workspace().settings, m_results,
                      shown, toPath(name), static_cast<SaveAsType>(type), runner);
    if (outcome == SaveAsOutcome::kSavedPair) m_form->list()->relayout();
    if (outcome == SaveAsOutcome::kSavedPair || outcome == SaveAsOutcome::kExported) {
        m_panel->resultsSaved();
    }
}

bool ResultsFileCommands::view() {
    const QString name = QFileDialog::getOpenFileName(m_panel, tr("Open Results"),
                                                      startFolder(m_panel->workspace().settings),
                                                      tr("Zantric Files (*.ztr)"));
    if (name.isEmpty()) return false;
    rememberFolder(m_panel->workspace().settings, name);
    open(name);
    return true;
}

void ResultsFileCommands::open(const QString& name) {
    if (m_results.openSaved(toPath(name))) {
        // The window shows the search that made the results.
        const ResultsHeader& header = m_results.header();
        m_form->showFields(header.fields);
        m_panel->showTotals(header.found, header.checked, header.filters.any());
    }
    m_form->list()->goToFirstRow();
}

void ResultsFileCommands::deleteShown() {
    // Asked as every deletion is asked, with No as the default button; the files are named as
    // a shell names them.
    const auto shown = [](const std::filesystem::path& name) {
        return QDir::cleanPath(QDir::current().absoluteFilePath(fromPath(name))).toStdString();
    };
    const std::string question = loadString(kStrDeleteResultsQuestion) + '\n' +
                                 shown(m_results.dataName()) + '\n' + shown(m_results.indexName()) +
                                 loadString(kStrDeleteQuestionEnd);
    if (m_panel->workspace().prompter.ask({question, loadString(kStrConfirmTitle),
                                           MessageKind::kPlain, Buttons::kYesNoDefaultNo}) !=
        Answer::kYes) {
        return;
    }
    // A file that cannot be deleted has been reported; the window then stays as it is.
    if (m_results.deleteCurrent()) {
        m_panel->clearAll();
    } else {
        m_form->list()->relayout();
    }
}

}  // namespace zantric::gui
