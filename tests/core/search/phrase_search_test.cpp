// Phrase searches over a generated dictionary in which the same sub-search recurs many times:
// the phrases, their order, Found and Checked must be exactly those of walking every level, for
// bangs, trailing "*" words, fixed letters, blanks, capitals and hyphens, letters left over, and
// phrases cut short by the fifteen readers. The figures were taken from a search that walked
// every level without reusing any. The phrase filters must give exactly the unfiltered phrases
// that pass them, in the same order, reading no more words. Every search runs on one search thread
// and on two, with the same outcome.
#include <algorithm>
#include <iterator>

#include "core/search/match_sink.h"
#include "search_fixture.h"

namespace zantric {
namespace {

using test::Words;

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

class PhraseSearch : public test::SearchFixture {
protected:
    PhraseSearch() { addDictionary("generated.lex", generatedWords()); }

    // The search on one search thread; on two it must give the same, byte for byte. The two
    // keep little in memory, so that a thread ahead of the next word also waits for its turn.
    test::SearchOutcome search(const SearchFields& fields) {
        test::SearchOutcome one = SearchFixture::search(fields, 1);
        ChunkOrder::setKeptLimitForTests(4096);
        const test::SearchOutcome two = SearchFixture::search(fields, 2);
        ChunkOrder::setKeptLimitForTests(0);
        EXPECT_EQ(std::tie(two.lines, two.found, two.checked, two.filtersChanged),
                  std::tie(one.lines, one.found, one.checked, one.filtersChanged))
            << "two threads";
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
        const test::SearchOutcome outcome = search({c.find, c.from, "", "", c.useAll, c.suppress});
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
        const test::SearchOutcome unfiltered = search(request);
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
            const test::SearchOutcome filtered = search(request);
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
