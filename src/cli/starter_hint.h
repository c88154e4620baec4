// What zantric-cli says when the program's folder has no dictionary yet: how to make one.
#pragma once

#include <filesystem>
#include <string>

#include "core/dictionary/catalogue.h"

namespace zantric::cli {

// The hint for a catalogue without dictionaries: `zantric-cli starter`, which makes the starter
// dictionary from the system word list `wordList`, or (no list) the commands that make and select
// one from a WORDLIST; with -C `folder` when one was given.
std::string starterHint(const std::filesystem::path& wordList, const std::string& folder);

// Prints starterHint(systemWordList(), folder) on stderr when the catalogue is empty; whether it
// did.
bool printStarterHintIfEmpty(const Catalogue& catalogue, const std::string& folder);

}  // namespace zantric::cli
