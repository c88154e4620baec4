#include "core/shell/profile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <random>
#include <system_error>
#include <vector>

#include "core/shell/file_replace.h"
#include "core/shell/paths.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;

// The whole file, when it is a regular file of at most kMaxProfileBytes.
std::optional<std::string> readWholeFile(const fs::path& name) {
    FilePtr file = openFile(name, "rb");
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return std::nullopt;
    const long size = std::ftell(file.get());
    if (size < 0 || static_cast<unsigned long>(size) > kMaxProfileBytes) return std::nullopt;
    std::rewind(file.get());
    std::string content;
    char block[4096];
    while (std::size_t got = std::fread(block, 1, sizeof block, file.get())) {
        content.append(block, got);
        if (content.size() > kMaxProfileBytes) return std::nullopt;  // grown since it was opened
    }
    if (std::ferror(file.get())) return std::nullopt;
    return content;
}

// Lines without their line feed, and (unless `keepReturns`) without a carriage return before it.
std::vector<std::string_view> splitLines(std::string_view content, bool keepReturns = false) {
    if (content.starts_with(kUtf8ByteOrderMark)) content.remove_prefix(kUtf8ByteOrderMark.size());
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        if (!keepReturns && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

std::string_view trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The name of a "[section]" line (up to the first ']' or the line's end).
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    return trim(line.substr(0, line.find(']')));
}

struct Entry {
    std::string_view key;
    std::size_t equals;  // position of '=' in the line
};

std::optional<Entry> entryOf(std::string_view line) {
    std::string_view trimmed = trim(line);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Entry{trim(line.substr(0, equals)), equals};
}

// Where a section and a key are in a file's lines.
struct Location {
    std::optional<std::size_t> section;  // header line of the first section of that name
    std::optional<std::size_t> key;      // first line of that key in it
    std::size_t lastEntry = 0;           // last non-blank line of the section
};

Location locate(const std::vector<std::string_view>& lines, std::string_view section,
                std::string_view key) {
    Location where;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto name = sectionName(lines[i])) {
            if (where.section) break;  // the section ends at the next one
            if (equalNoCase(*name, section)) where.section = where.lastEntry = i;
            continue;
        }
        if (!where.section) continue;
        if (!trim(lines[i]).empty()) where.lastEntry = i;
        auto entry = entryOf(lines[i]);
        if (entry && !where.key && equalNoCase(entry->key, key)) where.key = i;
    }
    return where;
}

std::optional<std::string> findValue(std::string_view section, std::string_view key,
                                     const std::optional<std::string>& content) {
    if (!content) return std::nullopt;
    std::vector<std::string_view> lines = splitLines(*content);
    Location where = locate(lines, section, key);
    if (!where.key) return std::nullopt;
    std::string_view line = lines[*where.key];
    std::string_view value = line.substr(entryOf(line)->equals + 1);
    value = trim(value.substr(0, value.find('\0')));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::string cutToBuffer(std::string text) {
    if (text.size() > kProfileBufferSize - 1) text.resize(kProfileBufferSize - 1);
    return text;
}

// Writes the new content beside the file and puts it in the file's place with replaceFile, so
// that the file is the old one or the new one whenever the program or the system stops.
bool writeReplacing(const fs::path& name, const std::string& content) {
    std::random_device random;
    fs::path temp = name;
    temp += ".tmp" + std::to_string(random());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (out && replaceFile(temp, name)) return true;
    }
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
}

}  // namespace

bool profileFileUsable(const fs::path& iniFile) {
    std::error_code error;
    if (!fs::is_regular_file(iniFile, error)) return false;
    const std::uintmax_t size = fs::file_size(iniFile, error);
    return !error && size <= kMaxProfileBytes;
}

ProfileText::ProfileText(const fs::path& iniFile) : m_content(readWholeFile(iniFile)) {}

std::string ProfileText::string(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    std::optional<std::string> value = findValue(section, key, m_content);
    return cutToBuffer(value ? std::move(*value) : std::string(defaultValue));
}

int ProfileText::integer(std::string_view section, std::string_view key, int defaultValue) const {
    std::optional<std::string> value = findValue(section, key, m_content);
    if (!value || value->empty()) return defaultValue;
    std::string_view text = *value;
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // A number past the 32 bits of an int is taken as the nearest one an int holds.
    constexpr std::int64_t kBeyond = std::int64_t{1} << 32;
    std::int64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        number = std::min(number * 10 + (c - '0'), kBeyond);
    }
    if (negative) number = -number;
    return static_cast<int>(std::clamp<std::int64_t>(number, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

std::string profileString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, const fs::path& iniFile) {
    return ProfileText(iniFile).string(section, key, defaultValue);
}

int profileInt(std::string_view section, std::string_view key, int defaultValue,
               const fs::path& iniFile) {
    return ProfileText(iniFile).integer(section, key, defaultValue);
}

bool writeProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const fs::path& iniFile) {
    value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));

    std::string content;
    if (fileExists(iniFile)) {
        if (!profileFileUsable(iniFile)) return false;
        std::optional<std::string> old = readWholeFile(iniFile);
        if (!old) return false;
        content = std::move(*old);
    }
    std::size_t firstFeed = content.find('\n');
    std::string eol =
        firstFeed != std::string::npos && firstFeed > 0 && content[firstFeed - 1] == '\r' ? "\r\n"
                                                                                          : "\n";
    std::vector<std::string_view> lines = splitLines(content);
    // Every line keeps its own ending, so that a stray carriage return reads as it did.
    const std::vector<std::string_view> asWritten = splitLines(content, true);
    Location where = locate(lines, section, key);

    std::string entry = std::string(key) + "=" + std::string(value);
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // A last line without a line break gets the file's.
        const bool ended = i + 1 < lines.size() || content.back() == '\n';
        if (where.key && i == *where.key) {
            // Keep the key as spelled in the file and the text before '='.
            out += lines[i].substr(0, entryOf(lines[i])->equals + 1);
            out += value;
            out += asWritten[i].size() > lines[i].size() ? "\r\n" : ended ? "\n" : eol;
        } else if (ended || eol == "\n") {
            out += asWritten[i];
            out += '\n';
        } else {
            // The line as read, then CR LF: a stray carriage return before it stays one.
            out += lines[i];
            out += eol;
        }
        if (where.section && !where.key && i == where.lastEntry) out += entry + eol;
    }
    if (!where.section) {
        if (!lines.empty() && !trim(lines.back()).empty()) out += eol;
        out += '[';
        out += section;
        out += ']';
        out += eol;
        out += entry;
        out += eol;
    }
    return writeReplacing(iniFile, out);
}

bool writeFileReplacing(const fs::path& name, const std::string& content) {
    return writeReplacing(name, content);
}

}  // namespace zantric
