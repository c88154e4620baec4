// PhraseModel: how likely a sequence of words is in one language, as a log10 probability. The
// ranking asks it about whole phrases and about single words; it knows nothing of searches.
// `openNgramModel` reads an n-gram model file (the binary or ARPA text form) through
// libsphinxbase; the rest of the program sees only this interface, so that another reader of the
// same files can take its place. A model is read-only once open, but its reader keeps caches:
// one thread at a time may score with it.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/shell/outcome.h"

namespace zantric {

class PhraseModel {
public:
    virtual ~PhraseModel() = default;

    // log10 P(words) as a phrase: each word given the (up to two) words before it, the first
    // without context (not as a sentence start), and the sentence end after the last. Words are
    // looked up in lower case. A word the model does not know counts `unknownWord()` and the word
    // after it is scored without context.
    virtual double phrase(std::span<const std::string_view> words) const = 0;
    // log10 P(word) alone, or nothing for a word the model does not know.
    virtual std::optional<double> word(std::string_view word) const = 0;
    // log10 P(word | before) where the model holds the pair "before word", else nothing (a model
    // that keeps no pairs gives nothing for any).
    virtual std::optional<double> pair(std::string_view /*before*/,
                                       std::string_view /*word*/) const {
        return std::nullopt;
    }
    // What a word the model does not know contributes: below its rarest word.
    virtual double unknownWord() const = 0;

protected:
    PhraseModel() = default;
    PhraseModel(const PhraseModel&) = default;
    PhraseModel& operator=(const PhraseModel&) = default;
};

// The n-gram model in the file at `path`; a failure says why (missing, unreadable, not a model).
Outcome<std::unique_ptr<PhraseModel>> openNgramModel(const std::filesystem::path& path);

}  // namespace zantric
