// CountModel: how common words and pairs of words are in one language, from a word-count model
// (the onboard-data form, /usr/share/onboard/models/LANG.lm): UTF-8 text in the layout of an ARPA
// model, whose `\1-grams:` lines give a raw count and a word ("655 Abbé") and whose `\2-grams:`
// lines a count and two words. Scores are log10 probabilities worked out from the counts
// (docs/ranking.md, "Other languages"): a word's is its share of all the words counted, a phrase's
// adds each next word given the one before it, from the pair's count, or backed off to the word
// alone. Words match in any case; a word without accents also matches the model's words that
// fold to it (élève for eleve). The ranking sees it only as a PhraseModel. Read-only once read:
// any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/ranking/phrase_model.h"
#include "core/ranking/word_levels.h"
#include "core/shell/outcome.h"

namespace zantric {

// Where the installed word-count models are.
inline constexpr const char* kDefaultCountModels = "/usr/share/onboard/models";

// The word-count model of `language` ("fr", or a full name such as "de_AT") in `folder`:
// LANG.lm for a full name; for a code, LANG_LANG.lm in capitals (fr_FR.lm) when it is there, else
// the first LANG_*.lm by name. Nothing when there is none or the code is not 2 or 3 letters a–z
// (with an optional _ and region).
std::optional<std::filesystem::path> countModelOf(const std::filesystem::path& folder,
                                                  std::string_view language);

class CountModel final : public PhraseModel {
public:
    // The model in the file at `path`; a failure says why (missing, unreadable, no word counts).
    // Lines that are not a count and its words are skipped. In German ("de…"), ä, ö and ü fold to
    // ae, oe and ue, as words are written without umlauts; elsewhere every accent is dropped.
    static Outcome<std::unique_ptr<CountModel>> read(const std::filesystem::path& path,
                                                     std::string_view language);

    double phrase(std::span<const std::string_view> words) const override;
    std::optional<double> word(std::string_view word) const override;
    // Half a count: below the rarest word.
    double unknownWord() const override { return m_unknown; }

    // Each word's commonness level, 1 to 10, from its share of the counts (docs/ranking.md), under
    // its spelling in lower case and, for a word with accents, its folded form as well.
    WordLevels levels() const;
    std::size_t wordCount() const { return m_words.size(); }
    std::size_t pairCount() const { return m_pairs.size(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    struct Counts {
        std::uint64_t written = 0;  // of the words that are this in lower case
        std::uint64_t folded = 0;   // of the words that fold to this
    };
    struct Spelling;
    CountModel() = default;
    friend class CountReader;
    // The count a word is scored by (0: unknown).
    std::uint64_t countOf(const Spelling& word) const;
    std::uint64_t pairOf(const Spelling& first, const Spelling& second) const;

    std::unordered_map<std::string, Counts, Hash, std::equal_to<>> m_words;
    // Pairs under their words folded, joined by a space.
    std::unordered_map<std::string, std::uint64_t, Hash, std::equal_to<>> m_pairs;
    double m_total = 0;  // the count of all words
    double m_logTotal = 0;
    double m_unknown = 0;
    bool m_german = false;
};

}  // namespace zantric
