// Reading a whole compiled dictionary: the system word list, compiled by our writer, walked
// with "*" and with patterns and letter filters, in file mode and in memory mode; and the walk of
// one level of a phrase search: a subset dictionary held in memory, read with what is left of
// the phrase's letters, while an outer reader keeps the image loaded.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"

namespace {

using namespace zantric;

struct Fixture {
    std::string path;
    std::size_t words = 0;
    std::uintmax_t bytes = 0;
    std::uintmax_t listBytes = 0;
};

Fixture makeFixture(const std::vector<std::string>& words, const char* fileName) {
    Fixture fixture;
    fixture.path = (std::filesystem::temp_directory_path() / fileName).string();
    bench::writeDictionary(words, fixture.path);
    fixture.words = words.size();
    fixture.bytes = std::filesystem::file_size(fixture.path);
    fixture.listBytes = std::filesystem::exists(bench::kSystemList)
                            ? std::filesystem::file_size(bench::kSystemList)
                            : 0;
    return fixture;
}

// The valid words of the system word list, compiled once into a file in the temporary folder.
const Fixture& systemDictionary() {
    static Fixture f = makeFixture(bench::systemWords(), "zantric-bench-english.lex");
    return f;
}

// Its lower-case words only: small enough to be held in memory.
const Fixture& lowerDictionary() {
    static Fixture f = makeFixture(bench::systemWords(true), "zantric-bench-lower.lex");
    return f;
}

// The words of the lower-case list that "schoolmaster" can spell: the subset dictionary that a
// phrase search of it reads at every level.
const Fixture& subsetDictionary() {
    static Fixture f = [] {
        std::vector<std::string> words;
        LetterPool from("schoolmaster");
        for (const auto& w : bench::systemWords(true)) {
            std::string word = w + ' ';
            if (from.tryWord(word.c_str(), ' ') == 0) words.push_back(w);
        }
        return makeFixture(words, "zantric-bench-subset.lex");
    }();
    return f;
}

void walk(benchmark::State& state, const char* pattern, const char* from, bool memory,
          const Fixture& f = systemDictionary()) {
    if (f.words == 0) {
        state.SkipWithError("no system word list");
        return;
    }
    LetterPool letters(from ? from : "");
    std::uint64_t checked = 0;
    std::uint64_t found = 0;
    for (auto _ : state) {
        ReadControl reads;
        DictionaryReader d(reads, f.path, memory, 5120);
        char word[kOutWordSize];
        for (MatchResult r = d.nextMatch(word, pattern, from ? &letters : nullptr);
             r == kMatchFound; r = d.nextMatch(word, nullptr)) {
            ++found;
            benchmark::DoNotOptimize(word);
        }
        checked += reads.checked();
    }
    state.counters["words/s"] = benchmark::Counter(double(checked), benchmark::Counter::kIsRate);
    state.counters["found"] = double(found) / double(state.iterations());
    state.counters["checked"] = double(checked) / double(state.iterations());
    state.counters["dict_bytes"] = double(f.bytes);
    state.counters["list_bytes"] = double(f.listBytes);
}

// One level of a phrase search: an outer reader holds the subset image (as the top level does);
// each iteration opens a reader on it and walks it with a pattern, letters, minimum length and
// start letter, as a level below does.
void level(benchmark::State& state, const char* pattern, const char* from, int minLength,
           char startLetter) {
    const Fixture& f = subsetDictionary();
    if (f.words == 0) {
        state.SkipWithError("no system word list");
        return;
    }
    ReadControl reads;
    DictionaryReader outer(reads, f.path, true, 2048);
    LetterPool letters(from);
    std::uint64_t checked = 0;
    std::uint64_t found = 0;
    for (auto _ : state) {
        const std::uint64_t before = reads.checked();
        DictionaryReader d(reads, f.path, true, 2048);
        char word[kOutWordSize];
        for (MatchResult r = d.nextMatch(word, pattern, &letters, minLength, startLetter);
             r == kMatchFound; r = d.nextMatch(word, nullptr)) {
            ++found;
            benchmark::DoNotOptimize(d.letters());
        }
        checked += reads.checked() - before;
    }
    state.counters["words/s"] = benchmark::Counter(double(checked), benchmark::Counter::kIsRate);
    state.counters["found"] = double(found) / double(state.iterations());
    state.counters["checked"] = double(checked) / double(state.iterations());
    state.counters["dict_words"] = double(f.words);
}

void BM_AllWordsFile(benchmark::State& s) { walk(s, "*", nullptr, false); }
void BM_AllWordsMemory(benchmark::State& s) { walk(s, "*", nullptr, true); }
void BM_PatternIng(benchmark::State& s) { walk(s, "*ing", nullptr, false); }
void BM_PatternCqt(benchmark::State& s) { walk(s, "c?t", nullptr, false); }
void BM_FromRetains(benchmark::State& s) { walk(s, "*", "retains", false); }
void BM_FromPhrase(benchmark::State& s) { walk(s, "*", "clinteastwood", false); }

// Loading and decoding a whole dictionary that is held in memory (what the top level of every
// phrase search does once), then walking it.
void BM_AllWordsMemoryHeld(benchmark::State& s) { walk(s, "*", nullptr, true, lowerDictionary()); }
void BM_LevelTop(benchmark::State& s) { level(s, "*", "schoolmaster", 0, 0); }
void BM_LevelSecond(benchmark::State& s) { level(s, "*", "scoolmster", 0, 0); }
void BM_LevelSuppressed(benchmark::State& s) { level(s, "*", "scoolmster", 3, 'h'); }
void BM_LevelDeep(benchmark::State& s) { level(s, "*", "soolms", 0, 0); }
void BM_LevelBlanks(benchmark::State& s) { level(s, "*", "sch??l", 0, 0); }
void BM_LevelPattern(benchmark::State& s) { level(s, "?????", "schoolmaster", 0, 0); }

BENCHMARK(BM_AllWordsFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllWordsMemoryHeld)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LevelTop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LevelSecond)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LevelSuppressed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LevelDeep)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LevelBlanks)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LevelPattern)->Unit(benchmark::kMicrosecond);
// The system list is larger than the memory-mode limit, so this reads the file too; it shows
// that the option costs nothing when the file is too big to hold.
BENCHMARK(BM_AllWordsMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternIng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PatternCqt)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FromRetains)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FromPhrase)->Unit(benchmark::kMillisecond);

}  // namespace
