// Searches over the system word list: single-word patterns, the subset analysis before a phrase
// search, and phrase searches of one to many words, each with its Found and Checked figures.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/results/results_store.h"
#include "core/search/search_level.h"
#include "core/search/search_request.h"
#include "core/search/subset_analysis.h"
#include "core/shell/messages.h"

namespace {

using namespace zantric;

bool setUp(SearchRequest& request, const SearchFields& fields) {
    return bench::enterProgramFolder() && request.build(fields);
}

void report(benchmark::State& state, double found, double checked) {
    const double runs = static_cast<double>(state.iterations());
    state.counters["found"] = found / runs;
    state.counters["checked"] = checked / runs;
    state.counters["found/s"] = benchmark::Counter(found, benchmark::Counter::kIsRate);
}

void singleWord(benchmark::State& state, const char* find, const char* from, bool useAll) {
    SearchRequest request(bench::workspace());
    if (!setUp(request, SearchFields{find, from, "", "", useAll, false})) {
        state.SkipWithError("no system word list or a refused request");
        return;
    }
    double found = 0, checked = 0;
    for (auto _ : state) {
        ResultsStore results(bench::workspace().settings, bench::workspace().prompter);
        std::atomic<std::int64_t> base{0};
        ReadControl reads;
        SearchLevel top(request, reads, base);
        top.run(results);
        found += results.count();
        checked += reads.checked() + base.load();
    }
    report(state, found, checked);
}

// The analysis alone, then the phrase search over the subset it leaves.
void analysis(benchmark::State& state, const char* from) {
    SearchRequest request(bench::workspace());
    if (!setUp(request, SearchFields{"!", from, "", "", true, true})) {
        state.SkipWithError("no system word list");
        return;
    }
    double found = 0, checked = 0;
    for (auto _ : state) {
        SubsetAnalysis work(request.workspace(), request.fromLetters());
        work.run();
        found += work.matchesFound();
        checked += work.checked();
    }
    report(state, found, checked);
}

// A phrase search; with a minimum word length or each word once, the filtered search.
void phrase(benchmark::State& state, const char* find, const char* from, int minWordLength = 0,
            bool eachWordOnce = false) {
    SearchRequest request(bench::workspace());
    request.setFilters({minWordLength, eachWordOnce, nullptr});
    if (!setUp(request, SearchFields{find, from, "", "", true, true})) {
        state.SkipWithError("no system word list");
        return;
    }
    SubsetAnalysis work(request.workspace(), request.fromLetters());
    work.run();
    request.noteAnalysis(work.shortestWord(), work.struck(), work.keptVowelless());
    double found = 0, checked = 0;
    for (auto _ : state) {
        ResultsStore results(bench::workspace().settings, bench::workspace().prompter);
        std::atomic<std::int64_t> base{0};
        ReadControl reads;
        SearchLevel top(request, reads, base);
        top.run(results);
        found += results.count();
        checked += reads.checked();
    }
    report(state, found, checked);
}

// `!` with Suppress Permutations on 1, 2 and 4 search threads: wall and whole-process CPU time.
void phraseThreads(benchmark::State& state, const char* from) {
    SearchRequest request(bench::workspace());
    if (!setUp(request, SearchFields{"!", from, "", "", true, true})) {
        state.SkipWithError("no system word list");
        return;
    }
    SubsetAnalysis work(request.workspace(), request.fromLetters());
    work.run();
    request.noteAnalysis(work.shortestWord(), work.struck(), work.keptVowelless());
    double found = 0, checked = 0;
    for (auto _ : state) {
        ResultsStore results(bench::workspace().settings, bench::workspace().prompter);
        std::atomic<std::int64_t> base{0};
        ReadControl reads;
        SearchLevel top(request, reads, base, nullptr, static_cast<int>(state.range(0)));
        top.run(results);
        found += results.count();
        checked += reads.checked();
    }
    report(state, found, checked);
}

BENCHMARK_CAPTURE(singleWord, c_t, "c?t", "", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(singleWord, star_ing, "*ing", "", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(singleWord, from_retains, "*", "retains", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(singleWord, from_retains_not_all, "*", "retains", false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(singleWord, seven_from_retains, "???????", "retains", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(analysis, clinteaswo, "clinteaswo")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(phrase, clinteaswo, "!", "clinteaswo")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(phrase, clinteaswo_min3, "!", "clinteaswo", 3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(phrase, clinteaswo_once, "!", "clinteaswo", 0, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(analysis, schoolmaster, "schoolmaster")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(phrase, schoolmaster, "!", "schoolmaster")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(phrase, schoolmaster_min3, "!", "schoolmaster", 3)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(phrase, schoolmaster_once, "!", "schoolmaster", 0, true)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(phraseThreads, schoolmaster, "schoolmaster")
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(phraseThreads, clinteastwood, "clinteastwood")
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
// Two and three levels: the top level's walk and, for each word it accepts, the levels below.
BENCHMARK_CAPTURE(phrase, two_words_schoolmaster, "* *", "schoolmaster")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(phrase, three_words_schoolmaster, "* * *", "schoolmaster")
    ->Unit(benchmark::kMillisecond);

}  // namespace
