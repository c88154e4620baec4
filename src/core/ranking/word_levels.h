// WordLevels: how common each word of a language is, on the scale of 1 (rare) to 10 (among the
// most common words) that --common and the ranking use; 0 for a word the lists do not hold.
// Read from graded word lists in the layout of the scowl package: files named
// SPELLING-CATEGORY.NN (categories words, upper, proper-names, contractions, abbreviations), where
// the grade NN is one of 10, 20, 35, 40, 50, 55, 60, 70, 80 or 95 and lower is more common; the
// words of a language's spelling are those of "english" and of its own (e.g. "american"). A
// word's level is that of its most common grade, in any case. Read-only once made; any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/shell/common_level.h"
#include "core/shell/outcome.h"

namespace zantric {

class WordLevels {
public:
    // The lists of `spelling` in `folder`; a failure when the folder holds none.
    static Outcome<WordLevels> read(const std::filesystem::path& folder,
                                    const std::string& spelling);
    // From words and their grades, as the files give them (tests).
    static WordLevels fromGrades(const std::vector<std::pair<std::string, int>>& graded);
    // From words and their levels (1 to 10), worked out elsewhere.
    static WordLevels fromLevels(const std::vector<std::pair<std::string, int>>& levels);

    // 1 to 10, or 0 when no list holds the word. No allocation.
    int level(std::string_view word) const;
    // The words (in lower case) of at least `level`.
    std::vector<std::string> wordsOfLevel(int level) const;
    std::size_t size() const { return m_levels.size(); }

    // The level of a list's grade: 10 → 10, 20 → 9, 35 → 8, 40 → 7, 50 → 6, 55 → 5, 60 → 4,
    // 70 → 3, 80 → 2, 95 (or any other) → 1.
    static int levelOfGrade(int grade);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    void note(std::string_view word, int level);
    std::unordered_map<std::string, std::uint8_t, Hash, std::equal_to<>> m_levels;
};

}  // namespace zantric
