// Reader and writer of ini (profile) files, the format of the program's zantric.ini: "[section]"
// lines and "key=value" lines. Names compare without regard to ASCII case; only the first section
// of a name counts, and the first key of a name in it. A missing or unreadable file, section or
// key reads as the default; a damaged file never does more than read wrongly. Any thread may
// call; writes within the process are serialised and replace the file in one rename.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zantric {

// The read buffer of the original private-profile calls: a text read is at most 259 characters.
inline constexpr std::size_t kProfileBufferSize = 260;
// The largest ini file that is read. A larger one, or one that is not a regular file (a FIFO, a
// device, a folder), reads as missing and is never rewritten.
inline constexpr std::size_t kMaxProfileBytes = 1 << 20;

// Whether `iniFile` can be read as an ini file: a regular file of at most kMaxProfileBytes.
bool profileFileUsable(const std::filesystem::path& iniFile);

// The value of `key` in `section`, with blanks around it and one pair of enclosing quotes (' or ")
// taken off and cut at a NUL; `defaultValue` when the file, section or key is missing. The result
// is cut to kProfileBufferSize - 1 characters either way.
std::string profileString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, const std::filesystem::path& iniFile);

// The value read as a decimal integer: leading blanks, an optional sign, then the digits up to the
// first other character ("12px" is 12); a value with no digits is 0. A missing key, or an empty
// value, gives `defaultValue`. Hexadecimal prefixes are not read; a value beyond an int's range
// is taken as its nearest end.
int profileInt(std::string_view section, std::string_view key, int defaultValue,
               const std::filesystem::path& iniFile);

// An ini file read once, for several values: the same look-ups as profileString and profileInt
// on the text as it was then. A missing or unreadable file reads as empty.
class ProfileText {
public:
    ProfileText() = default;
    explicit ProfileText(const std::filesystem::path& iniFile);
    std::string string(std::string_view section, std::string_view key,
                       std::string_view defaultValue) const;
    int integer(std::string_view section, std::string_view key, int defaultValue) const;

private:
    std::optional<std::string> m_content;
};

// Sets `key` in `section` to `value` (cut at a line break or NUL), creating the file, the section
// (appended at the end) or the key (after the section's last entry) as needed. Every other line
// keeps its text, place and line ending; new lines take the ending of the file's first line
// (CR LF or LF). The new file is written
// beside the old one, with its permission bits, and renamed over it. False when the file cannot
// be read or written, or is not usable as an ini file. Writers of one file take turns (the
// settings' writes do): two writes at once could each lose the other's key.
bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::filesystem::path& iniFile);

// Writes `content` as the whole file `name` the way the ini is written: beside it first,
// flushed to the disk, then renamed over it. False (nothing left beside it) on failure.
bool writeFileReplacing(const std::filesystem::path& name, const std::string& content);

}  // namespace zantric
