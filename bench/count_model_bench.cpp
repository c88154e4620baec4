// Reading an installed word-count model (fr_FR, de_DE, es_ES, it_IT of onboard-data), with the
// words and pairs it keeps and the memory it takes; then scoring phrases with it.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/ranking/count_model.h"

namespace {

using namespace zantric;

// The heap this process holds, in kilobytes.
double heapKb() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / 1024;
}

// The time of a read; the heap the model takes, measured once.
void BM_ReadCountModel(benchmark::State& state, const char* language) {
    const auto path = countModelOf(kDefaultCountModels, language);
    if (!path) {
        state.SkipWithError("no word-count model installed (onboard-data)");
        return;
    }
    const double before = heapKb();
    const auto first = CountModel::read(*path, language);
    if (!first) {
        state.SkipWithError(first.message().text.c_str());
        return;
    }
    state.counters["kB"] = heapKb() - before;
    state.counters["words"] = static_cast<double>(first.value()->wordCount());
    state.counters["pairs"] = static_cast<double>(first.value()->pairCount());
    for (auto _ : state) benchmark::DoNotOptimize(CountModel::read(*path, language));
}
BENCHMARK_CAPTURE(BM_ReadCountModel, fr, "fr")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadCountModel, de, "de")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadCountModel, es, "es")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadCountModel, it, "it")->Unit(benchmark::kMillisecond);

void BM_ScoreFrenchPhrase(benchmark::State& state) {
    const auto path = countModelOf(kDefaultCountModels, "fr");
    const auto model = path ? CountModel::read(*path, "fr") : Message{};
    if (!model) {
        state.SkipWithError("no French word-count model installed (onboard-data)");
        return;
    }
    const std::vector<std::string_view> words{"le", "chat", "noir", "élève", "Académie", "eleve"};
    for (auto _ : state) benchmark::DoNotOptimize(model.value()->phrase(words));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
}
BENCHMARK(BM_ScoreFrenchPhrase);

}  // namespace
