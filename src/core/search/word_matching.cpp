#include "core/search/word_matching.h"

#include <algorithm>
#include <cstddef>

#include "core/dictionary/letter_pool.h"
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

int wordPatternCount(std::string_view find) {
    int count = 0;
    bool inWord = false;
    for (char c : find) {
        if (c == ' ') {
            inWord = false;
        } else if (!inWord) {
            inWord = true;
            ++count;
        }
    }
    return count;
}

int fixedCount(std::string_view wordPattern) {
    return static_cast<int>(wordPattern.size()) -
           static_cast<int>(std::count(wordPattern.begin(), wordPattern.end(), '*'));
}

bool hasStar(std::string_view wordPattern) { return wordPattern.find('*') != kNoStar; }

bool onlyStarWords(std::string_view rest) {
    return rest.find_first_not_of("*! ") == std::string_view::npos;
}

bool matchesPattern(std::string_view word, std::string_view wordPattern) {
    // Glob match over the word's letters with one backtrack point: the last '*' seen and the
    // word position it was last tried at. Hyphens are stepped over as if absent.
    std::size_t w = 0;
    std::size_t p = 0;
    std::size_t starP = kNoStar;
    std::size_t starW = 0;
    auto skipHyphens = [&word](std::size_t i) {
        while (i < word.size() && word[i] == '-') ++i;
        return i;
    };
    w = skipHyphens(w);
    while (w < word.size()) {
        char pc = p < wordPattern.size() ? toLowerAscii(wordPattern[p]) : '\0';
        if (pc == '*') {
            starP = p++;
            starW = w;
        } else if (p < wordPattern.size() && (pc == '?' || pc == toLowerAscii(word[w]))) {
            ++p;
            w = skipHyphens(w + 1);
        } else if (starP != kNoStar) {
            p = starP + 1;
            w = starW = skipHyphens(starW + 1);
        } else {
            return false;
        }
    }
    while (p < wordPattern.size() && wordPattern[p] == '*') ++p;
    return p == wordPattern.size();
}

int letterCount(std::string_view word) {
    return static_cast<int>(word.size()) -
           static_cast<int>(std::count(word.begin(), word.end(), '-'));
}

int lastWordMinLength(std::string_view wordPattern, int available, bool hasFromLetters,
                      bool useAllFromLetters) {
    if (hasFromLetters && available < fixedCount(wordPattern)) return kNothingCanMatch;
    if (useAllFromLetters && hasFromLetters) {
        if (available > kMaxWordLetters || available == 0) return kNothingCanMatch;
        if (!hasStar(wordPattern) && static_cast<int>(wordPattern.size()) < available) {
            return kNothingCanMatch;
        }
    }
    return useAllFromLetters && available != LetterPool::kUnlimited ? available : 0;
}

bool usesAllLetters(std::string_view word, bool useAllFromLetters, int available) {
    return !useAllFromLetters || available == 0 || letterCount(word) == available;
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
