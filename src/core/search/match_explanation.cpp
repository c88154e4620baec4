#include "core/search/match_explanation.h"

#include "core/search/search_fields.h"

namespace zantric {

MatchExplanation explainMatch(std::string_view match, const LetterPool& fromLetters) {
    int counts[LetterPool::kSlots];
    for (int i = 0; i < LetterPool::kSlots; ++i) {
        counts[i] = fromLetters.available(i) < 0 ? 0 : fromLetters.available(i);
    }
    int& blanks = counts[LetterPool::kBlank];
    MatchExplanation explanation;
    for (char c : match) {
        c = toLowerAscii(c);
        if (c < 'a' || c > 'z') continue;
        int& count = counts[c - 'a'];
        if (count >= LetterPool::kUnlimited) continue;
        if (count > 0) {
            --count;
        } else if (blanks > 0) {
            if (blanks < LetterPool::kUnlimited) --blanks;
            explanation.blanks += c;
        }
    }
    for (int i = 0; i < 26; ++i) {
        const char letter = static_cast<char>('a' + i);
        if (counts[i] >= LetterPool::kUnlimited) {
            explanation.left += static_cast<char>(letter - 32);
        } else {
            explanation.left.append(static_cast<std::size_t>(counts[i]), letter);
        }
    }
    explanation.left.append(static_cast<std::size_t>(blanks >= LetterPool::kUnlimited ? 1 : blanks),
                            '?');
    return explanation;
}

LetterPool searchedFromLetters(std::string_view find, std::string_view from, bool useAll) {
    return LetterPool(isMultiWord(find) || useAll ? toLowerAscii(from) : std::string(from));
}

}  // namespace zantric
