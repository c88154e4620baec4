// Phrase searches over a generated dictionary in which the same sub-search recurs many times:
// the phrases, their order, Found and Checked must be exactly those of walking every level, for
// bangs, trailing "*" words, fixed letters, blanks, capitals and hyphens, letters left over, and
// phrases cut short by the fifteen readers. The figures were taken from a search that walked
// every level without reusing any. The phrase filters must give exactly the unfiltered phrases
// that pass them, in the same order, reading no more words. Every search runs on one search thread
// and on two, with the same outcome.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"
#include "core/results/results_header.h"
#include "core/results/results_store.h"
#include "core/search/match_sink.h"
#include "core/search/search_run.h"
#include "core/search/subset_analysis.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

using Words = std::vector<std::string>;

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
    std::sort(words.begin(), words.end(),
              [](const auto& a, const auto& b) { return compareWords(a.c_str(), b.c_str()) < 0; });
    return words;
}

struct Outcome {
    std::int32_t found = 0;
    std::int32_t checked = 0;
    std::size_t lines = 0;
    std::uint64_t hash = 0;        // of the match lines, in order
    std::string first;             // the first line
    std::vector<std::string> all;  // the match lines
};

class PhraseSearch : public ::testing::Test {
protected:
    PhraseSearch() {
        test::TempFolder::write("zantric.ini",
                                "[PATHS]\nFILES=.\\files\nDICTIONARIES=.\\lexicons\n"
                                "TEMP_FILES=.\\temp\n");
        std::filesystem::create_directories("lexicons");
        std::filesystem::create_directories("temp");
        Settings::resetForTests();
        Catalogue::resetForTests();
        const std::string path = ".\\lexicons\\generated.lex";
        DictionaryWriter writer(path);
        for (const auto& w : generatedWords()) writer.addWord(w);
        writer.close();
        Catalogue::instance().add(path);
        Catalogue::instance().setSelected(path, true);
        m_results = std::make_unique<ResultsStore>();
    }
    ~PhraseSearch() override {
        m_results.reset();
        Catalogue::resetForTests();
    }

    // The search on one search thread; on two it must give the same, byte for byte. The two
    // keep little in memory, so that a thread ahead of the next word also waits for its turn.
    Outcome search(const SearchFields& fields) {
        const Outcome one = searchOn(1, fields);
        const bool filtersChanged = m_filtersChanged;
        ChunkOrder::setKeptLimitForTests(4096);
        const Outcome two = searchOn(2, fields);
        ChunkOrder::setKeptLimitForTests(0);
        EXPECT_EQ(two.all, one.all) << "two threads";
        EXPECT_EQ(two.found, one.found) << "two threads";
        EXPECT_EQ(two.checked, one.checked) << "two threads";
        EXPECT_EQ(m_filtersChanged, filtersChanged) << "two threads";
        return one;
    }

    Outcome searchOn(int threads, const SearchFields& fields) {
        Outcome outcome;
        SearchRun run(m_request, *m_results);
        run.setThreads(threads);
        if (run.prepare(fields) != StartOutcome::kReady) return outcome;
        if (run.analysisNeeded()) {
            SubsetAnalysis analysis(m_request.fromLetters());
            if (!run.runAnalysis(analysis)) return outcome;
        }
        run.startWorker();
        run.join();
        run.finish(fields);
        outcome.found = run.found();
        outcome.checked = run.checked();
        const std::string data = test::TempFolder::read(nativePath(m_results->dataName()));
        outcome.hash = 14695981039346656037ULL;
        std::string line;
        for (std::size_t i = outcome.found > 0 ? kResultsHeaderSize : data.size(); i < data.size();
             ++i) {
            outcome.hash = (outcome.hash ^ static_cast<unsigned char>(data[i])) * 1099511628211ULL;
            if (outcome.lines == 0 && data[i] != '\n') outcome.first.push_back(data[i]);
            if (data[i] != '\n') {
                line.push_back(data[i]);
                continue;
            }
            ++outcome.lines;
            outcome.all.push_back(std::move(line));
            line.clear();
        }
        m_filtersChanged = run.filtersChanged();
        return outcome;
    }

    test::TempFolder m_folder;
    test::RecordingPresenter m_messages;
    SearchRequest m_request;
    std::unique_ptr<ResultsStore> m_results;
    bool m_filtersChanged = false;
};

TEST_F(PhraseSearch, SameAsWalkingEveryLevel) {
    const struct {
        const char* find;
        const char* from;
        bool useAll;
        bool suppress;
        std::int32_t found;
        std::int32_t checked;
        std::uint64_t hash;
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
        SearchFields fields;
        fields.find = c.find;
        fields.from = c.from;
        fields.useAllFromLetters = c.useAll;
        fields.suppressPermutations = c.suppress;
        const Outcome outcome = search(fields);
        EXPECT_EQ(outcome.found, c.found);
        EXPECT_EQ(outcome.lines, static_cast<std::size_t>(c.found));
        EXPECT_EQ(outcome.checked, c.checked);
        EXPECT_EQ(outcome.hash, c.hash);
        EXPECT_EQ(outcome.first, c.first);
    }
}

// Whether a phrase passes the filters, word by word: the brute-force check.
bool passes(const std::string& phrase, const PhraseFilters& filters) {
    std::vector<std::string> words;
    std::istringstream in(phrase);
    for (std::string word; in >> word;) {
        if (static_cast<int>(word.size() - std::count(word.begin(), word.end(), '-')) <
            filters.minWordLength) {
            return false;
        }
        if (filters.stoplist && filters.stoplist->contains(word)) return false;
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
    const auto stoplist =
        std::make_shared<Stoplist>(std::vector<std::string>{"A", "r", "it", "e-mail"});
    const PhraseFilters filterSets[] = {
        {2, false, nullptr}, {3, false, nullptr},  {0, true, nullptr},
        {2, true, nullptr},  {0, false, stoplist}, {3, true, stoplist},
    };
    for (const SearchFields& request : requests) {
        m_request.setFilters({});
        const Outcome unfiltered = search(request);
        ASSERT_GT(unfiltered.found, 0) << request.find << " from " << request.from;
        for (const PhraseFilters& filters : filterSets) {
            SCOPED_TRACE(testing::Message()
                         << request.find << " from " << request.from << ", minimum "
                         << filters.minWordLength << (filters.eachWordOnce ? ", once" : "")
                         << (filters.stoplist ? ", stoplist" : ""));
            std::vector<std::string> expected;
            std::copy_if(unfiltered.all.begin(), unfiltered.all.end(), std::back_inserter(expected),
                         [&](const std::string& phrase) { return passes(phrase, filters); });
            m_request.setFilters(filters);
            const Outcome filtered = search(request);
            EXPECT_EQ(filtered.all, expected);
            EXPECT_EQ(filtered.found, static_cast<std::int32_t>(expected.size()));
            EXPECT_LE(filtered.checked, unfiltered.checked);
            // A filter that changed the results says so ("Filters on").
            EXPECT_TRUE(m_filtersChanged || expected.size() == unfiltered.all.size());
        }
    }
}

}  // namespace
}  // namespace zantric
