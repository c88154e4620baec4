#include "gui/starter_dictionary.h"

#include "core/dictionary/catalogue.h"
#include "core/shell/messages.h"
#include "core/shell/string_table.h"
#include "gui/dialog_parts.h"

namespace zantric::gui {

namespace {

constexpr int kOfferTitle = 950;
constexpr int kOfferText = 951;
constexpr int kOfferTextEnd = 952;
constexpr int kQuestionIcon = 0x20;

}  // namespace

StarterOutcome offerStarterDictionary(QWidget* parent, const std::string& wordList) {
    if (wordList.empty() || Catalogue::instance().count() != 0) {
        return StarterOutcome::kNotOffered;
    }
    const std::string question = loadString(kOfferText) + wordList + loadString(kOfferTextEnd);
    if (messageBoxText(question, loadString(kOfferTitle), kMbYesNo | kQuestionIcon, parent) !=
        kIdYes) {
        return StarterOutcome::kDeclined;
    }
    return makeStarterDictionary(wordList, progressRunner(parent)) == MaintenanceOutcome::kDone
               ? StarterOutcome::kMade
               : StarterOutcome::kFailed;
}

}  // namespace zantric::gui
