// The language of a dictionary, kept beside it in its language file NAME.lxs
// (docs/dictionary-format.md, "Languages and accented letters"): 16 bytes that name the
// language and the Created time of the dictionary they belong to. No file, or one that does not
// belong to the dictionary beside it, means English, so a dictionary of a-z words made as
// English is the same file it always was. Any thread; one writer of a dictionary at a time.
#pragma once

#include <cstdint>
#include <filesystem>

#include "core/dictionary/letter_fold.h"
#include "core/dictionary/spellings.h"

namespace zantric {

inline constexpr std::uint16_t kLanguageFileMark = 0x59B2;
inline constexpr std::size_t kLanguageFileBytes = 16;

// The language file of the dictionary file `dictionary`: the same name ending in ".lxs".
std::filesystem::path languageFilePath(const std::filesystem::path& dictionary);

// The language the dictionary at `dictionary` was made in: what its language file says when
// that file carries the mark, a known code and the dictionary's own Created time; else English.
// Reads 16 bytes of each file and trusts none of them.
Language dictionaryLanguage(const std::filesystem::path& dictionary);

// The spellings the language file of the dictionary at `dictionary` keeps (Spellings::parse);
// none when it has no language file of its own.
Spellings dictionarySpellings(const std::filesystem::path& dictionary);

// Once the complete dictionary stands at `dictionary`: writes its language file with
// `spellings` (finished; none when null) under the temporary name `staging` and puts it beside
// the dictionary (flushed, then renamed); for English removes any language file there instead.
// False when that fails: the staging file is then gone, and the dictionary reads as English.
bool placeLanguageFile(const std::filesystem::path& dictionary, Language language,
                       const std::filesystem::path& staging, const Spellings* spellings = nullptr);

}  // namespace zantric
