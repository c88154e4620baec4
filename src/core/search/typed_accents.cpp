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
    for (const CatalogueEntry& entry : catalogue.entries()) {
        if (entry.selected()) spellings.addAll(dictionarySpellings(entry.filePath()));
    }
    spellings.finish();
    return spellings;
}

}  // namespace zantric
