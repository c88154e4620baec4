// The letter test that every candidate word of a search goes through: tryWord over the lower-case
// words of the system word list, against the letters of a phrase, of a short word, and with
// blanks.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench_support.h"
#include "core/dictionary/letter_pool.h"

namespace {

using namespace zantric;

// Each word followed by the space that ends it for tryWord, as the reader passes it.
const std::vector<std::string>& candidates() {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> out;
        for (const auto& w : bench::systemWords(true)) out.push_back(w + ' ');
        return out;
    }();
    return words;
}

void tryWords(benchmark::State& state, const char* from) {
    const auto& words = candidates();
    if (words.empty()) {
        state.SkipWithError("no system word list");
        return;
    }
    LetterPool letters(from);
    std::size_t fits = 0;
    for (auto _ : state) {
        for (const auto& w : words) fits += letters.tryWord(w.c_str(), ' ') == 0;
        benchmark::DoNotOptimize(fits);
    }
    state.counters["words/s"] = benchmark::Counter(
        double(words.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["fit"] = double(fits) / double(state.iterations());
}

BENCHMARK_CAPTURE(tryWords, schoolmaster, "schoolmaster")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(tryWords, retains, "retains")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(tryWords, blanks, "ab?de??")->Unit(benchmark::kMicrosecond);

}  // namespace
