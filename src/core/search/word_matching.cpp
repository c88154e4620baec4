#include "core/search/word_matching.h"

#include <algorithm>
#include <cstddef>

#include "core/search/search_fields.h"

namespace zantric {
namespace {

constexpr std::size_t kNoStar = std::string_view::npos;

int countLower(std::string_view word, char c) {
    int n = 0;
    for (char w : word) n += toLowerAscii(w) == c;
    return n;
}

}  // namespace

std::string_view takeWordPattern(std::string_view& rest) {
    std::size_t end = std::min(rest.find(' '), rest.size());
    std::string_view word = rest.substr(0, end);
    std::size_t next = rest.find_first_not_of(' ', end);
    rest.remove_prefix(next == std::string_view::npos ? rest.size() : next);
    return word;
}

int fixedCount(std::string_view wordPattern) {
    return static_cast<int>(wordPattern.size()) -
           static_cast<int>(std::count(wordPattern.begin(), wordPattern.end(), '*'));
}

bool hasStar(std::string_view wordPattern) { return wordPattern.find('*') != kNoStar; }

bool onlyStarWords(std::string_view rest) {
    return rest.find_first_not_of("*! ") == std::string_view::npos;
}

int letterCount(std::string_view word) {
    return static_cast<int>(word.size()) -
           static_cast<int>(std::count(word.begin(), word.end(), '-'));
}

bool holdsInclude(std::string_view word, std::string_view include) {
    // Each INCLUDE character takes the first occurrence no earlier one took; since a character
    // only ever takes its own kind, that holds exactly when the word has at least as many of it
    // as INCLUDE has up to and including this position.
    for (std::size_t k = 0; k < include.size(); ++k) {
        char c = include[k];
        auto needed =
            std::count(include.begin(), include.begin() + static_cast<std::ptrdiff_t>(k) + 1, c);
        if (countLower(word, c) < needed) return false;
    }
    return true;
}

bool avoidsExclude(std::string_view word, std::string_view exclude) {
    for (char w : word) {
        if (exclude.find(toLowerAscii(w)) != std::string_view::npos) return false;
    }
    return true;
}

}  // namespace zantric
