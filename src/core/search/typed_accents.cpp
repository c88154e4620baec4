#include "core/search/typed_accents.h"

#include <string>
#include <utility>

#include "core/dictionary/dictionary_language.h"

namespace zantric {

Language typingLanguage(const Catalogue& catalogue) {
    for (const CatalogueEntry& entry : catalogue.entries()) {
        if (!entry.selected()) continue;
        if (const Language language = dictionaryLanguage(entry.filePath()); foldsLetters(language))
            return language;
    }
    return Language::kEnglish;
}

void foldTypedFields(SearchFields& fields, Language language) {
    if (!foldsLetters(language)) return;
    for (std::string* field : {&fields.find, &fields.from, &fields.include, &fields.exclude}) {
        std::string folded(field->size() + 1, '\0');
        const int length = foldLetters(language, *field, folded.data());
        if (length < 0) continue;
        folded.resize(static_cast<std::size_t>(length));
        *field = std::move(folded);
    }
}

Spellings selectedSpellings(const Catalogue& catalogue) {
    Spellings spellings;
    int joined = 0;
    for (const CatalogueEntry& entry : catalogue.entries()) {
        if (!entry.selected()) continue;
        Spellings more = dictionarySpellings(entry.filePath());
        if (more.count() == 0) continue;
        // One dictionary's spellings are in order already; only a join needs sorting.
        if (joined++ == 0) {
            spellings = std::move(more);
        } else {
            spellings.addAll(more);
        }
    }
    if (joined > 1) spellings.finish();
    return spellings;
}

}  // namespace zantric
