#include "core/dictionary/dictionary_details.h"

#include <ctime>

#include "core/dictionary/dictionary_language.h"
#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {

namespace {}  // namespace

std::string fixedDateText(std::uint32_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char text[64];
    const std::size_t n = std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y", &local);
    return std::string(text, n);
}

std::string detailsTitle(const CatalogueEntry& entry) {
    return loadString(kStrInformationOn) + entry.displayName();
}

std::string detailsText(const CatalogueEntry& entry, const Prompter& prompter) {
    const DictionaryHeader& header = entry.header();
    std::string text = loadString(kStrCreated) + fixedDateText(header.created) + "\n";
    if (header.modified != 0)
        text += loadString(kStrModified) + fixedDateText(header.modified) + "\n";
    text +=
        loadString(kStrTotalWords) + prompter.countText(static_cast<long long>(header.wordCount));
    // A dictionary made in a language that folds accented letters names it.
    if (const Language language = dictionaryLanguage(entry.filePath()); foldsLetters(language))
        text += "\n" + loadString(kStrLanguageLine, languageCode(language));
    return text;
}

}  // namespace zantric
