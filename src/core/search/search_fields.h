// The four search fields (FIND, FROM, INCLUDE, EXCLUDE) as text: their length limits, the
// keystroke filters the window applies, and the text checks of a search request as pure
// functions that show nothing. SearchRequest runs the checks and reports their failures; the window
// and the CLI may call these directly. Stateless; callable from any thread.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/dictionary/dictionary_format.h"
#include "core/results/search_summary.h"

namespace zantric {

enum class SearchField { kFind, kFrom, kInclude, kExclude };

// Characters a field holds, as typed (FIND is also limited after expansion).
inline constexpr std::size_t kMaxFindLength = 40;
inline constexpr std::size_t kMaxFromLength = 240;
inline constexpr std::size_t kMaxIncludeLength = 20;
inline constexpr std::size_t kMaxExcludeLength = 20;
// A dictionary word has at most kMaxWordLetters letters, and so one word of FIND at most as
// many fixed characters.
// Words of a phrase; a longer FIND is accepted but finds nothing (one open reader per word).
inline constexpr int kMaxPhraseWords = 15;

std::size_t maxFieldLength(SearchField field);

// Keystroke filters: whether a typed character may enter the field (backspace always may).
// FIND: letters, digits, '?', '*', '!', space. FROM: letters, space, '?'. INCLUDE and EXCLUDE:
// letters and '-'. Pasted or recalled text is not filtered, so no check relies on this.
bool acceptsTypedChar(SearchField field, char c);
// Anywhere in the main window a typed '/' is entered as '?', so a wildcard needs no shift key.
constexpr char translateTypedChar(char c) { return c == '/' ? '?' : c; }

// Every way a request can be refused, in the order a Start meets them.
enum class RequestError {
    kNone,
    kFindUnknownCharacter,    // FIND holds a character that no pattern knows (a '.', a '#')
    kFindTooLong,             // FIND expands to more than 40 characters
    kFindWordTooLong,         // a FIND word has more than 20 characters that are not '*'
    kTextAfterBang,           // characters after '!' and the user chose not to drop them
    kIncludeExcludeConflict,  // INCLUDE and EXCLUDE share a character
    kFindEmpty,
    kMultiWordWithoutFrom,
    kFindLetterNotInFrom,  // a FIND letter that FROM cannot supply
    kFindLongerThanFrom,   // more FIND letters and '?' than FROM characters
};

// A request is multi-word when, after its leading spaces, a non-space character follows a
// space, or when it holds '!' anywhere. Made on the raw FIND text; trailing spaces do not count.
bool isMultiWord(std::string_view findText);

// The FIND text made into a pattern: spaces stripped at both ends, each digit run N replaced by
// N '?', each space run by one space, lower-cased, and cut directly after the first '!'. Before
// the '!' it may hold only letters A-Z a-z, digits, '?', '*' and spaces: a word's hyphen is
// never typed (the words' letters are matched without it) and no other character stands for
// anything.
struct FindPattern {
    // kFindUnknownCharacter, kFindTooLong, kFindWordTooLong or kNone
    RequestError error = RequestError::kNone;
    std::string pattern;            // empty on an error
    bool droppedAfterBang = false;  // characters other than spaces followed the first '!'
    // With kFindUnknownCharacter, the first such character as a person is shown it: "'#'",
    // "'é' (U+00E9)", "U+0009" for a control character, "the byte 0xFF" outside UTF-8.
    std::string unknown;
};
FindPattern normaliseFind(std::string_view findText);

// True when a character of `exclude` occurs in `include`.
bool includeExcludeConflict(std::string_view include, std::string_view exclude);

// Whether the normalised FIND can be spelled from the FROM text as typed (kNone when FROM is
// empty): every FIND letter needs its own lower-case FROM letter, else an upper-case one (never
// used up), else a '?'; and the letters and '?' before the '!' may not outnumber the FROM
// characters (spaces included), unless a single-word FROM holds an upper-case letter.
RequestError checkFindAgainstFrom(std::string_view find, std::string_view from, bool multiWord);

// ASCII lower-casing, the only case the program's words know.
constexpr char toLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
std::string toLowerAscii(std::string_view text);

}  // namespace zantric
