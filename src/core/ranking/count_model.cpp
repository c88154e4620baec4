#include "core/ranking/count_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>
#include <utility>
#include <vector>

#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {

namespace {

// A longer word is in no model (and is skipped where a model holds one).
constexpr std::size_t kLongestWord = 63;
// A longer line is no count and its words: it is skipped.
constexpr std::size_t kLongestLine = 2 * kLongestWord + 24;
// A larger count is not believed: its line is skipped. Sums stop at the largest std::uint64_t.
constexpr std::uint64_t kLargestCount = 1'000'000'000'000'000;
// The most words and pairs kept: the rest of a larger file is skipped, so that memory stays
// bounded.
constexpr std::size_t kMostEntries = 4'000'000;
// What a word scored without its pair costs besides its own probability: log10 of a back-off
// weight of 0.4.
constexpr double kBackOff = -0.3979400086720376;
constexpr std::size_t kReadBuffer = 64 * 1024;

std::uint64_t plus(std::uint64_t a, std::uint64_t b) {
    return a > std::numeric_limits<std::uint64_t>::max() - b
               ? std::numeric_limits<std::uint64_t>::max()
               : a + b;
}

// What a Latin-1 letter (the second byte of its two-byte UTF-8 form, U+00E0 to U+00FF, in lower
// case) folds to: "" for a letter that stays as it is.
std::string_view foldedLatin1(unsigned char second, bool german) {
    static constexpr std::array<const char*, 32> kFolds{
        "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
        "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y"};
    if (german && (second == 0xA4 || second == 0xB6 || second == 0xBC)) {
        return second == 0xA4 ? "ae" : second == 0xB6 ? "oe" : "ue";
    }
    return second >= 0xA0 ? kFolds[second - 0xA0] : "";
}

}  // namespace

// A word as the model looks it up: in lower case, and folded to a–z where its letters fold.
struct CountModel::Spelling {
    std::array<char, kLongestWord> lower{};
    std::size_t lowerSize = 0;
    std::array<char, kLongestWord> folded{};
    std::size_t foldedSize = 0;
    bool accented = false;  // holds a byte beyond ASCII

    // False for an empty or too long word.
    bool spell(std::string_view word, bool german) {
        if (word.empty() || word.size() > kLongestWord) return false;
        lowerSize = foldedSize = 0;
        accented = false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            const auto c = static_cast<unsigned char>(word[i]);
            const auto next = i + 1 < word.size() ? static_cast<unsigned char>(word[i + 1]) : 0;
            accented = accented || c >= 0x80;
            if (c == 0xC3 && next >= 0x80 && next <= 0xBF) {
                // À–Þ (but ×) in lower case; ß as ss.
                const auto low =
                    static_cast<unsigned char>(next <= 0x9E && next != 0x97 ? next + 0x20 : next);
                putLower(c, low);
                putFolded(next == 0x9F ? "ss" : foldedLatin1(low, german), c, low);
                ++i;
            } else if (c == 0xC5 && (next == 0x92 || next == 0x93)) {  // Œ, œ
                putLower(c, 0x93);
                putFolded("oe", c, 0x93);
                ++i;
            } else {
                const char low = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : word[i];
                lower[lowerSize++] = low;
                folded[foldedSize++] = low;
            }
        }
        return true;
    }
    std::string_view lowerText() const { return {lower.data(), lowerSize}; }
    std::string_view foldedText() const { return {folded.data(), foldedSize}; }

private:
    void putLower(unsigned char first, unsigned char second) {
        lower[lowerSize++] = static_cast<char>(first);
        lower[lowerSize++] = static_cast<char>(second);
    }
    // Never longer than the two bytes it stands for.
    void putFolded(std::string_view fold, unsigned char first, unsigned char second) {
        if (fold.empty()) {
            folded[foldedSize++] = static_cast<char>(first);
            folded[foldedSize++] = static_cast<char>(second);
        } else {
            for (const char c : fold) folded[foldedSize++] = c;
        }
    }
};

// Reads a model a buffer at a time, a line at a time.
class CountReader {
public:
    explicit CountReader(CountModel& model) : m_model(model) {}

    // False when the file cannot be read to its end.
    bool readFrom(std::FILE* file) {
        std::vector<char> buffer(kReadBuffer);
        while (m_section != Section::kEnd) {
            const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
            for (std::size_t i = 0; i < got && m_section != Section::kEnd; ++i) take(buffer[i]);
            if (got < buffer.size()) break;
        }
        if (std::ferror(file)) return false;
        if (m_section != Section::kEnd) endLine();  // a last line without a line feed
        return true;
    }
    bool sawWords() const { return m_sawUnigrams && m_total > 0; }
    double total() const { return m_total; }

private:
    enum class Section { kBefore, kUnigrams, kBigrams, kOther, kEnd };

    void take(char c) {
        if (c != '\n') {
            if (m_lineSize < m_line.size()) {
                m_line[m_lineSize] = c;
            }
            ++m_lineSize;
            return;
        }
        endLine();
    }

    void endLine() {
        std::string_view line(m_line.data(), std::min(m_lineSize, m_line.size()));
        const bool whole = m_lineSize <= m_line.size();
        m_lineSize = 0;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with('\\')) {
            startSection(line);
        } else if (whole && m_section == Section::kUnigrams) {
            unigram(line);
        } else if (whole && m_section == Section::kBigrams) {
            bigram(line);
        }
    }

    void startSection(std::string_view line) {
        if (line == "\\1-grams:") {
            m_section = Section::kUnigrams;
            m_sawUnigrams = true;
        } else if (line == "\\2-grams:") {
            m_section = Section::kBigrams;
        } else if (line == "\\end\\") {
            m_section = Section::kEnd;
        } else {
            m_section = Section::kOther;  // \data\ with its sizes, longer n-grams
        }
    }

    // The next field of `line` (split at spaces and tabs), taken off it; "" at its end.
    static std::string_view field(std::string_view& line) {
        const std::size_t start = std::min(line.find_first_not_of(" \t"), line.size());
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        const std::string_view text = line.substr(start, end - start);
        line.remove_prefix(end);
        return text;
    }

    // A count of 1 to kLargestCount, in digits only; 0 for anything else.
    static std::uint64_t count(std::string_view digits) {
        if (digits.empty() || digits.size() > 16) return 0;
        std::uint64_t value = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') return 0;
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        }
        return value <= kLargestCount ? value : 0;
    }

    // A word of the model: no control character; the markers such as <s> and <unk> are none.
    static bool isWord(std::string_view word) {
        if (word.size() >= 2 && word.front() == '<' && word.back() == '>') return false;
        return std::none_of(word.begin(), word.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        });
    }

    // A count and one word (and nothing after them).
    void unigram(std::string_view line) {
        const std::uint64_t n = count(field(line));
        const std::string_view text = field(line);
        CountModel::Spelling word;
        if (n == 0 || !isWord(text) || !field(line).empty() ||
            !word.spell(text, m_model.m_german)) {
            return;
        }
        m_total += static_cast<double>(n);
        add(word.lowerText(), n, &CountModel::Counts::written);
        add(word.foldedText(), n, &CountModel::Counts::folded);
    }

    void add(std::string_view key, std::uint64_t n, std::uint64_t CountModel::Counts::*which) {
        auto at = m_model.m_words.find(key);
        if (at == m_model.m_words.end()) {
            if (m_model.m_words.size() >= kMostEntries) return;
            at = m_model.m_words.emplace(std::string(key), CountModel::Counts{}).first;
        }
        at->second.*which = plus(at->second.*which, n);
    }

    // A count and two words, kept under the two folded.
    void bigram(std::string_view line) {
        const std::uint64_t n = count(field(line));
        const std::string_view first = field(line);
        const std::string_view second = field(line);
        CountModel::Spelling one;
        CountModel::Spelling two;
        if (n == 0 || !isWord(first) || !isWord(second) || !field(line).empty() ||
            !one.spell(first, m_model.m_german) || !two.spell(second, m_model.m_german)) {
            return;
        }
        std::string key(one.foldedText());
        key += ' ';
        key += two.foldedText();
        auto at = m_model.m_pairs.find(key);
        if (at == m_model.m_pairs.end()) {
            if (m_model.m_pairs.size() >= kMostEntries) return;
            at = m_model.m_pairs.emplace(std::move(key), 0).first;
        }
        at->second = plus(at->second, n);
    }

    CountModel& m_model;
    Section m_section = Section::kBefore;
    std::array<char, kLongestLine> m_line{};
    std::size_t m_lineSize = 0;
    bool m_sawUnigrams = false;
    double m_total = 0;
};

namespace {

Message modelFailure(const std::filesystem::path& path, int textId) {
    return {loadString(textId, path.string()), "Zantric", MessageKind::kWarning};
}

bool isLanguageCode(std::string_view code) {
    const std::size_t bar = code.find('_');
    const std::string_view language = code.substr(0, bar);
    const std::string_view region =
        bar == std::string_view::npos ? std::string_view("xx") : code.substr(bar + 1);
    const auto letters = [](std::string_view part, bool upper) {
        return part.size() >= 2 && part.size() <= 3 &&
               std::all_of(part.begin(), part.end(), [upper](char c) {
                   return (c >= 'a' && c <= 'z') || (upper && c >= 'A' && c <= 'Z');
               });
    };
    return letters(language, false) && letters(region, true);
}

}  // namespace

std::optional<std::filesystem::path> countModelOf(const std::filesystem::path& folder,
                                                  std::string_view language) {
    if (!isLanguageCode(language)) return std::nullopt;
    std::error_code error;
    const std::string code(language);
    if (code.find('_') != std::string::npos) {
        const std::filesystem::path path = folder / (code + ".lm");
        return std::filesystem::is_regular_file(path, error) ? std::optional(path) : std::nullopt;
    }
    std::string upper = code;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return static_cast<char>(c - 'a' + 'A'); });
    const std::filesystem::path own = folder / (code + "_" + upper + ".lm");
    if (std::filesystem::is_regular_file(own, error)) return own;
    std::optional<std::filesystem::path> first;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() > code.size() + 4 && name.starts_with(code + "_") &&
            name.ends_with(".lm") && isLanguageCode(name.substr(0, name.size() - 3)) &&
            it->is_regular_file(error) && (!first || it->path() < *first)) {
            first = it->path();
        }
    }
    return first;
}

Outcome<std::unique_ptr<CountModel>> CountModel::read(const std::filesystem::path& path,
                                                      std::string_view language) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return modelFailure(path, kStrModelMissing);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return modelFailure(path, kStrModelUnreadable);
    std::unique_ptr<CountModel> model(new CountModel());
    model->m_german = language.starts_with("de");
    CountReader reader(*model);
    const bool read = reader.readFrom(file);
    std::fclose(file);
    if (!read) return modelFailure(path, kStrModelUnreadable);
    if (!reader.sawWords()) return modelFailure(path, kStrNotAModel);
    model->m_total = reader.total();
    model->m_logTotal = std::log10(reader.total());
    model->m_unknown = std::log10(0.5) - model->m_logTotal;
    return model;
}

std::uint64_t CountModel::countOf(const Spelling& word) const {
    const auto at = m_words.find(word.lowerText());
    if (at == m_words.end()) return 0;
    if (at->second.written > 0 || word.accented) return at->second.written;
    return at->second.folded;
}

std::uint64_t CountModel::pairOf(const Spelling& first, const Spelling& second) const {
    std::array<char, 2 * kLongestWord + 1> key{};
    const std::string_view one = first.foldedText(), two = second.foldedText();
    std::copy(one.begin(), one.end(), key.begin());
    key[one.size()] = ' ';
    std::copy(two.begin(), two.end(), key.begin() + static_cast<std::ptrdiff_t>(one.size() + 1));
    const auto at = m_pairs.find(std::string_view(key.data(), one.size() + 1 + two.size()));
    return at == m_pairs.end() ? 0 : at->second;
}

std::optional<double> CountModel::word(std::string_view word) const {
    Spelling spelling;
    const std::uint64_t n = spelling.spell(word, m_german) ? countOf(spelling) : 0;
    if (n == 0) return std::nullopt;
    return std::log10(static_cast<double>(n)) - m_logTotal;
}

double CountModel::phrase(std::span<const std::string_view> words) const {
    double total = 0;
    Spelling before;
    std::uint64_t beforeCount = 0;  // 0: the word before is unknown, or there is none
    for (const std::string_view text : words) {
        Spelling spelling;
        const std::uint64_t n = spelling.spell(text, m_german) ? countOf(spelling) : 0;
        if (n == 0) {
            total += m_unknown;
            beforeCount = 0;
            continue;
        }
        const double alone = std::log10(static_cast<double>(n)) - m_logTotal;
        if (beforeCount == 0) {
            total += alone;
        } else if (const std::uint64_t pair = pairOf(before, spelling); pair > 0) {
            total += std::log10(static_cast<double>(std::min(pair, beforeCount))) -
                     std::log10(static_cast<double>(beforeCount));
        } else {
            total += alone + kBackOff;
        }
        before = spelling;
        beforeCount = n;
    }
    return total;
}

WordLevels CountModel::levels() const {
    std::vector<std::pair<std::string, int>> levels;
    levels.reserve(m_words.size());
    for (const auto& [key, counts] : m_words) {
        const bool accented = std::any_of(
            key.begin(), key.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        const std::uint64_t n = counts.written > 0 || accented ? counts.written : counts.folded;
        if (n == 0) continue;
        // Level 10 from 100 in a million words; each level below at half the share of the one
        // above.
        const double perMillion = static_cast<double>(n) * 1e6 / m_total;
        int level = kMostCommonLevel;
        for (double share = 100; level > 1 && perMillion < share; share /= 2) --level;
        levels.emplace_back(key, level);
    }
    return WordLevels::fromLevels(levels);
}

}  // namespace zantric
