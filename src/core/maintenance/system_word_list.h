// The system's word list, from which a first dictionary can be made when the program's
// dictionaries folder is empty.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zantric {

// The name of the dictionary made from the system word list.
inline constexpr std::string_view kStarterDictionaryName = "english";

// The places a Debian system keeps its word list, the preferred first.
std::vector<std::string> systemWordListCandidates();

// The first candidate that is a regular file that can be opened for reading; "" when none is.
std::string firstReadableWordList(const std::vector<std::string>& candidates);

// firstReadableWordList(systemWordListCandidates()).
std::string systemWordList();

}  // namespace zantric
