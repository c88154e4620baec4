// Reading a whole compiled dictionary: the system word list, compiled by our writer, walked
// with "*" and with patterns and letter filters, in file mode and in memory mode.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/dictionary/compress_dictionary.h"
#include "core/dictionary/dictionary.h"
#include "core/dictionary/word_order.h"
#include "bench_support.h"

namespace {

using namespace zantric;

struct Fixture {
    std::string path;
    std::size_t words = 0;
    std::uintmax_t bytes = 0;
    std::uintmax_t listBytes = 0;
};

// The valid words of the system word list, compiled once into a file in the temporary folder.
const Fixture& systemDictionary() {
    static Fixture f = [] {
        Fixture fixture;
        const auto words = bench::systemWords();
        fixture.path = (std::filesystem::temp_directory_path() / "zantric-bench-english.lex").string();
        bench::writeDictionary(words, fixture.path);
        fixture.words = words.size();
        fixture.bytes = std::filesystem::file_size(fixture.path);
        fixture.listBytes = std::filesystem::exists(bench::kSystemList)
                                ? std::filesystem::file_size(bench::kSystemList)
                                : 0;
        return fixture;
    }();
    return f;
}

void walk(benchmark::State& state, const char* pattern, const char* from, bool memory) {
    const Fixture& f = systemDictionary();
    if (f.words == 0) {
        state.SkipWithError("no system word list");
        return;
    }
    SrcLetters letters(from ? from : "");
    std::uint64_t checked = 0;
    std::uint64_t found = 0;
    for (auto _ : state) {
        Dictionary d(f.path, memory, 5120);
        char word[kOutWordSize];
        for (int r = d.nextMatch(word, pattern, from ? &letters : nullptr); r == kMatchFound;
             r = d.nextMatch(word, nullptr)) {
            ++found;
            benchmark::DoNotOptimize(word);
        }
        checked += Dictionary::checked();
    }
    state.counters["words/s"] = benchmark::Counter(double(checked), benchmark::Counter::kIsRate);
    state.counters["found"] = double(found) / double(state.iterations());
    state.counters["checked"] = double(checked) / double(state.iterations());
    state.counters["dict_bytes"] = double(f.bytes);
    state.counters["list_bytes"] = double(f.listBytes);
}

void BM_AllWordsFile(benchmark::State& s) { walk(s, "*", nullptr, false); }
void BM_AllWordsMemory(benchmark::State& s) { walk(s, "*", nullptr, true); }
void BM_PatternIng(benchmark::State& s) { walk(s, "*ing", nullptr, false); }
void BM_PatternCqt(benchmark::State& s) { walk(s, "c?t", nullptr, false); }
void BM_FromRetains(benchmark::State& s) { walk(s, "*", "retains", false); }
void BM_FromPhrase(benchmark::State& s) { walk(s, "*", "clinteastwood", false); }

BENCHMARK(BM_AllWordsFile)->Unit(benchmark::kMillisecond);
// The system list is larger than the memory-mode limit, so this reads the file too; it shows
// that the option costs nothing when the file is too big to hold.
BENCHMARK(BM_AllWordsMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternIng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternCqt)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FromRetains)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FromPhrase)->Unit(benchmark::kMillisecond);

}  // namespace
