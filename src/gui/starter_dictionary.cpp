#include "gui/starter_dictionary.h"

#include "core/dictionary/catalogue.h"
#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "gui/dialog_parts.h"
#include "gui/make_dictionary_dialog.h"
#include "gui/qt_message_presenter.h"

namespace zantric::gui {

namespace {}  // namespace

StarterOutcome offerStarterDictionary(Workspace workspace, QWidget* parent,
                                      const std::filesystem::path& wordList, QString* told) {
    if (wordList.empty() || workspace.catalogue.count() != 0) {
        return StarterOutcome::kNotOffered;
    }
    const std::string question =
        loadString(kStrStarterOffer) + wordList.string() + loadString(kStrStarterOfferEnd);
    if (workspace.prompter.ask({question, loadString(kStrStarterOfferTitle), MessageKind::kQuestion,
                                Buttons::kYesNo}) != Answer::kYes) {
        return StarterOutcome::kDeclined;
    }
    WordListReport report;
    const MaintenanceOutcome outcome =
        makeStarterDictionary(workspace, wordList, progressRunner(parent), &report);
    if (told != nullptr) *told = reportLines(report).value(0);
    return outcome == MaintenanceOutcome::kDone ? StarterOutcome::kMade : StarterOutcome::kFailed;
}

}  // namespace zantric::gui
