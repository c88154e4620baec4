// The string table: every user-facing text by its 16-bit id. Built into the program from
// resources/strings.txt (id, tab, name, tab, text; "\n" stands for a line break); the build
// makes the names into core/shell/string_ids.h, the ids the code loads. Thread-safe, read-only.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zantric {

// The text of an entry; "" for an id the table does not hold. Texts are at most 255 characters.
std::string loadString(int id);

// The text of an entry with its first "%s" replaced by `argument`.
std::string loadString(int id, std::string_view argument);
// The text of an entry with each "%s" in turn replaced by the next of `arguments`; a "%s" that an
// argument brings stays as it is.
std::string loadString(int id, std::initializer_list<std::string_view> arguments);

// The text with every byte below 32 other than the line feed, and 127, written as \xNN (ESC is
// "\x1b"), so that bytes read from a file cannot retitle, clear or reprogram a terminal.
std::string escapeControls(std::string_view text);

// Longest text an entry keeps, as the program's 256-byte load buffers always did.
inline constexpr std::size_t kMaxStringLength = 255;

// Parses string-table source text into (id, text) pairs sorted by id. '#' lines, blank lines and
// lines without "id TAB name TAB" are skipped; "\n", "\t" and "\\" are unescaped; texts are cut to
// kMaxStringLength; of a repeated id the first entry wins. loadString uses it on the built-in
// table.
std::vector<std::pair<int, std::string>> parseStringTable(std::string_view source);

}  // namespace zantric
