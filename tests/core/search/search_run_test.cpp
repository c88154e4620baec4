// Searches from the request to the stored results: which words and phrases are found, in which
// order, and the Found and Checked figures, over small dictionaries the tests build.
#include "core/search/search_run.h"

#include <chrono>
#include <limits>
#include <map>
#include <thread>

#include "core/results/results_files.h"
#include "search_fixture.h"

namespace zantric {
namespace {

using test::fields;
using test::lexPath;
using test::Words;

const Words kCatDog = {"a", "at", "do", "go", "to", "act", "cat", "cog", "dog", "god", "tag"};

class SearchRunTest : public test::SearchFixture {
protected:
    void SetUp() override { addDictionary("catdog.lex", test::inWordOrder(kCatDog)); }
};

// Every ordered pair of dictionary words that the letters can spell together, in search order:
// what "* *" means when letters may be left over.
Words pairsFrom(const Words& dictionary, const std::string& from) {
    Words pairs;
    for (const auto& a : dictionary) {
        for (const auto& b : dictionary) {
            std::map<char, int> left;
            for (char c : from) ++left[c];
            bool fits = true;
            for (char c : a + b) fits = fits && left[c]-- > 0;
            if (fits) pairs.push_back(a + " " + b);
        }
    }
    return pairs;
}

TEST_F(SearchRunTest, PhraseAndSingleWordSearches) {
    addDictionary("one.lex", test::inWordOrder({"cat", "cot", "dog", "tea"}), false);
    const struct {
        SearchFields request;
        Words matches;
        std::int64_t checked;  // -1: not compared
    } phrases[] =
        {
            {fields("* *", "catdog", false), pairsFrom(kCatDog, "catdog"), -1},
            {fields("cat !", "cat"), {"cat"}, -1},
            {fields("* *", "cat", false), {}, -1},  // the first word takes the only vowel
            {fields("* *", "bcd"), {}, -1},
            {fields("a a a a a a a a a a a a a a a a", std::string(16, 'a')), {}, -1},
            {fields("a a a", "aaa"), {"a a a"}, -1},
        },
      words[] = {
          // one.lex reads cat, cot, dog (3); two.lex cat, cut, tee (3).
          {fields("c?t", ""), {"cat", "cot", "cat", "cut"}, 6},
          // one.lex: cat, then the e block: tea (2); two.lex: cat, Tea, tee (3).
          {fields("*", "tae"), {"tea", "Tea"}, 5},
          {fields("t??", "", false), {"tea", "Tea", "tee"}, 3},
          {fields("t??", "", false, false, "ee"), {"tee"}, -1},
          {fields("*", "", false, false, "", "aeiouy"), {}, -1},
      };
    for (const auto& c : phrases) {
        SCOPED_TRACE(c.request.find + " from " + c.request.from);
        const test::SearchOutcome outcome = search(c.request);
        EXPECT_EQ(outcome.matches, c.matches);
        EXPECT_EQ(outcome.found, static_cast<std::int64_t>(c.matches.size()));
    }
    // Every selected dictionary is read, and only those.
    Catalogue::instance().setSelected(lexPath("catdog.lex"), false);
    Catalogue::instance().setSelected(lexPath("one.lex"), true);
    addDictionary("two.lex", test::inWordOrder({"cat", "cut", "tee", "Tea"}));
    for (const auto& c : words) {
        SCOPED_TRACE(c.request.find);
        const test::SearchOutcome outcome = search(c.request);
        EXPECT_EQ(outcome.matches, c.matches);
        EXPECT_EQ(c.checked < 0 ? c.checked : outcome.checked, c.checked);
    }
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
    const test::SearchOutcome struck = search(fields("* *", "catdog"));
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
    const struct {
        const char* find;
        std::uint64_t bytes;
        std::int64_t rows, limit;
        StoreStop stop;
        std::size_t kept;
        std::string said;  // the box, or the status text of the limit
    } cases[] = {
        {"* *", 344 + 16, kRows, 0, StoreStop::kFull, 2, full + "2 matches."},
        {"* *", kBytes, 1, 0, StoreStop::kFull, 1, full + "1 matches."},
        {"* *", kBytes, 3, 0, StoreStop::kFull, 3, full + "3 matches."},
        {"* *", kBytes, 8, 0, StoreStop::kNone, 8, ""},
        {"*", kBytes, 4, 0, StoreStop::kFull, 4, full + "4 matches."},
        {"*", kBytes, kRows, 2, StoreStop::kLimit, 2, "Stopped after 2 matches."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.find << " bytes " << c.bytes << " rows " << c.rows
                                        << " limit " << c.limit);
        ResultsStore::setCapacityForTests(c.bytes, c.rows);
        m_results->setMatchLimit(c.limit);
        m_messages.clear();
        const bool phrase = std::string(c.find) == "* *";
        const test::SearchOutcome outcome = search(fields(c.find, "catdog", phrase));
        ResultsStore::setCapacityForTests(kBytes, kRows);
        m_results->setMatchLimit(0);
        const Words& all = phrase ? phrases : words;
        EXPECT_EQ(outcome.matches, Words(all.begin(), all.begin() + c.kept));
        EXPECT_EQ(outcome.found, static_cast<std::int64_t>(c.kept));
        EXPECT_EQ(m_results->stopped(), c.stop);
        EXPECT_EQ(test::TempFolder::read(nativePath(m_results->indexName())).size(),
                  4 * (c.kept + 1));
        SearchRun run(m_request, *m_results);
        run.reportStop();
        const std::string said = c.stop == StoreStop::kLimit ? run.limitText()
                                 : m_messages.count() > 0    ? m_messages.last().text
                                                             : "";
        EXPECT_EQ(said, c.said);
        EXPECT_EQ(m_messages.last().title, c.stop == StoreStop::kFull ? "Warning" : "");
    }
}

// Checked counts on past 2^31 and 2^32 (the counter is started near them): the search, the
// export's line and the results header, which keeps the largest count its field holds.
TEST_F(SearchRunTest, CountsPastThirtyTwoBits) {
    for (const std::uint64_t start : {(std::uint64_t{1} << 31) - 8, (std::uint64_t{1} << 32) - 8}) {
        DictionaryReader::startCheckedAtForTests(start);
        const test::SearchOutcome outcome = search(fields("* *", "catdog"));
        DictionaryReader::startCheckedAtForTests(0);
        const auto checked = static_cast<std::int64_t>(start + 40);
        EXPECT_EQ(outcome.checked, checked);
        const std::string data = test::TempFolder::read(nativePath(m_results->dataName()));
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
    Catalogue::instance().setSelected(lexPath("catdog.lex"), false);
    addDictionary("vowels.lex", test::inWordOrder(words));
    const SearchFields request = fields("*z* !", "bzaeiouaei");
    constexpr std::int64_t kFirstWordPhrases = 408240;  // "bz" and then each of these
    SearchRun run(m_request, *m_results);
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
    test::TempFolder::write("zantric.ini", "[SETTINGS]\nTab Size=9\n");
    Settings::resetForTests();
    Catalogue::resetForTests();
    ResultsStore results;
    EXPECT_EQ(std::tuple(results.tabSize(), results.dataName(), results.indexName()),
              std::tuple(9, Catalogue::instance().resultsDataName(),
                         Catalogue::instance().resultsIndexName()));
}

}  // namespace
}  // namespace zantric
