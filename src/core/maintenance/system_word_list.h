// The system's word list, and the starter dictionary made from it when the program's
// dictionaries folder is empty: the list's words without abbreviations, stray single letters
// and words without a vowel, which would fill phrase searches with letter salad.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/maintenance/new_dictionary.h"
#include "core/sort/word_list_reader.h"

namespace zantric {

// The name of the dictionary made from the system word list.
inline constexpr std::string_view kStarterDictionaryName = "english";

// Where the system keeps its word list: /usr/share/dict/words, then the other lists installed
// under /usr/share/dict in name order.
std::vector<std::filesystem::path> systemWordListCandidates();

// The first candidate that is a regular file that can be opened for reading; "" when none is.
std::filesystem::path firstReadableWordList(const std::vector<std::filesystem::path>& candidates);

// firstReadableWordList(systemWordListCandidates()).
std::filesystem::path systemWordList();

// The system's word list of a language other than English (/usr/share/dict/french, ngerman,
// spanish, italian) when it can be read, else ""; systemWordList() for English.
std::filesystem::path systemWordList(Language language);

// The starter dictionary of a language: "english", "french", "german", "spanish", "italian".
std::string starterDictionaryName(Language language);

// Whether the starter dictionary reads a line of the word list: not a word that starts with two
// capital letters (an abbreviation such as CRT or IRAs), not a single letter other than "a" and
// "I", and not a word without a vowel (a, e, i, o, u, y). Lines without a letter are left to
// the word rules.
bool starterKeepsLine(std::string_view line);

// Makes the starter dictionary of `language` ("english") from `wordList` with starterKeepsLine
// (asking before it replaces one), in that language, and selects it. `report` as for
// makeDictionary.
MaintenanceOutcome makeStarterDictionary(Workspace workspace, const std::filesystem::path& wordList,
                                         const StageRunner& run, WordListReport* report = nullptr,
                                         Language language = Language::kEnglish);

}  // namespace zantric
