#include "gui/results_file_commands.h"

#include <QDir>
#include <QFileDialog>
#include <algorithm>

#include "core/results/results_files.h"
#include "core/results/results_store.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "gui/command_ids.h"
#include "gui/progress_dialog.h"
#include "gui/results_list.h"
#include "gui/search_form.h"
#include "gui/search_panel.h"

namespace zantric::gui {

namespace {

// The files folder, where results are saved and looked for, as an absolute native path.
QString filesFolder() {
    return QDir(QString::fromStdString(nativePath(Settings::instance().filesFolder())))
        .absolutePath();
}

}  // namespace

bool ResultsFileCommands::saveAs(const SearchSummary& shown) {
    const QStringList types = {QStringLiteral("Zantric Files (*.ztr)"),
                               QStringLiteral("ASCII Files (*.asc)"),
                               QStringLiteral("All Files (*)")};
    QString chosenType = types.first();
    // The program asks its own overwrite (or append) question.
    const QString name = QFileDialog::getSaveFileName(
        m_panel, QString::fromLatin1(kSaveAsTitle), filesFolder(), types.join(QStringLiteral(";;")),
        &chosenType, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty()) return false;
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
    const SaveAsOutcome outcome = saveResultsAs(m_results, shown, name.toStdString(),
                                                static_cast<SaveAsType>(type), runner, m_panel);
    if (outcome == SaveAsOutcome::kSavedPair) m_form->list()->relayout();
    if (outcome == SaveAsOutcome::kSavedPair || outcome == SaveAsOutcome::kExported) {
        m_panel->resultsSaved();
    }
}

bool ResultsFileCommands::view() {
    const QString name = QFileDialog::getOpenFileName(m_panel, QString(), filesFolder(),
                                                      QStringLiteral("Zantric Files (*.ztr)"));
    if (name.isEmpty()) return false;
    open(name);
    return true;
}

void ResultsFileCommands::open(const QString& name) {
    if (m_results.openSaved(name.toStdString())) {
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
    const auto shown = [](const std::string& name) {
        return QDir::cleanPath(
                   QDir::current().absoluteFilePath(QString::fromStdString(nativePath(name))))
            .toStdString();
    };
    const std::string question = loadString(kStrDeleteResultsQuestion) + '\n' +
                                 shown(m_results.dataName()) + '\n' + shown(m_results.indexName()) +
                                 loadString(kStrDeleteQuestionEnd);
    if (messageBoxText(question, loadString(kStrConfirmTitle), kMbYesNo | kMbDefaultButton2,
                       m_panel) != kIdYes) {
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
