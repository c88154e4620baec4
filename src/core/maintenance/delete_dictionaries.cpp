#include "core/maintenance/delete_dictionaries.h"

#include "core/dictionary/catalogue.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {
namespace {

std::string rowName(const std::string& row, std::size_t skip) {
    return skip < row.size() ? row.substr(skip) : std::string();
}

}  // namespace

MaintenanceOutcome deleteHighlighted(Workspace workspace, const std::vector<std::string>& rows,
                                     std::size_t skip) {
    Prompter& prompter = workspace.prompter;
    if (rows.empty()) {
        prompter.ask(
            Message::fromIds(kStrNothingHighlighted, kStrIncompleteTitle, MessageKind::kPlain));
        return MaintenanceOutcome::kStopped;
    }
    std::string question = loadString(kStrDeleteQuestion);
    for (const std::string& row : rows) {
        question += '\n';
        question += rowName(row, skip);
    }
    question += loadString(kStrDeleteQuestionEnd);
    if (prompter.ask({question, loadString(kStrConfirmTitle), MessageKind::kPlain,
                      Buttons::kYesNoDefaultNo}) != Answer::kYes) {
        return MaintenanceOutcome::kStopped;
    }

    Catalogue& catalogue = workspace.catalogue;
    const std::filesystem::path& folder = workspace.settings.dictionariesFolder();
    std::string report = loadString(kStrUnableToDeleteDictionaries);
    bool failed = false;
    for (const std::string& row : rows) {
        const std::string name = rowName(row, skip);
        const std::filesystem::path path = folder / name;
        if (catalogue.find(path) == nullptr || !catalogue.deleteDictionary(path).report(prompter)) {
            failed = true;
            report += "\n" + name;
        }
    }
    if (failed) {
        prompter.tell({report, loadString(kStrFileErrorTitle), MessageKind::kPlain});
        return MaintenanceOutcome::kFailed;
    }
    return MaintenanceOutcome::kDone;
}

}  // namespace zantric
