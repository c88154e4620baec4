// The languages a dictionary can be made in, and how each spells an accented letter with the
// letters a-z (docs/dictionary-format.md, "Languages and accented letters"). A dictionary stores
// only a-z; a word list's accented line is matched on its folded letters. Pure functions; any
// thread; no allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace zantric {

enum class Language : std::uint8_t { kEnglish, kFrench, kGerman, kSpanish, kItalian };
inline constexpr int kLanguages = 5;

// The two-letter code of a language ("en", "fr", "de", "es", "it").
std::string_view languageCode(Language language);
// The language of a code as typed (in any case); nothing for a code the program does not know.
std::optional<Language> languageOfCode(std::string_view code);
// The language a word list's file name suggests: french -> fr, ngerman and ogerman -> de,
// spanish -> es, italian -> it; English for any other name.
Language languageOfWordList(const std::filesystem::path& wordList);
// Whether the language folds accented letters at all. English keeps to a-z as it stands.
inline bool foldsLetters(Language language) { return language != Language::kEnglish; }

// Folds UTF-8 `text` into `out`, which has room for text.size() + 1 bytes (a folding is never
// longer than what it folds), and ends it with a NUL. Bytes below 0x80 are copied as they are;
// a letter of the table becomes its a-z spelling, a capital's first letter in upper case
// (É -> E, Œ -> Oe, German Ä -> Ae). Returns the folded length, or -1 when the text holds a
// character the language does not fold (any non-ASCII character in English, Greek, Cyrillic, an
// invalid byte); `out` is then undefined.
int foldLetters(Language language, std::string_view text, char* out);

}  // namespace zantric
