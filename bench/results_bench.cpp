// Storing matches: appending phrases and single words to the results pair (data and index files
// in the temporary folder), then finishing it, as a search does.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/results/results_store.h"

namespace {

using namespace zantric;

void appendMatches(benchmark::State& state, bool phrases) {
    namespace fs = std::filesystem;
    const std::string data = (fs::temp_directory_path() / "zantric-bench-results.ztr").string();
    const std::string index = (fs::temp_directory_path() / "zantric-bench-results.zix").string();
    // Phrases end with the separator that becomes the line feed; words get one added.
    const std::vector<std::string> texts =
        phrases ? std::vector<std::string>{"chose moral st ", "la mooch rests ", "oh cram stoles ",
                                           "school mast er ", "a ms clothes or "}
                : std::vector<std::string>{"cat", "retains", "nastier", "stainer", "schoolmaster"};
    const auto count = static_cast<std::size_t>(state.range(0));
    bench::SilentPrompter silent;
    for (auto _ : state) {
        ResultsStore results(data, index, silent);
        for (std::size_t i = 0; i < count; ++i) results.append(texts[i % texts.size()], !phrases);
        results.finish(SearchSummary{});
        benchmark::DoNotOptimize(results.count());
    }
    state.counters["matches/s"] =
        benchmark::Counter(double(count) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_AppendPhrases(benchmark::State& s) { appendMatches(s, true); }
void BM_AppendWords(benchmark::State& s) { appendMatches(s, false); }

BENCHMARK(BM_AppendPhrases)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendWords)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
