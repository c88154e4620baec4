#include "core/search/match_explanation.h"

#include "core/search/search_fields.h"

namespace zantric {

MatchExplanation explainMatch(std::string_view match, const SrcLetters& fromLetters) {
    int counts[SrcLetters::kSlots];
    for (int i = 0; i < SrcLetters::kSlots; ++i) {
        counts[i] = fromLetters.available(i) < 0 ? 0 : fromLetters.available(i);
    }
    int& blanks = counts[SrcLetters::kBlank];
    MatchExplanation explanation;
    for (char c : match) {
        c = toLowerAscii(c);
        if (c < 'a' || c > 'z') continue;
        int& count = counts[c - 'a'];
        if (count >= SrcLetters::kUnlimited) continue;
        if (count > 0) {
            --count;
        } else if (blanks > 0) {
            if (blanks < SrcLetters::kUnlimited) --blanks;
            explanation.blanks += c;
        }
    }
    for (int i = 0; i < 26; ++i) {
        const char letter = static_cast<char>('a' + i);
        if (counts[i] >= SrcLetters::kUnlimited) {
            explanation.left += static_cast<char>(letter - 32);
        } else {
            explanation.left.append(static_cast<std::size_t>(counts[i]), letter);
        }
    }
    explanation.left.append(static_cast<std::size_t>(blanks >= SrcLetters::kUnlimited ? 1 : blanks),
                            '?');
    return explanation;
}

SrcLetters searchedFromLetters(std::string_view find, std::string_view from, bool useAll) {
    return SrcLetters(isMultiWord(find) || useAll ? toLowerAscii(from) : std::string(from));
}

}  // namespace zantric
