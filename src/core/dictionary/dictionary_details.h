// The details of a catalogue entry as the program shows them: dates in the fixed 24-character
// local form ("Sat Dec  5 19:37:57 2026"), one line each, then the word count. Any thread.
#pragma once

#include <cstdint>
#include <string>

#include "core/dictionary/catalogue.h"

namespace zantric {

class Prompter;

// A time stored in a header (seconds since 1970) as 24 characters of local time.
std::string fixedDateText(std::uint32_t seconds);
// "Information on: english.lex"
std::string detailsTitle(const CatalogueEntry& entry);
// "Created: ...\nModified: ...\nTotal Words: N"; the Modified line only when it is not 0. N is
// written as `prompter` writes counts.
std::string detailsText(const CatalogueEntry& entry, const Prompter& prompter);

}  // namespace zantric
