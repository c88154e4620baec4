#include "gui/starter_dictionary.h"

#include "core/dictionary/dictionary_names.h"
#include "core/maintenance/make_dictionary.h"
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
    DictionaryNames& catalogue = DictionaryNames::instance();
    if (wordList.empty() || catalogue.count() != 0) return StarterOutcome::kNotOffered;
    const std::string question = loadString(kOfferText) + wordList + loadString(kOfferTextEnd);
    if (messageBoxText(question, loadString(kOfferTitle), kMbYesNo | kQuestionIcon, parent) !=
        kIdYes) {
        return StarterOutcome::kDeclined;
    }
    const std::string name(kStarterDictionaryName);
    const MaintenanceOutcome outcome =
        makeDictionary(wordList, name, false, progressRunner(parent));
    if (outcome != MaintenanceOutcome::kDone) return StarterOutcome::kFailed;
    const std::string path = dictionaryPathFor(name);
    if (catalogue.find(path) == nullptr) return StarterOutcome::kFailed;
    catalogue.setSelected(path, true);
    catalogue.find(path)->writeHeader();  // another copy started now sees the selection
    return StarterOutcome::kMade;
}

}  // namespace zantric::gui
