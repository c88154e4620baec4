// Searches from the request to the stored results: which words and phrases are found, in which
// order, and the Found and Checked figures, over small dictionaries the tests build.
#include "core/search/search_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"
#include "core/results/results_files.h"
#include "core/results/results_header.h"
#include "core/results/results_store.h"
#include "core/search/subset_analysis.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_table.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

using Words = std::vector<std::string>;

const Words kCatDog = {"a", "at", "do", "go", "to", "act", "cat", "cog", "dog", "god", "tag"};

struct Outcome {
    Words matches;
    std::int64_t found = 0;
    std::int64_t checked = 0;
};

class SearchRunTest : public ::testing::Test {
protected:
    SearchRunTest() {
        test::TempFolder::write(
            "zantric.ini",
            "[PATHS]\nFILES=.\\files\nDICTIONARIES=.\\lexicons\nTEMP_FILES=.\\temp\n");
        std::filesystem::create_directories("lexicons");
        std::filesystem::create_directories("temp");
        Settings::resetForTests();
        Catalogue::resetForTests();
        Catalogue::instance();
        m_resultsStore = std::make_unique<ResultsStore>();
        m_messages.clear();  // the empty folder's warning
    }
    ~SearchRunTest() override {
        m_resultsStore.reset();
        Catalogue::resetForTests();
    }

    void addDictionary(const std::string& name, Words words, bool selected = true) {
        std::sort(words.begin(), words.end(), [](const auto& a, const auto& b) {
            return compareWords(a.c_str(), b.c_str()) < 0;
        });
        const std::string path = ".\\lexicons\\" + name;
        DictionaryWriter writer(path);
        for (const auto& w : words) writer.addWord(w);
        writer.close();
        Catalogue::instance().add(path);
        Catalogue::instance().setSelected(path, selected);
    }

    // Start as the window does: checks, the analysis when needed, the worker, completion.
    Outcome search(const SearchFields& fields) {
        Outcome outcome;
        SearchRun run(m_request, *m_resultsStore);
        if (run.prepare(fields) != StartOutcome::kReady) return outcome;
        if (run.analysisNeeded()) {
            SubsetAnalysis analysis(m_request.fromLetters());
            if (!run.runAnalysis(analysis)) {
                ++m_analysesFailed;
                return outcome;
            }
            ++m_analyses;
        }
        run.startWorker();
        run.join();
        run.finish(fields);
        outcome.found = run.found();
        outcome.checked = run.checked();
        const std::string data = test::TempFolder::read(nativePath(m_resultsStore->dataName()));
        if (outcome.found > 0 && data.size() > kResultsHeaderSize) {
            std::string line;
            for (std::size_t i = kResultsHeaderSize; i < data.size(); ++i) {
                if (data[i] == '\n') {
                    outcome.matches.push_back(line);
                    line.clear();
                } else {
                    line.push_back(data[i]);
                }
            }
        }
        return outcome;
    }

    test::TempFolder m_folder;
    test::RecordingPresenter m_messages;
    SearchRequest m_request;
    std::unique_ptr<ResultsStore> m_resultsStore;  // made once the folder is set up
    int m_analyses = 0;
    int m_analysesFailed = 0;
};

SearchFields fields(std::string find, std::string from, bool useAll = true, bool suppress = false) {
    SearchFields f;
    f.find = std::move(find);
    f.from = std::move(from);
    f.useAllFromLetters = useAll;
    f.suppressPermutations = suppress;
    return f;
}

// Every ordered pair of dictionary words that the letters can spell together, in search order:
// what "* *" means when letters may be left over.
Words pairsFrom(const Words& dictionary, const std::string& from) {
    std::map<char, int> pool;
    for (char c : from) ++pool[c];
    auto fits = [&](const std::string& a, const std::string& b) {
        std::map<char, int> need;
        for (char c : a + b) ++need[c];
        for (auto [c, n] : need) {
            if (pool[c] < n) return false;
        }
        return true;
    };
    Words pairs;
    for (const auto& a : dictionary) {
        for (const auto& b : dictionary) {
            if (fits(a, b)) pairs.push_back(a + " " + b);
        }
    }
    return pairs;
}

TEST_F(SearchRunTest, PhraseSearches) {
    addDictionary("catdog.lex", kCatDog);
    const struct {
        SearchFields request;
        Words matches;
        std::int32_t checked;  // -1: not pinned
    } cases[] = {
        {fields("* *", "catdog"),
         {"act dog", "act god", "cat dog", "cat god", "dog act", "dog cat", "god act", "god cat"},
         40},
        {fields("* *", "catdog", true, true), {"act dog", "act god", "cat dog", "cat god"}, 28},
        {fields("* *", "catdog", false), pairsFrom(kCatDog, "catdog"), -1},
        {fields("c?t *", "catdog"), {"cat dog", "cat god"}, -1},
        {fields("cat !", "catdog"), {"cat dog", "cat god"}, -1},
        {fields("cat !", "cat"), {"cat"}, -1},
        // The first word takes the only vowel: the second level is a dead end.
        {fields("* *", "cat", false), {}, -1},
        {fields("* *", "bcd"), {}, -1},
        {fields("a a a a a a a a a a a a a a a a", std::string(16, 'a')), {}, -1},
        {fields("a a a", "aaa"), {"a a a"}, -1},
    };
    for (const auto& c : cases) {
        const Outcome outcome = search(c.request);
        const std::string name = c.request.find + " from " + c.request.from;
        EXPECT_EQ(outcome.matches, c.matches) << name;
        EXPECT_EQ(outcome.found, static_cast<std::int64_t>(c.matches.size())) << name;
        if (c.checked >= 0) {
            EXPECT_EQ(outcome.checked, c.checked) << name;
        }
    }
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(SearchRunTest, SingleWordSearchesReadEverySelectedDictionary) {
    addDictionary("one.lex", {"cat", "cot", "dog", "tea"});
    addDictionary("two.lex", {"cat", "cut", "tee", "Tea"});
    addDictionary("three.lex", {"cat"}, false);
    const struct {
        SearchFields request;
        Words matches;
        std::int32_t checked;
    } cases[] = {
        // one.lex reads cat, cot, dog (3); two.lex cat, cut, tee (3).
        {fields("c?t", ""), {"cat", "cot", "cat", "cut"}, 6},
        // one.lex: cat, then the e block: tea (2); two.lex: cat, Tea, tee (3).
        {fields("*", "tae"), {"tea", "Tea"}, 5},
        {fields("t??", "", false), {"tea", "Tea", "tee"}, 3},
    };
    for (const auto& c : cases) {
        const Outcome outcome = search(c.request);
        EXPECT_EQ(outcome.matches, c.matches) << c.request.find;
        EXPECT_EQ(outcome.checked, c.checked) << c.request.find;
    }
    SearchFields include = fields("t??", "", false);
    include.include = "ee";
    EXPECT_EQ(search(include).matches, Words{"tee"});
    SearchFields exclude = fields("*", "", false);
    exclude.exclude = "aeiouy";
    EXPECT_EQ(search(exclude).matches, Words{});
}

TEST_F(SearchRunTest, AnalysisIsReusedForTheSameLetters) {
    addDictionary("catdog.lex", kCatDog);
    search(fields("* *", "catdog"));
    search(fields("* *", "catdog", true, true));
    EXPECT_EQ(m_analyses, 1);
    search(fields("c?t", ""));  // a single-word search forgets the analysed letters
    search(fields("* *", "catdog"));
    EXPECT_EQ(m_analyses, 2);
    // A changed stoplist leaves its words out of a new analysis.
    m_request.setFilters({0, false, std::make_shared<Stoplist>(Words{"god"})});
    EXPECT_EQ(search(fields("* *", "catdog")).matches,
              (Words{"act dog", "cat dog", "dog act", "dog cat"}));
    EXPECT_EQ(m_analyses, 3);
    m_request.setFilters({});
    // Letters that spell no word: the search ends at once with nothing found, silently.
    EXPECT_EQ(search(fields("* *", "zzqq")).found, 0);
    EXPECT_EQ(m_analysesFailed, 1);
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(SearchRunTest, NoDictionarySelected) {
    addDictionary("catdog.lex", kCatDog, false);
    SearchRun run(m_request, *m_resultsStore);
    EXPECT_EQ(run.prepare(fields("*", "")), StartOutcome::kNoDictionary);
    ASSERT_EQ(m_messages.count(), 1u);
    EXPECT_EQ(m_messages.last().text, loadString(706));
    EXPECT_EQ(m_messages.last().title, "No Dictionaries Selected");
    EXPECT_EQ(m_messages.beeps(), 1);
}

TEST_F(SearchRunTest, CancelKeepsWhatWasFound) {
    Words many;
    for (char a = 'a'; a <= 'z'; ++a) {
        for (char b = 'a'; b <= 'z'; ++b) {
            for (char c = 'a'; c <= 'z'; ++c) many.push_back(std::string{a, b, c});
        }
    }
    addDictionary("many.lex", many);
    SearchFields all = fields("???", "", false);
    SearchRun run(m_request, *m_resultsStore);
    ASSERT_EQ(run.prepare(all), StartOutcome::kReady);
    run.pause();  // the worker waits at its first word
    run.startWorker();
    EXPECT_FALSE(run.waitForEnd(std::chrono::milliseconds(20)));
    run.cancel();
    run.resume();
    EXPECT_TRUE(run.waitForEnd(std::chrono::seconds(60)));
    EXPECT_FALSE(run.running());
    run.join();
    run.finish(all);
    EXPECT_LT(run.found(), static_cast<std::int64_t>(many.size()));
    EXPECT_EQ(run.found(), m_resultsStore->count());
}

// The results store stops a search when the next match would not fit (4 GiB of data or
// 2,147,483,647 rows, lowered here) or at the match limit: the matches before it are kept, in
// order, and nothing after it is stored, whether the match comes from a single-word walk, a
// phrase completed by a walk ("act god") or a replayed sub-search ("cat dog" replays what "act"
// left).
TEST_F(SearchRunTest, StoreThatTakesNoMoreStopsTheSearch) {
    addDictionary("catdog.lex", kCatDog);
    const Words phrases = search(fields("* *", "catdog")).matches;
    const Words words = search(fields("*", "catdog", false)).matches;
    ASSERT_EQ(phrases.size(), 8u);
    constexpr std::uint64_t kBytes = std::numeric_limits<std::uint64_t>::max();
    constexpr std::int64_t kRows = std::numeric_limits<std::int64_t>::max();
    const struct {
        SearchFields request;
        std::uint64_t bytes;
        std::int64_t rows;
        std::int64_t limit;
        StoreStop stop;
        std::size_t kept;
        const char* said;  // the box, or the status text of the limit
    } cases[] = {
        {fields("* *", "catdog"), 344 + 16, kRows, 0, StoreStop::kFull, 2,
         "The results file is full: Zantric kept the first 2 matches."},
        {fields("* *", "catdog"), kBytes, 1, 0, StoreStop::kFull, 1,
         "The results file is full: Zantric kept the first 1 matches."},
        {fields("* *", "catdog"), kBytes, 3, 0, StoreStop::kFull, 3,
         "The results file is full: Zantric kept the first 3 matches."},
        {fields("* *", "catdog"), kBytes, kRows, 3, StoreStop::kLimit, 3,
         "Stopped after 3 matches."},
        {fields("* *", "catdog"), kBytes, 8, 0, StoreStop::kNone, 8, ""},
        {fields("*", "catdog", false), kBytes, 4, 0, StoreStop::kFull, 4,
         "The results file is full: Zantric kept the first 4 matches."},
        {fields("*", "catdog", false), kBytes, kRows, 2, StoreStop::kLimit, 2,
         "Stopped after 2 matches."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.request.find << " bytes " << c.bytes << " rows "
                                        << c.rows << " limit " << c.limit);
        ResultsStore::setCapacityForTests(c.bytes, c.rows);
        m_resultsStore->setMatchLimit(c.limit);
        m_messages.clear();
        const Outcome outcome = search(c.request);
        ResultsStore::setCapacityForTests(kBytes, kRows);
        m_resultsStore->setMatchLimit(0);
        const Words& all = c.request.find == "*" ? words : phrases;
        EXPECT_EQ(outcome.matches, Words(all.begin(), all.begin() + c.kept));
        EXPECT_EQ(outcome.found, static_cast<std::int64_t>(c.kept));
        EXPECT_EQ(m_resultsStore->stopped(), c.stop);
        EXPECT_EQ(test::TempFolder::read(nativePath(m_resultsStore->indexName())).size(),
                  4 * (c.kept + 1));
        SearchRun run(m_request, *m_resultsStore);
        run.reportStop();
        const std::string said = c.stop == StoreStop::kLimit ? run.limitText()
                                 : m_messages.count() > 0    ? m_messages.last().text
                                                             : "";
        EXPECT_EQ(said, c.said);
        if (c.stop == StoreStop::kFull) {
            EXPECT_EQ(m_messages.last().title, "Warning");
        }
    }
}

// Checked counts on past 2^31 and 2^32 (the counter is started near them): the search, the
// export's line and the results header, which keeps the largest count its field holds.
TEST_F(SearchRunTest, CountsPastThirtyTwoBits) {
    addDictionary("catdog.lex", kCatDog);
    for (const std::uint64_t start : {(std::uint64_t{1} << 31) - 8, (std::uint64_t{1} << 32) - 8}) {
        DictionaryReader::startCheckedAtForTests(start);
        const Outcome outcome = search(fields("* *", "catdog"));
        DictionaryReader::startCheckedAtForTests(0);
        const auto checked = static_cast<std::int64_t>(start + 40);
        EXPECT_EQ(outcome.checked, checked);
        const std::string data = test::TempFolder::read(nativePath(m_resultsStore->dataName()));
        ASSERT_GE(data.size(), kResultsHeaderSize);
        EXPECT_EQ(data.substr(kCheckedOffset, 4), std::string("\xFF\xFF\xFF\x7F", 4));
        SearchSummary shown;
        shown.checked = outcome.checked;
        EXPECT_NE(
            asciiExportHeader(shown, outcome.found)
                .find("Words Checked: " + std::to_string(checked) + "\nWords Found:         8"),
            std::string::npos);
    }
}

// A cancel, and the pause of the cancel question, reach the replay of a remembered sub-search:
// "bz" and "zb" leave the same letters, so everything after "bz"'s phrases is one replay. Paused
// inside it, the search stores nothing more; cancelled, it ends at once. Two search threads: the
// pause and the cancel reach both.
TEST_F(SearchRunTest, CancelAndPauseReachAReplay) {
    Words words = {"bz", "zb"};
    const std::string vowels = "aeiou";
    for (char a : vowels) {
        words.push_back(std::string{a});
        for (char b : vowels) {
            words.push_back(std::string{a, b});
            for (char c : vowels) words.push_back(std::string{a, b, c});
        }
    }
    addDictionary("vowels.lex", words);
    const SearchFields request = fields("*z* !", "bzaeiouaei");
    constexpr std::int64_t kFirstWordPhrases = 408240;  // "bz" and then each of these
    SearchRun run(m_request, *m_resultsStore);
    run.setThreads(2);  // "zb" waits for "bz"'s sub-search on the other thread, then replays it
    ASSERT_EQ(run.prepare(request), StartOutcome::kReady);
    SubsetAnalysis analysis(m_request.fromLetters());
    ASSERT_TRUE(run.runAnalysis(analysis));
    run.startWorker();
    while (run.found() <= kFirstWordPhrases && run.running()) {
    }
    run.pause();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::int64_t paused = run.found();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(run.found(), paused) << "the replay went on under the pause";
    EXPECT_LT(paused, 2 * kFirstWordPhrases) << "paused too late to be inside the replay";
    const auto cancelled = std::chrono::steady_clock::now();
    run.cancel();
    run.resume();
    while (run.running()) {
    }
    const auto delay = std::chrono::steady_clock::now() - cancelled;
    run.join();
    run.finish(request);
    EXPECT_EQ(run.found(), paused);
    // Seen within the 100 ms that every phase of a search answers in.
    EXPECT_LT(delay, std::chrono::milliseconds(100))
        << std::chrono::duration_cast<std::chrono::milliseconds>(delay).count() << " ms";
}

// The pair a search writes is the pair the programs delete at the end, by the catalogue's names.
TEST_F(SearchRunTest, DefaultStoreTakesTheCatalogueNamesAndTheIniTabSize) {
    for (const auto& [ini, tabSize] :
         {std::pair<std::string, int>{"", 6}, {"[SETTINGS]\nTab Size=9\n", 9}}) {
        if (!ini.empty()) test::TempFolder::write("zantric.ini", ini);
        Settings::resetForTests();
        Catalogue::resetForTests();
        ResultsStore results;
        EXPECT_EQ(results.tabSize(), tabSize);
        EXPECT_EQ(results.dataName(), Catalogue::instance().resultsDataName());
        EXPECT_EQ(results.indexName(), Catalogue::instance().resultsIndexName());
    }
}

}  // namespace
}  // namespace zantric
