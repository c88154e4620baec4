#include "core/ranking/word_levels.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {

namespace {

constexpr std::array<int, 10> kGrades{10, 20, 35, 40, 50, 55, 60, 70, 80, 95};
constexpr std::array<const char*, 5> kCategories{"words", "upper", "proper-names", "contractions",
                                                 "abbreviations"};
// Longer lines are not words of a list.
constexpr std::size_t kLongestWord = 63;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int WordLevels::levelOfGrade(int grade) {
    const auto* at = std::find(kGrades.begin(), kGrades.end(), grade);
    return kMostCommonLevel -
           static_cast<int>(at == kGrades.end() ? kGrades.size() - 1 : at - kGrades.begin());
}

void WordLevels::note(std::string_view word, int level) {
    if (word.empty() || word.size() > kLongestWord) return;
    std::string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
    auto [at, added] = m_levels.try_emplace(std::move(lower), static_cast<std::uint8_t>(level));
    if (!added) at->second = std::max(at->second, static_cast<std::uint8_t>(level));
}

Outcome<WordLevels> WordLevels::read(const std::filesystem::path& folder,
                                     const std::string& spelling) {
    WordLevels levels;
    bool anyList = false;
    for (const std::string& prefix : {std::string("english"), spelling}) {
        for (const char* category : kCategories) {
            for (const int grade : kGrades) {
                const std::filesystem::path path =
                    folder / (prefix + "-" + category + "." + std::to_string(grade));
                std::ifstream in(path, std::ios::binary);
                if (!in) continue;
                anyList = true;
                for (std::string line; std::getline(in, line);) {
                    if (!line.empty() && line.back() == '\r') line.pop_back();
                    levels.note(line, levelOfGrade(grade));
                }
            }
        }
    }
    if (!anyList) {
        return Message{loadString(kStrNoWordLists, {spelling, folder.string()}), "Zantric",
                       MessageKind::kWarning};
    }
    return levels;
}

WordLevels WordLevels::fromGrades(const std::vector<std::pair<std::string, int>>& graded) {
    WordLevels levels;
    for (const auto& [word, grade] : graded) levels.note(word, levelOfGrade(grade));
    return levels;
}

WordLevels WordLevels::fromLevels(const std::vector<std::pair<std::string, int>>& levels) {
    WordLevels result;
    for (const auto& [word, level] : levels) {
        result.note(word, std::clamp(level, 1, kMostCommonLevel));
    }
    return result;
}

int WordLevels::level(std::string_view word) const {
    if (word.empty() || word.size() > kLongestWord) return 0;
    std::array<char, kLongestWord> lower{};
    std::transform(word.begin(), word.end(), lower.begin(), lowerAscii);
    const auto at = m_levels.find(std::string_view(lower.data(), word.size()));
    return at == m_levels.end() ? 0 : at->second;
}

std::vector<std::string> WordLevels::wordsOfLevel(int level) const {
    std::vector<std::string> words;
    for (const auto& [word, wordLevel] : m_levels) {
        if (wordLevel >= level) words.push_back(word);
    }
    std::sort(words.begin(), words.end());
    return words;
}

}  // namespace zantric
