// Searches from the request to the stored results, started as the window starts them (checks,
// the analysis when needed, the worker, completion): which words and phrases are found, in which
// order, the Found and Checked figures, the stops, and cancel and pause from another thread.
#include "core/search/search_run.h"

#include <chrono>
#include <limits>
#include <sstream>
#include <thread>

#include "core/results/results_files.h"
#include "core/results/results_header.h"
#include "core/search/match_sink.h"
#include "core/search/phrase_filters.h"
#include "core/search/subset_analysis.h"
#include "core/shell/paths.h"
#include "support/dictionary_files.h"

namespace zantric {
namespace {

using test::lexPath;
using test::TempFolder;
using test::Words;
using test::writeDictionary;

struct SearchOutcome {
    std::int64_t found = 0, checked = 0;
    std::string lines;  // the data file behind its header
    Words matches;      // the same, line by line
    bool filtersChanged = false;
};

SearchFields fields(const char* find, std::string from, bool useAll = true, bool suppress = false,
                    const char* include = "", const char* exclude = "") {
    return {find, std::move(from), include, exclude, useAll, suppress};
}

class SearchFixture : public test::ProgramFolderTest {
protected:
    SearchFixture() {
        Catalogue::instance();
        m_messages.clear();  // the empty folder's warning
    }

    // The words, in dictionary order, as the dictionary `name` of the catalogue.
    void addDictionary(const std::string& name, const Words& words, bool selected = true) {
        writeDictionary(lexPath(name), words);
        Catalogue::instance().add(lexPath(name));
        Catalogue::instance().setSelected(lexPath(name), selected);
    }

    // threads 0: as many search threads as the machine has cores.
    SearchOutcome search(const SearchFields& fields, int threads = 0) {
        SearchOutcome outcome;
        SearchRun run(m_request, m_results, m_checkedStart);
        run.setThreads(threads);
        run.setKeptLimit(m_keptLimit);
        if (run.prepare(fields) != StartOutcome::kReady) return outcome;
        if (run.analysisNeeded()) {
            SubsetAnalysis analysis(m_request.fromLetters());
            const bool done = run.runAnalysis(analysis);
            ++(done ? m_analyses : m_analysesFailed);
            if (!done) return outcome;
        }
        run.startWorker();
        run.join();
        run.finish(fields);
        outcome = {run.found(), run.checked(), "", {}, run.filtersChanged()};
        const std::string data = TempFolder::read(nativePath(m_results.dataName()));
        if (outcome.found > 0 && data.size() > kResultsHeaderSize)
            outcome.lines = data.substr(kResultsHeaderSize);
        std::istringstream in(outcome.lines);
        for (std::string line; std::getline(in, line);) outcome.matches.push_back(line);
        return outcome;
    }

    SearchRequest m_request;
    ResultsStore m_results;  // by the catalogue's names
    int m_analyses = 0, m_analysesFailed = 0;
    std::uint64_t m_checkedStart = 0;  // where Checked starts
    std::size_t m_keptLimit = 0;       // the search threads' kept matches (0: the usual)
};

const Words kCatDog = {"a", "at", "do", "go", "to", "act", "cat", "cog", "dog", "god", "tag"};

class SearchRunTest : public SearchFixture {
protected:
    void SetUp() override { addDictionary("catdog.lex", test::inWordOrder(kCatDog)); }
};

struct Case {
    SearchFields request;
    Words matches;
    std::int64_t checked = -1;  // -1: not compared
};

TEST_F(SearchRunTest, PhraseAndSingleWordSearches) {
    const Case phrases[] = {
        // Every ordered pair the letters spell when letters may be left over, in search order.
        {fields("* *", "catdog", false),
         {"a do",    "a go",    "a to",    "a cog",   "a dog",   "a god",   "at do",   "at go",
          "at cog",  "at dog",  "at god",  "do a",    "do at",   "do act",  "do cat",  "do tag",
          "go a",    "go at",   "go act",  "go cat",  "to a",    "act do",  "act go",  "act dog",
          "act god", "cat do",  "cat go",  "cat dog", "cat god", "cog a",   "cog at",  "dog a",
          "dog at",  "dog act", "dog cat", "god a",   "god at",  "god act", "god cat", "tag do"}},
        {fields("cat !", "cat"), {"cat"}},
        {fields("* *", "cat", false), {}},  // the first word takes the only vowel
        {fields("* *", "bcd"), {}},
        {fields("a a a a a a a a a a a a a a a a", std::string(16, 'a')), {}},
        {fields("a a a", "aaa"), {"a a a"}},
    };
    const Case words[] = {
        // one.lex reads cat, cot, dog (3); two.lex cat, cut, tee (3).
        {fields("c?t", ""), {"cat", "cot", "cat", "cut"}, 6},
        // one.lex: cat, then the e block: tea (2); two.lex: cat, Tea, tee (3).
        {fields("*", "tae"), {"tea", "Tea"}, 5},
        {fields("t??", "", false), {"tea", "Tea", "tee"}, 3},
        {fields("t??", "", false, false, "ee"), {"tee"}},
        {fields("*", "", false, false, "", "aeiouy"), {}},
    };
    auto check = [this](const Case& c) {
        const SearchOutcome outcome = search(c.request);
        EXPECT_EQ(outcome.matches, c.matches) << c.request.find << " from " << c.request.from;
        EXPECT_EQ(std::pair(outcome.found, c.checked < 0 ? -1 : outcome.checked),
                  std::pair(static_cast<std::int64_t>(c.matches.size()), c.checked));
    };
    for (const Case& c : phrases) check(c);
    // Every selected dictionary is read, and only those.
    Catalogue::instance().setSelected(lexPath("catdog.lex"), false);
    addDictionary("one.lex", test::inWordOrder({"cat", "cot", "dog", "tea"}));
    addDictionary("two.lex", test::inWordOrder({"cat", "cut", "tee", "Tea"}));
    for (const Case& c : words) check(c);
    EXPECT_EQ(m_messages.count(), 0u);
}

TEST_F(SearchRunTest, AnalysisIsReusedForTheSameLetters) {
    search(fields("* *", "catdog"));
    search(fields("* *", "catdog", true, true));
    EXPECT_EQ(m_analyses, 1);
    search(fields("c?t", ""));  // a single-word search forgets the analysed letters
    search(fields("* *", "catdog"));
    EXPECT_EQ(m_analyses, 2);
    // A changed stoplist leaves its words out of a new analysis.
    m_request.setFilters({0, false, std::make_shared<Stoplist>(Words{"god"})});
    const SearchOutcome struck = search(fields("* *", "catdog"));
    EXPECT_EQ(struck.matches, (Words{"act dog", "cat dog", "dog act", "dog cat"}));
    EXPECT_TRUE(struck.filtersChanged);
    EXPECT_EQ(m_analyses, 3);
    // A stoplist that strikes nothing leaves "Filters on" off.
    m_request.setFilters({0, false, std::make_shared<Stoplist>(Words{"xyz"})});
    EXPECT_FALSE(search(fields("* *", "catdog")).filtersChanged);
    m_request.setFilters({});
    // Letters that spell no word: the search ends at once with nothing found, silently.
    EXPECT_EQ(search(fields("* *", "zzqq")).found, 0);
    EXPECT_EQ(m_analysesFailed, 1);
    EXPECT_EQ(m_messages.count(), 0u);
}

// The results store stops a search when the next match would not fit (4 GiB of data or
// 2,147,483,647 rows, lowered here) or at the match limit: the matches before it are kept, in
// order, and nothing after it is stored, whether the match comes from a single-word walk, a
// phrase completed by a walk ("act god") or a replayed sub-search ("cat dog" replays what "act"
// left).
TEST_F(SearchRunTest, StoreThatTakesNoMoreStopsTheSearch) {
    const Words phrases = search(fields("* *", "catdog")).matches;
    const Words words = search(fields("*", "catdog", false)).matches;
    ASSERT_EQ(phrases.size(), 8u);
    constexpr std::uint64_t kBytes = std::numeric_limits<std::uint64_t>::max();
    constexpr std::int64_t kRows = std::numeric_limits<std::int64_t>::max();
    const std::string full = "The results file is full: Zantric kept the first ";
    // FIND, bytes and rows that fit, the match limit, the stop, the matches kept, and the box or
    // the status text of the limit
    const std::tuple<const char*, std::uint64_t, std::int64_t, std::int64_t, StoreStop, std::size_t,
                     std::string>
        cases[] = {
            {"* *", 344 + 16, kRows, 0, StoreStop::kFull, 2, full + "2 matches."},
            {"* *", kBytes, 1, 0, StoreStop::kFull, 1, full + "1 matches."},
            {"* *", kBytes, 3, 0, StoreStop::kFull, 3, full + "3 matches."},
            {"* *", kBytes, 8, 0, StoreStop::kNone, 8, ""},
            {"*", kBytes, 4, 0, StoreStop::kFull, 4, full + "4 matches."},
            {"*", kBytes, kRows, 2, StoreStop::kLimit, 2, "Stopped after 2 matches."},
        };
    for (const auto& [find, bytes, rows, limit, stop, kept, said] : cases) {
        SCOPED_TRACE(testing::Message()
                     << find << " bytes " << bytes << " rows " << rows << " limit " << limit);
        m_results.setCapacity(bytes, rows);
        m_results.setMatchLimit(limit);
        m_messages.clear();
        const bool phrase = std::string(find) == "* *";
        const SearchOutcome outcome = search(fields(find, "catdog", phrase));
        m_results.setCapacity(kBytes, kRows);
        m_results.setMatchLimit(0);
        const Words& all = phrase ? phrases : words;
        EXPECT_EQ(outcome.matches, Words(all.begin(), all.begin() + kept));
        SearchRun run(m_request, m_results);
        run.reportStop();
        EXPECT_EQ(std::tuple(outcome.found, m_results.stopped(),
                             test::TempFolder::read(nativePath(m_results.indexName())).size(),
                             stop == StoreStop::kLimit ? run.limitText() : m_messages.last().text,
                             m_messages.last().title),
                  std::tuple(static_cast<std::int64_t>(kept), stop, 4 * (kept + 1), said,
                             stop == StoreStop::kFull ? "Warning" : ""));
    }
}

// Checked counts on past 2^31 and 2^32 (the counter is started near them): the search, the
// export's line and the results header, which keeps the largest count its field holds.
TEST_F(SearchRunTest, CountsPastThirtyTwoBits) {
    for (const std::uint64_t start : {(std::uint64_t{1} << 31) - 8, (std::uint64_t{1} << 32) - 8}) {
        m_checkedStart = start;
        const SearchOutcome outcome = search(fields("* *", "catdog"));
        m_checkedStart = 0;
        const auto checked = static_cast<std::int64_t>(start + 40);
        const std::string data = test::TempFolder::read(nativePath(m_results.dataName()));
        SearchSummary shown;
        shown.checked = outcome.checked;
        EXPECT_EQ(std::pair(outcome.checked, data.substr(kCheckedOffset, 4)),
                  std::pair(checked, std::string("\xFF\xFF\xFF\x7F", 4)));
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
    Words words = {"bz", "zb"};  // and every word of one to three vowels
    for (const char* a : {"a", "e", "i", "o", "u"})
        for (const char* b : {"", "a", "e", "i", "o", "u"})
            for (const char* c : {"", "a", "e", "i", "o", "u"})
                if (*b != '\0' || *c == '\0') words.push_back(std::string(a).append(b).append(c));
    Catalogue::instance().setSelected(lexPath("catdog.lex"), false);
    addDictionary("vowels.lex", test::inWordOrder(words));
    const SearchFields request = fields("*z* !", "bzaeiouaei");
    constexpr std::int64_t kFirstWordPhrases = 408240;  // "bz" and then each of these
    SearchRun run(m_request, m_results);
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

// The pair a search writes is the pair the programs delete at the end, by the catalogue's names;
// an ini without Phrase Options gives their defaults (shortest word 1, repeats, the stoplist on).
TEST_F(SearchRunTest, DefaultStoreTakesTheCatalogueNamesAndTheIniTabSize) {
    test::TempFolder::write("zantric.ini", "[SETTINGS]\nTab Size=9\n");
    Settings::resetForTests();
    Catalogue::resetForTests();
    ResultsStore results;
    EXPECT_EQ(std::tuple(results.tabSize(), results.dataName(), results.indexName()),
              std::tuple(9, Catalogue::instance().resultsDataName(),
                         Catalogue::instance().resultsIndexName()));
    EXPECT_TRUE(readPhraseOptions() == PhraseOptions{});
}

// Phrase searches over a generated dictionary in which the same sub-search recurs many times:
// the phrases, their order, Found and Checked must be exactly those of walking every level, for
// bangs, trailing "*" words, fixed letters, blanks, capitals and hyphens, letters left over, and
// phrases cut short by the fifteen readers. The figures were taken from a search that walked
// every level without reusing any. The phrase filters must give exactly the unfiltered phrases
// that pass them, in the same order, reading no more words. Every search runs on one search thread
// and on two, with the same outcome.
// A fixed pseudo-random dictionary over few letters, so that phrases abound.
Words generatedWords() {
    Words words = {"a", "aa", "aaa", "I", "Al", "ab-c", "e-mail", "well-off"};
    std::uint64_t state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(state >> 33);
    };
    const std::string letters = "aeinorstlcdu";
    for (int i = 0; i < 2500; ++i) {
        std::string w(1 + next() % 7, 'a');
        for (auto& c : w) c = letters[next() % letters.size()];
        if (next() % 10 == 0) w[0] = static_cast<char>(w[0] - 'a' + 'A');
        if (w.size() > 2 && next() % 15 == 0) w.insert(1 + next() % (w.size() - 1), "-");
        words.push_back(w);
    }
    return test::inWordOrder(words);  // a word drawn twice is stored once either way
}

class PhraseSearch : public SearchFixture {
protected:
    PhraseSearch() { addDictionary("generated.lex", generatedWords()); }

    // The search on one search thread; on two and on three it must give the same, byte for
    // byte. The two keep little in memory, so that a thread ahead of the next word also waits
    // for its turn; the three keep as much as they may, in many blocks.
    SearchOutcome search(const SearchFields& fields) {
        SearchOutcome one = SearchFixture::search(fields, 1);
        for (const int threads : {2, 3}) {
            m_keptLimit = threads == 2 ? 4096 : 0;
            const SearchOutcome more = SearchFixture::search(fields, threads);
            m_keptLimit = 0;
            EXPECT_EQ(std::tie(more.lines, more.found, more.checked, more.filtersChanged),
                      std::tie(one.lines, one.found, one.checked, one.filtersChanged))
                << threads << " threads";
        }
        return one;
    }
};

TEST_F(PhraseSearch, SameAsWalkingEveryLevel) {
    const struct {
        const char* find;
        const char* from;
        bool useAll, suppress;
        std::int64_t found, checked;
        std::uint64_t hash;  // of the match lines, in order
        const char* first;
    } cases[] = {
        {"!", "nitrates", true, true, 19923, 577676, 14159101269909199397ULL, "A E N r S T it"},
        {"!", "tailor", true, false, 54101, 282791, 6650555135595730620ULL, "A I L r T O"},
        {"* * *", "reasonl", false, true, 8359, 44498, 8141889611527566502ULL, "A E L"},
        {"* * *", "citadel", true, false, 5108, 71199, 14769886321573232257ULL, "A I Dclet"},
        {"c?t !", "cattiness", true, true, 764, 18508, 6246029310890057087ULL, "Cat E N S S it"},
        {"a* * *", "artisanal", true, true, 408, 16681, 1284161750775995485ULL, "A ial santr"},
        {"!", "tea?rs", true, true, 16056, 308579, 18433572055116227028ULL, "A A r S et"},
        {"* ?? *", "coastl", false, false, 4184, 15216, 17094708913256173892ULL, "A Cl O"},
        {"!", "Retinal", true, true, 6670, 143764, 8389226285882884157ULL, "A E L N r it"},
        {"!", "aaaaaaaaaaaaa", true, true, 18542, 46355, 8449486242271061129ULL,
         "A A A A A A A A A A A A A"},
        {"!", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", true, true, 62, 1834572,
         2112671803621486045ULL, "A A Aa aaa aaa aaa aaa aaa aaa aaa aaa aaa aaa aaa aaa"},
        {"* * * *", "sardine", false, true, 6701, 96271, 17007018653500231771ULL, "A D E I"},
        {"!", "dilat?", true, true, 18875, 346871, 3365487038078788247ULL, "A A D L it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.find << " from " << c.from);
        const SearchOutcome outcome = search({c.find, c.from, "", "", c.useAll, c.suppress});
        std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a
        for (unsigned char byte : outcome.lines) hash = (hash ^ byte) * 1099511628211ULL;
        EXPECT_EQ(std::tuple(outcome.found, outcome.matches.size(), outcome.checked, hash,
                             outcome.matches.empty() ? "" : outcome.matches[0]),
                  std::tuple(c.found, static_cast<std::size_t>(c.found), c.checked, c.hash,
                             std::string(c.first)));
    }
}

// Whether a phrase passes the filters, word by word: the brute-force check.
bool passes(const std::string& phrase, const PhraseFilters& filters) {
    std::vector<std::string> words;
    std::istringstream in(phrase);
    for (std::string word; in >> word;) {
        if (static_cast<int>(word.size() - std::count(word.begin(), word.end(), '-')) <
                filters.minWordLength ||
            (filters.stoplist && filters.stoplist->contains(word)))
            return false;
        std::transform(word.begin(), word.end(), word.begin(),
                       [](char c) { return static_cast<char>(std::tolower(c)); });
        if (filters.eachWordOnce && std::count(words.begin(), words.end(), word) > 0) return false;
        words.push_back(word);
    }
    return true;
}

TEST_F(PhraseSearch, FiltersGiveTheUnfilteredPhrasesThatPass) {
    const SearchFields requests[] = {
        {"!", "nitrates", "", "", true, true},     {"!", "tailor", "", "", true, false},
        {"* * *", "reasonl", "", "", false, true}, {"c?t !", "cattiness", "", "", true, true},
        {"!", "tea?rs", "", "", true, true},       {"* ?? *", "coastl", "", "", false, false},
        {"!", "tenets", "", "", true, false},      {"* * *", "tattle", "", "", false, false},
    };
    const auto stoplist = std::make_shared<Stoplist>(Words{"A", "r", "it", "e-mail"});
    const PhraseFilters filterSets[] = {
        {2, false, nullptr}, {3, false, nullptr},  {0, true, nullptr},
        {2, true, nullptr},  {0, false, stoplist}, {3, true, stoplist},
    };
    for (const SearchFields& request : requests) {
        m_request.setFilters({});
        const SearchOutcome unfiltered = search(request);
        ASSERT_GT(unfiltered.found, 0) << request.find << " from " << request.from;
        for (const PhraseFilters& filters : filterSets) {
            SCOPED_TRACE(testing::Message()
                         << request.find << " from " << request.from << ", minimum "
                         << filters.minWordLength << (filters.eachWordOnce ? ", once" : "")
                         << (filters.stoplist ? ", stoplist" : ""));
            Words expected;
            std::copy_if(unfiltered.matches.begin(), unfiltered.matches.end(),
                         std::back_inserter(expected),
                         [&](const std::string& phrase) { return passes(phrase, filters); });
            m_request.setFilters(filters);
            const SearchOutcome filtered = search(request);
            EXPECT_EQ(filtered.matches, expected);
            EXPECT_EQ(filtered.found, static_cast<std::int64_t>(expected.size()));
            EXPECT_LE(filtered.checked, unfiltered.checked);
            // A filter that changed the results says so ("Filters on").
            EXPECT_TRUE(filtered.filtersChanged || expected.size() == unfiltered.matches.size());
        }
    }
}

}  // namespace
}  // namespace zantric
