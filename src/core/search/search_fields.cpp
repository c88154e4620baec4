#include "core/search/search_fields.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace zantric {
namespace {

constexpr bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }

// A digit run's value is only compared with the 40-character limit; capping it keeps a pasted
// run of many digits from overflowing.
constexpr std::size_t kDigitRunCap = 1000;

// The value of the digit run starting at text[i]; advances i past it.
std::size_t takeDigitRun(std::string_view text, std::size_t& i) {
    std::size_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = std::min(value * 10 + static_cast<std::size_t>(text[i] - '0'), kDigitRunCap);
    }
    return value;
}

std::size_t expandedLength(std::string_view text) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (isDigit(text[i])) {
            length += takeDigitRun(text, i);
        } else {
            if (text[i] == ' ') {
                while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
            }
            ++length;
            ++i;
        }
    }
    return length;
}

std::string expand(std::string_view text) {
    std::string out;
    out.reserve(kMaxFindLength);
    for (std::size_t i = 0; i < text.size();) {
        if (isDigit(text[i])) {
            out.append(takeDigitRun(text, i), '?');
        } else {
            if (text[i] == ' ') {
                while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
            }
            out.push_back(text[i]);
            ++i;
        }
    }
    return out;
}

constexpr bool isFindCharacter(char c) {
    return isLetter(c) || isDigit(c) || c == '?' || c == '*' || c == '!' || c == ' ';
}

// The character that starts at text[at] (a UTF-8 sequence, or one byte that is not one), named.
std::string describeCharacter(std::string_view text, std::size_t at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead >= 0x20 && lead < 0x7F) return std::string("'") + text[at] + "'";
    int extra = 0;  // continuation bytes
    if (lead >= 0xC2 && lead < 0xE0) {
        extra = 1;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        extra = 2;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        extra = 3;
    }
    std::uint32_t code = extra == 0 ? lead : lead & (0x3Fu >> extra);
    bool valid = lead < 0x80 || (extra > 0 && at + static_cast<std::size_t>(extra) < text.size());
    for (int i = 1; valid && i <= extra; ++i) {
        valid = (byte(at + i) & 0xC0) == 0x80;
        code = (code << 6) | (byte(at + i) & 0x3Fu);
    }
    constexpr std::uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};  // no longer form than needed
    valid = valid && code >= kLeast[extra] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    char number[16];
    if (!valid) {
        std::snprintf(number, sizeof number, "0x%02X", lead);
        return std::string("the byte ") + number;
    }
    std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(code));
    if (code < 0xA0) return number;  // a control character: its number alone
    return "'" + std::string(text.substr(at, static_cast<std::size_t>(extra) + 1)) + "' (" +
           number + ")";
}

bool hasOverlongWord(std::string_view pattern) {
    int fixed = 0;
    for (char c : pattern) {
        if (c == ' ') {
            fixed = 0;
        } else if (c != '*' && ++fixed > kMaxWordLetters) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::size_t maxFieldLength(SearchField field) {
    switch (field) {
        case SearchField::kFind:
            return kMaxFindLength;
        case SearchField::kFrom:
            return kMaxFromLength;
        case SearchField::kInclude:
            return kMaxIncludeLength;
        case SearchField::kExclude:
            return kMaxExcludeLength;
    }
    return 0;
}

bool acceptsTypedChar(SearchField field, char c) {
    if (c == '\b' || isLetter(c)) return true;
    switch (field) {
        case SearchField::kFind:
            return isDigit(c) || c == '?' || c == '*' || c == '!' || c == ' ';
        case SearchField::kFrom:
            return c == ' ' || c == '?';
        case SearchField::kInclude:
        case SearchField::kExclude:
            return c == '-';
    }
    return false;
}

bool isMultiWord(std::string_view findText) {
    if (findText.find('!') != std::string_view::npos) return true;
    std::size_t start = findText.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    bool afterSpace = false;
    for (char c : findText.substr(start)) {
        if (c == ' ') {
            afterSpace = true;
        } else if (afterSpace) {
            return true;
        }
    }
    return false;
}

FindPattern normaliseFind(std::string_view findText) {
    FindPattern result;
    std::size_t first = findText.find_first_not_of(' ');
    if (first == std::string_view::npos) return result;  // empty, or spaces only
    std::string_view text = findText.substr(first, findText.find_last_not_of(' ') - first + 1);
    const std::string_view beforeBang = text.substr(0, text.find('!'));
    if (const auto unknown =
            std::find_if_not(beforeBang.begin(), beforeBang.end(), isFindCharacter);
        unknown != beforeBang.end()) {
        result.error = RequestError::kFindUnknownCharacter;
        result.unknown =
            describeCharacter(text, static_cast<std::size_t>(unknown - beforeBang.begin()));
        return result;
    }

    if (expandedLength(text) > kMaxFindLength) {
        result.error = RequestError::kFindTooLong;
        return result;
    }
    std::string pattern = expand(text);
    if (hasOverlongWord(pattern)) {
        result.error = RequestError::kFindWordTooLong;
        return result;
    }
    std::size_t bang = pattern.find('!');
    if (bang != std::string::npos) {
        result.droppedAfterBang = pattern.find_first_not_of(' ', bang + 1) != std::string::npos;
        pattern.resize(bang + 1);
    }
    result.pattern = toLowerAscii(pattern);
    return result;
}

bool includeExcludeConflict(std::string_view include, std::string_view exclude) {
    return include.find_first_of(exclude) != std::string_view::npos;
}

RequestError checkFindAgainstFrom(std::string_view find, std::string_view from, bool multiWord) {
    if (from.empty()) return RequestError::kNone;

    constexpr char kUsed = ' ';  // never looked for: only letters and '?' are
    std::string pool(from);
    for (char c : find) {
        if (!isLetter(c)) continue;
        char lower = toLowerAscii(c);
        std::size_t at = pool.find(lower);
        if (at == std::string::npos) at = pool.find(static_cast<char>(lower - 32));
        if (at == std::string::npos) at = pool.find('?');
        if (at == std::string::npos) return RequestError::kFindLetterNotInFrom;
        if (!isUpper(pool[at])) pool[at] = kUsed;
    }

    std::string_view beforeBang = find.substr(0, find.find('!'));
    auto needed = static_cast<std::size_t>(std::count_if(
        beforeBang.begin(), beforeBang.end(), [](char c) { return isLetter(c) || c == '?'; }));
    if (needed <= from.size()) return RequestError::kNone;
    if (!multiWord && std::any_of(from.begin(), from.end(), isUpper)) return RequestError::kNone;
    return RequestError::kFindLongerThanFrom;
}

std::string toLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = toLowerAscii(c);
    return out;
}

}  // namespace zantric
