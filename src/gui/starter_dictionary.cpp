#include "gui/starter_dictionary.h"

#include "core/dictionary/catalogue.h"
#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "gui/dialog_parts.h"

namespace zantric::gui {

namespace {

constexpr int kQuestionIcon = 0x20;

}  // namespace

StarterOutcome offerStarterDictionary(QWidget* parent, const std::string& wordList) {
    if (wordList.empty() || Catalogue::instance().count() != 0) {
        return StarterOutcome::kNotOffered;
    }
    const std::string question =
        loadString(kStrStarterOffer) + wordList + loadString(kStrStarterOfferEnd);
    if (messageBoxText(question, loadString(kStrStarterOfferTitle), kMbYesNo | kQuestionIcon,
                       parent) != kIdYes) {
        return StarterOutcome::kDeclined;
    }
    return makeStarterDictionary(wordList, progressRunner(parent)) == MaintenanceOutcome::kDone
               ? StarterOutcome::kMade
               : StarterOutcome::kFailed;
}

}  // namespace zantric::gui
