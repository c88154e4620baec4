// Accented letters typed into the search fields (FROM élire), folded as the selected
// dictionaries folded their words when they were made. Called on the user-interface thread
// before a search starts.
#pragma once

#include "core/dictionary/catalogue.h"
#include "core/dictionary/letter_fold.h"
#include "core/dictionary/spellings.h"
#include "core/results/search_summary.h"

namespace zantric {

// The language typed accents fold in: that of the first selected dictionary made in a language
// that folds; English, which folds nothing, when there is none.
Language typingLanguage(const Catalogue& catalogue);

// Folds the accented letters of FIND, FROM, INCLUDE and EXCLUDE in `language` (élire -> elire;
// in German ä -> ae). A field holding a character with no fold stays as typed, so that its check
// names that character.
void foldTypedFields(SearchFields& fields, Language language);

// The spellings of the words of every selected dictionary (dictionarySpellings), finished.
Spellings selectedSpellings(const Catalogue& catalogue);

}  // namespace zantric
