#include "core/ranking/phrase_model.h"

#include <sphinxbase/err.h>
#include <sphinxbase/logmath.h>
#include <sphinxbase/ngram_model.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {

namespace {

// A word longer than this is not in any model (the longest dictionary word has 20 letters and
// may carry hyphens); it counts as unknown.
constexpr std::size_t kLongestLookup = 63;

// What a word the model does not know contributes, below the rarest unigram of the models in
// use (about -6.5 for the English model).
constexpr double kUnknownWord = -8.0;

class SphinxModel final : public PhraseModel {
public:
    SphinxModel(ngram_model_t* model, logmath_t* math)
        : m_model(model),
          m_math(math),
          m_end(ngram_wid(model, "</s>")),
          m_unknown(ngram_unknown_wid(model)) {}
    ~SphinxModel() override {
        ngram_model_free(m_model);
        logmath_free(m_math);
    }
    SphinxModel(const SphinxModel&) = delete;
    SphinxModel& operator=(const SphinxModel&) = delete;

    double phrase(std::span<const std::string_view> words) const override {
        // The first word has no context: a phrase is read as part of a sentence, not as one whole.
        std::array<int32, 2> history{};  // the newest first
        int32 known = 0;
        int32 total = 0;
        double unknown = 0;
        for (const std::string_view word : words) {
            const int32 id = lookUp(word);
            if (id == m_unknown) {
                unknown += kUnknownWord;
                known = 0;
                continue;
            }
            total += score(id, history, known);
            history = {id, history[0]};
            known = std::min(known + 1, 2);
        }
        if (m_end != m_unknown) total += score(m_end, history, known);
        return logmath_log_to_log10(m_math, total) + unknown;
    }

    std::optional<double> word(std::string_view word) const override {
        const int32 id = lookUp(word);
        if (id == m_unknown) return std::nullopt;
        std::array<int32, 2> history{};
        return logmath_log_to_log10(m_math, score(id, history, 0));
    }

    std::optional<double> pair(std::string_view before, std::string_view word) const override {
        std::array<int32, 2> history{lookUp(before), 0};
        const int32 id = lookUp(word);
        if (id == m_unknown || history[0] == m_unknown) return std::nullopt;
        int32 used = 0;
        const int32 value = ngram_ng_score(m_model, id, history.data(), 1, &used);
        if (used < 2) return std::nullopt;
        return logmath_log_to_log10(m_math, value);
    }

    double unknownWord() const override { return kUnknownWord; }

private:
    int32 score(int32 id, std::array<int32, 2>& history, int32 known) const {
        int32 used = 0;
        return ngram_ng_score(m_model, id, history.data(), known, &used);
    }

    // The model's id of the word in lower case; m_unknown for a word it does not know.
    int32 lookUp(std::string_view word) const {
        if (word.empty() || word.size() > kLongestLookup) return m_unknown;
        std::array<char, kLongestLookup + 1> lower{};
        std::transform(word.begin(), word.end(), lower.begin(), [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        });
        return ngram_wid(m_model, lower.data());
    }

    ngram_model_t* m_model;
    logmath_t* m_math;
    int32 m_end;
    int32 m_unknown;
};

Message modelFailure(const std::filesystem::path& path, int textId) {
    return {loadString(textId, path.string()), "Zantric", MessageKind::kWarning};
}

}  // namespace

Outcome<std::unique_ptr<PhraseModel>> openNgramModel(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return modelFailure(path, kStrModelMissing);
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
    } else {
        return modelFailure(path, kStrModelUnreadable);
    }
    err_set_logfp(nullptr);  // the reader's own log lines would go to stderr
    logmath_t* math = logmath_init(1.0001, 0, 0);
    if (math == nullptr) return modelFailure(path, kStrModelUnreadable);
    logmath_retain(math);  // the model holds one reference and this object the other
    ngram_model_t* model = ngram_model_read(nullptr, path.c_str(), NGRAM_AUTO, math);
    if (model == nullptr) {
        logmath_free(math);
        return modelFailure(path, kStrNotAModel);
    }
    return std::unique_ptr<PhraseModel>(std::make_unique<SphinxModel>(model, math));
}

}  // namespace zantric
