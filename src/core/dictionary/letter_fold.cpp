#include "core/dictionary/letter_fold.h"

#include <array>
#include <cctype>

namespace zantric {
namespace {

constexpr std::array<std::string_view, kLanguages> kCodes = {"en", "fr", "de", "es", "it"};

// The spelling of U+00C0 to U+00FF, capitals first (their lower-case twins are 0x20 further); ""
// for a character with no fold (Ð, ×, Þ, ð, ÷, þ). German spells its umlauts out (see below).
constexpr std::array<std::string_view, 64> kLatin1 = {
    "A", "A", "A", "A", "A", "A", "Ae", "C", "E", "E", "E", "E", "I", "I", "I", "I",   // À-Ï
    "",  "N", "O", "O", "O", "O", "O",  "",  "O", "U", "U", "U", "U", "Y", "",  "ss",  // Ð-ß
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",   // à-ï
    "",  "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "",  "y",   // ð-ÿ
};

// The spelling of a code point, "" when the language has none.
std::string_view foldOf(Language language, unsigned code) {
    if (code >= 0xC0 && code <= 0xFF) {
        if (language == Language::kGerman) {
            switch (code) {
                case 0xC4:
                    return "Ae";
                case 0xD6:
                    return "Oe";
                case 0xDC:
                    return "Ue";
                case 0xE4:
                    return "ae";
                case 0xF6:
                    return "oe";
                case 0xFC:
                    return "ue";
                default:
                    break;
            }
        }
        return kLatin1[code - 0xC0];
    }
    switch (code) {
        case 0x152:
            return "Oe";
        case 0x153:
            return "oe";
        case 0x178:
            return "Y";
        default:
            return {};
    }
}

}  // namespace

std::string_view languageCode(Language language) {
    return kCodes[static_cast<std::size_t>(language)];
}

std::optional<Language> languageOfCode(std::string_view code) {
    if (code.size() != 2) return std::nullopt;
    const char lower[2] = {static_cast<char>(std::tolower(static_cast<unsigned char>(code[0]))),
                           static_cast<char>(std::tolower(static_cast<unsigned char>(code[1])))};
    for (std::size_t i = 0; i < kCodes.size(); ++i) {
        if (kCodes[i] == std::string_view(lower, 2)) return static_cast<Language>(i);
    }
    return std::nullopt;
}

Language languageOfWordList(const std::filesystem::path& wordList) {
    const std::string name = wordList.filename().string();
    if (name == "french") return Language::kFrench;
    if (name == "ngerman" || name == "ogerman") return Language::kGerman;
    if (name == "spanish") return Language::kSpanish;
    if (name == "italian") return Language::kItalian;
    return Language::kEnglish;
}

int foldLetters(Language language, std::string_view text, char* out) {
    int length = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out[length++] = static_cast<char>(byte);
            ++i;
            continue;
        }
        // Every folded character is two bytes of UTF-8 (U+0080 to U+07FF).
        if (!foldsLetters(language) || (byte & 0xE0) != 0xC0 || i + 1 >= text.size()) return -1;
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if ((next & 0xC0) != 0x80) return -1;
        const std::string_view fold = foldOf(language, ((byte & 0x1Fu) << 6) | (next & 0x3Fu));
        if (fold.empty()) return -1;
        for (const char c : fold) out[length++] = c;
        i += 2;
    }
    out[length] = '\0';
    return length;
}

}  // namespace zantric
