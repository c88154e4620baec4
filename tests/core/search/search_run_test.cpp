// Searches from the request to the stored results, started as the window starts them (checks,
// the analysis when needed, the worker, completion): which words and phrases are found, in which
// order, the Found and Checked figures, the stops, and cancel and pause from another thread.
#include "core/search/search_run.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <iterator>
#include <limits>
#include <numeric>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "core/results/results_files.h"
#include "core/results/results_header.h"
#include "core/search/bounded_search.h"
#include "core/search/phrase_filters.h"
#include "core/search/stoplist.h"
#include "core/search/subset_analysis.h"
#include "core/search/subtree_memo.h"
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
        catalogue();
        m_messages.clear();  // the empty folder's warning
    }

    // The words, in dictionary order, as the dictionary `name` of the catalogue.
    void addDictionary(const std::string& name, const Words& words, bool selected = true) {
        writeDictionary(lexPath(name), words);
        catalogue().add(lexPath(name));
        catalogue().setSelected(lexPath(name), selected);
    }

    // threads 0: as many search threads as the machine has cores.
    SearchOutcome search(const SearchFields& fields, int threads = 0) {
        SearchOutcome outcome;
        SearchRun run(m_request, m_results, m_checkedStart);
        run.setThreads(threads);
        run.setKeptLimit(m_keptLimit);
        run.keepBestSetsIn(m_keeper);
        if (run.prepare(fields) != StartOutcome::kReady) return outcome;
        if (run.analysisNeeded()) {
            SubsetAnalysis analysis(workspace(), m_request.fromLetters());
            const bool done = run.runAnalysis(analysis);
            ++(done ? m_analyses : m_analysesFailed);
            if (!done) return outcome;
        }
        run.startWorker();
        run.join();
        run.finish(fields);
        outcome = {run.found(), run.checked(), "", {}, run.filtersChanged()};
        const std::string data = TempFolder::read(m_results.dataName());
        if (outcome.found > 0 && data.size() > kResultsHeaderSize)
            outcome.lines = data.substr(kResultsHeaderSize);
        std::istringstream in(outcome.lines);
        for (std::string line; std::getline(in, line);) outcome.matches.push_back(line);
        return outcome;
    }

    SearchRequest m_request{workspace()};
    ResultsStore m_results{settings(), m_messages};  // by the catalogue's names
    int m_analyses = 0, m_analysesFailed = 0;
    std::uint64_t m_checkedStart = 0;  // where Checked starts
    std::size_t m_keptLimit = 0;       // the search threads' kept matches (0: the usual)
    SetKeeper* m_keeper = nullptr;     // a search of the best sets only
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
    // Every selected dictionary is read, and only those.
    catalogue().setSelected(lexPath("catdog.lex"), false);
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
                             test::TempFolder::read(m_results.indexName()).size(),
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
        const std::string data = test::TempFolder::read(m_results.dataName());
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
    catalogue().setSelected(lexPath("catdog.lex"), false);
    addDictionary("vowels.lex", test::inWordOrder(words));
    const SearchFields request = fields("*z* !", "bzaeiouaei");
    constexpr std::int64_t kFirstWordPhrases = 408240;  // "bz" and then each of these
    SearchRun run(m_request, m_results);
    run.setThreads(2);  // "zb" waits for "bz"'s sub-search on the other thread, then replays it
    ASSERT_EQ(run.prepare(request), StartOutcome::kReady);
    SubsetAnalysis analysis(workspace(), m_request.fromLetters());
    ASSERT_TRUE(run.runAnalysis(analysis));
    run.startWorker();
    while (run.found() <= kFirstWordPhrases && run.running()) {
    }
    run.pause();
    // Each thread stops at its next poll of the store, at most 64 KiB of short lines later,
    // however long a busy machine takes to let it get there; the replay holds far more.
    constexpr std::int64_t kToNextPoll = 2 * (64 << 10) / 4;
    if (run.found() > 2 * kFirstWordPhrases - 2 * kToNextPoll) {
        run.resume();
        run.join();
        GTEST_SKIP() << "the replay was nearly over before the pause was asked for";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::int64_t paused = run.found();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_LE(run.found() - paused, kToNextPoll) << "the replay went on under the pause";
    run.cancel();
    run.resume();
    run.join();
    run.finish(request);
    EXPECT_LE(run.found() - paused, kToNextPoll) << "the replay went on after the cancel";
}

// The pair a search writes is the pair the programs delete at the end, by the catalogue's names;
// an ini without Phrase Options gives their defaults (shortest word 1, repeats, the stoplist on).
TEST_F(SearchRunTest, DefaultStoreTakesTheCatalogueNames) {
    test::TempFolder::write("zantric.ini", "[SETTINGS]\n");
    reread();
    ResultsStore results(settings(), m_messages);
    EXPECT_EQ(std::tuple(results.dataName(), results.indexName()),
              std::tuple(catalogue().resultsDataName(), catalogue().resultsIndexName()));
    EXPECT_TRUE(readPhraseOptions(settings()) == PhraseOptions{});
}

// Two states whose keys share the whole hash (so one tag and one slot): neither is taken for the
// other.
TEST(SubtreeMemoTest, KeysOfOneHashStayApart) {
    const SubtreeMemo::Key stored{{1, 2, 3, 4}}, other{{1, 2, 5, 0x7C8223244AA16946}};
    ASSERT_EQ(SubtreeMemo::hashOf(stored), SubtreeMemo::hashOf(other));
    SubtreeMemo memo;
    SubtreeMemo::Pending pending;
    SubtreeMemo::Recording recording = memo.begin(0, pending);
    memo.add(recording, "cat", SubtreeMemo::kComplete);
    const SubtreeMemo::Outcome entry = memo.end(recording, stored, 1, false);
    EXPECT_EQ(std::pair(memo.find(stored), memo.find(other)),
              std::pair(entry, SubtreeMemo::kUnknown));
}

// Whether a phrase passes the filters, word by word.
bool passes(const std::string& phrase, const PhraseFilters& filters) {
    std::istringstream in(phrase);
    Words seen;
    for (std::string word; in >> word; seen.push_back(word)) {
        std::transform(word.begin(), word.end(), word.begin(),
                       [](char c) { return std::tolower(c); });
        if (static_cast<int>(word.size() - std::count(word.begin(), word.end(), '-')) <
                filters.minWordLength ||
            (filters.stoplist && filters.stoplist->contains(word)) ||
            (filters.eachWordOnce && std::count(seen.begin(), seen.end(), word) > 0))
            return false;
    }
    return true;
}

// Searches compared with a brute-force reference: every sequence of words of a small random
// dictionary, kept when the rules allow it, in the order of a depth-first walk:
// - one word per word of the FIND ('?' one letter, '*' any run, case aside, the hyphen no
//   letter); from a word with a '!' on, any words; at most fifteen words;
// - the words take the FROM letters, a '?' standing in for any; each fixed letter of the FIND
//   that FROM holds is kept for its word (for good, before a '!');
// - a word needs a letter and a vowel-like letter left: the vowels (a e i o u y) and blanks of
//   FROM less the vowels spelled so far;
// - "Use All FROM Letters" and a '!' leave no letter over;
// - "Suppress Permutations": among the trailing "*" words and those after a '!', words without a
//   vowel-like letter come first, and a word of the same kind as the one before comes no earlier
//   in the dictionary's order (of words it counts as equal, by their characters); after a word
//   with one, a word takes every letter left when that is more than the word before but less
//   than twice as many, unless it is the last and may leave letters over;
// - the phrase filters strike phrases; a single word holds each INCLUDE character (each its own
//   copy) and no EXCLUDE one. Every search runs on one, two and three threads, the same.
bool isVowel(char c) { return std::string_view("aeiouyAEIOUY").find(c) != std::string_view::npos; }
int letters(std::string_view word) {
    return static_cast<int>(word.size() - std::count(word.begin(), word.end(), '-'));
}

// The letters a word may still take: a to z, then the blanks; and the vowel-like count.
struct Pool {
    explicit Pool(std::string_view from = "") {
        for (const char c : from) ++count[c == '?' ? 26 : c - 'a'];
        vowels = static_cast<int>(
            std::count_if(from.begin(), from.end(), [](char c) { return c == '?' || isVowel(c); }));
    }
    int total() const { return std::accumulate(count.begin(), count.end(), 0); }
    void add(char c, int n) {
        count[c - 'a'] += n;
        vowels += n * isVowel(c);
    }
    bool take(std::string_view word) {
        for (const char c : word) {
            if (c == '-') continue;
            int& from = count[std::tolower(c) - 'a'] > 0 ? count[std::tolower(c) - 'a'] : count[26];
            if (from-- == 0) return false;
            vowels -= isVowel(c);
        }
        return true;
    }
    std::array<int, 27> count{};
    int vowels = 0;
};

bool fits(std::string_view word, std::string_view pattern) {
    if (!word.empty() && word[0] == '-') return fits(word.substr(1), pattern);
    if (pattern.empty()) return word.empty();
    if (pattern[0] == '*')
        return fits(word, pattern.substr(1)) || (!word.empty() && fits(word.substr(1), pattern));
    return !word.empty() &&
           (pattern[0] == '?' || std::tolower(pattern[0]) == std::tolower(word[0])) &&
           fits(word.substr(1), pattern.substr(1));
}

struct RandomCase {
    std::string name;  // how to make it again
    Words words;       // the dictionary, in dictionary order
    SearchFields fields;
    PhraseFilters filters;
};

std::ostream& operator<<(std::ostream& out, const RandomCase& c) {
    const SearchFields& f = c.fields;
    out << c.name << ": FIND '" << f.find << "' FROM '" << f.from << "' INCLUDE '" << f.include
        << "' EXCLUDE '" << f.exclude << "' use all " << f.useAllFromLetters << " suppress "
        << f.suppressPermutations << " minimum " << c.filters.minWordLength << " once "
        << c.filters.eachWordOnce << " stoplist " << !!c.filters.stoplist;
    return out;
}

class Reference {
public:
    explicit Reference(const RandomCase& c) : m_case(c), m_from(c.fields.from) {
        std::istringstream in(c.fields.find);
        for (std::string pattern; in >> pattern; m_patterns.push_back(pattern))
            if (pattern.find('!') != pattern.npos && m_bang == std::string::npos)
                m_bang = m_patterns.size();
        m_trailing = std::min(m_bang, m_patterns.size());
        while (m_trailing > 0 && m_patterns[m_trailing - 1] == "*") --m_trailing;
    }

    // The phrases with their trailing words in order: one text for one set of words.
    Words sets(Words phrases) const {
        for (std::string& phrase : phrases) {
            std::istringstream in(phrase);
            Words words{std::istream_iterator<std::string>(in), {}};
            std::sort(words.begin() + static_cast<long>(std::min(m_trailing, words.size())),
                      words.end());
            phrase.clear();
            for (const std::string& word : words) phrase += word + " ";
        }
        std::sort(phrases.begin(), phrases.end());
        return phrases;
    }

    Words matches() const {
        Words found;
        std::vector<const std::string*> phrase;
        if (m_patterns.size() > 1 || m_bang == 0) {
            extend(phrase, m_from, found);
            return found;
        }
        const std::string& include = m_case.fields.include;
        for (const std::string& word : m_case.words) {
            std::string lower = word;
            for (char& c : lower) c = static_cast<char>(std::tolower(c));
            const auto has = [&](char c) { return std::count(lower.begin(), lower.end(), c); };
            const auto included = [&](char c) {
                return has(c) >= std::count(include.begin(), include.end(), c);
            };
            if (fits(word, m_patterns[0]) &&
                (m_case.fields.from.empty() || Pool(m_from).take(word)) &&
                (!m_case.fields.useAllFromLetters || m_from.total() == 0 ||
                 letters(word) == m_from.total()) &&
                std::all_of(include.begin(), include.end(), included) &&
                std::none_of(m_case.fields.exclude.begin(), m_case.fields.exclude.end(), has) &&
                passes(word, {0, false, m_case.filters.stoplist}))
                found.push_back(word);
        }
        return found;
    }

private:
    // Every sequence whose words the letters could spell, each kept when the rules allow it;
    // a sequence the rules refuse is not extended.
    void extend(std::vector<const std::string*>& phrase, const Pool& left, Words& found) const {
        if (!allowed(phrase, false)) return;
        if (allowed(phrase, true)) {
            std::string text;
            for (const std::string* word : phrase) text += (text.empty() ? "" : " ") + *word;
            if (passes(text, m_case.filters)) found.push_back(text);
        }
        for (const std::string& word : m_case.words) {
            Pool pool = left;
            if (!pool.take(word)) continue;
            phrase.push_back(&word);
            extend(phrase, pool, found);
            phrase.pop_back();
        }
    }

    // Whether the rules allow the words of `phrase` as a whole phrase or as the start of one.
    bool allowed(const std::vector<const std::string*>& phrase, bool whole) const {
        const std::size_t n = phrase.size(), patterns = m_patterns.size();
        if (n > kMaxPhraseWords || (m_bang == std::string::npos && n > patterns) ||
            (whole && (m_bang == std::string::npos ? n != patterns : n < m_bang)))
            return false;
        Pool pool = m_from;
        std::vector<std::string> kept(patterns);  // each word's fixed letters held back for it
        for (std::size_t i = 0; i < patterns; ++i) {
            for (const char c : m_patterns[i]) {
                if (std::isalpha(c) && pool.count[c - 'a'] > 0) pool.add(c, -1), kept[i] += c;
            }
        }
        const std::string* before = nullptr;  // the word before, when this word comes after it
        const auto vowel = [](const std::string* w) {
            return w && std::any_of(w->begin(), w->end(), isVowel);
        };
        const bool useAll = m_case.fields.useAllFromLetters;
        for (std::size_t i = 0;; ++i) {
            const bool afterBang = i >= m_bang;
            for (const char c : !afterBang && i < patterns ? kept[i] : "") pool.add(c, 1);
            const int total = pool.total(), length = i < n ? letters(*phrase[i]) : 0;
            if (i == n) return !whole || total == 0 || !(afterBang || useAll);
            const std::string& word = *phrase[i];
            const int shortest = vowel(before) ? letters(*before) : 0;
            const int order = before && vowel(before) == vowel(&word)
                                  ? compareWords(word.c_str(), before->c_str())
                                  : vowel(&word) - vowel(before);
            if (total == 0 || pool.vowels == 0 || (!afterBang && !fits(word, m_patterns[i])) ||
                (before && (0 < total - shortest && total - shortest < shortest &&
                                    (afterBang || useAll || i + 1 < patterns)
                                ? length != total
                                : order < 0 || (order == 0 && word < *before))) ||
                !pool.take(word))
                return false;
            const bool ordered = m_case.fields.suppressPermutations && i >= m_trailing;
            before = ordered ? &word : nullptr;
        }
    }

    const RandomCase& m_case;
    Pool m_from;
    std::vector<std::string> m_patterns;
    std::size_t m_bang = std::string::npos;  // the first word with a '!'
    std::size_t m_trailing;                  // the first of the trailing "*" words or the '!'
};

// A case drawn from `seed` for a FIND shape, in which each 'x' stands for a FROM letter: a
// dictionary of forty words of one to four letters (seven for a single word) over nine letters,
// some capitalised, some hyphenated; FROM the letters of two or more of its words, sometimes with a
// blank.
RandomCase randomCase(const char* shape, unsigned seed) {
    std::mt19937 rng(seed);
    const auto pick = [&rng](std::string_view from) { return from[rng() % from.size()]; };
    RandomCase c{std::string("shape '") + shape + "' seed " + std::to_string(seed), {}, {}, {}};
    const bool single = std::strpbrk(shape, " !") == nullptr;
    for (int i = 0; i < 40; ++i) {
        std::string word(1 + rng() % (single ? 7 : 4), ' ');
        for (char& letter : word) letter = pick("aeiostnrl");
        if (rng() % 8 == 0) word[0] = static_cast<char>(std::toupper(word[0]));
        if (word.size() > 2 && rng() % 8 == 0) word.insert(1 + rng() % (word.size() - 1), "-");
        c.words.push_back(word);
    }
    c.words = test::inWordOrder(c.words);
    std::string from;
    while (from.size() < 5) {
        for (const char letter : c.words[rng() % c.words.size()])
            if (letter != '-') from += static_cast<char>(std::tolower(letter));
    }
    if (rng() % 3 == 0) from[rng() % from.size()] = '?';
    std::string find = shape, free = from;
    for (char& x : find) {
        if (x != 'x') continue;
        do x = pick(free);
        while (x == '?' || x == ' ');
        free[free.find(x)] = ' ';
    }
    std::string include;  // of a single word: none to two letters or hyphens, maybe the same
    for (int n = single ? static_cast<int>(rng() % 3) : 0; n > 0; --n) include += pick("aeiostn-");
    const std::string exclude(single && rng() % 2 == 0 ? 1 : 0, pick("aeiostnrl-"));
    c.fields =
        fields(find.c_str(), from, rng() % 2 == 0, !single && rng() % 2 == 0, include.c_str(),
               include.find_first_of(exclude) == include.npos ? exclude.c_str() : "");
    const auto stoplist = std::make_shared<Stoplist>(Words{c.words[rng() % c.words.size()]});
    const PhraseFilters filterSets[] = {
        {}, {}, {2, false, nullptr}, {0, true, nullptr}, {0, false, stoplist}, {3, true, stoplist}};
    c.filters = filterSets[rng() % std::size(filterSets)];
    return c;
}

// The words of a set, sorted, each followed by a space.
std::string setKey(std::string_view phrase) {
    std::istringstream in{std::string(phrase)};
    Words words{std::istream_iterator<std::string>(in), {}};
    std::sort(words.begin(), words.end());
    std::string key;
    for (const std::string& word : words) key += word + " ";
    return key;
}

// Keeps the `size` best sets of words by the sum of their words' parts, each part one of four
// values, so that many sets score the same; of those, the first by their words. Each set must
// come once.
class BestSets final : public SetKeeper {
public:
    explicit BestSets(std::size_t size) : m_size(size) {}
    static std::int64_t part(std::string_view word) {
        return -1 -
               static_cast<std::int64_t>((word.size() + static_cast<unsigned char>(word[0])) % 4);
    }
    std::int64_t wordPart(std::string_view word) override { return part(word); }
    std::int64_t keep(std::string_view words, std::int64_t score) override {
        EXPECT_TRUE(m_seen.insert(setKey(words)).second) << words;
        m_kept.insert({-score, setKey(words)});
        if (m_kept.size() > m_size) m_kept.erase(std::prev(m_kept.end()));
        return m_kept.size() < m_size ? std::numeric_limits<std::int64_t>::min()
                                      : -std::prev(m_kept.end())->first;
    }
    std::set<std::pair<std::int64_t, std::string>> m_kept;  // minus the score, and the set

private:
    std::size_t m_size;
    std::set<std::string> m_seen;
};

// Every set of the words (each a word's index or after it) that spells the letters left and
// passes the filters.
void everySet(const RandomCase& c, std::size_t first, const Pool& left, std::string phrase,
              std::set<std::pair<std::int64_t, std::string>>& sets) {
    if (left.total() == 0) {
        std::int64_t score = 0;
        std::istringstream in(phrase);
        for (std::string word; in >> word;) score += BestSets::part(word);
        if (passes(phrase, c.filters)) sets.insert({-score, setKey(phrase)});
        return;
    }
    if (std::count(phrase.begin(), phrase.end(), ' ') >= kMaxPhraseWords) return;
    for (std::size_t i = first; i < c.words.size(); ++i) {
        Pool pool = left;
        if (pool.take(c.words[i])) everySet(c, i, pool, phrase + c.words[i] + " ", sets);
    }
}

class PhraseSearch : public SearchFixture {
protected:
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

    // `sets`: also, with Suppress Permutations, each set of words the search without it lists
    // comes once (a walk of every permutation: small cases only).
    void compare(const RandomCase& c, bool sets = false) {
        SCOPED_TRACE(testing::Message() << c);
        catalogue().remove(lexPath("case.lex"));
        addDictionary("case.lex", c.words);
        m_request.clearAnalysedLetters();  // another dictionary
        m_request.setFilters(c.filters);
        const SearchOutcome outcome = search(c.fields);
        const Words expected = Reference(c).matches();
        EXPECT_EQ(outcome.matches, expected);
        EXPECT_EQ(outcome.found, static_cast<std::int64_t>(expected.size()));
        // A filter that changed the results says so ("Filters on").
        RandomCase unfiltered = c;
        unfiltered.filters = {};
        EXPECT_TRUE(outcome.filtersChanged || Reference(unfiltered).matches() == expected);
        // A search of the best sets only ("!" from letters without a blank) keeps the best of
        // every set.
        if (c.fields.find == "!" && c.fields.from.find('?') == std::string::npos) {
            std::set<std::pair<std::int64_t, std::string>> all;
            everySet(c, 0, Pool(c.fields.from), "", all);
            for (const std::size_t size : {1, 3, 10}) {
                BestSets best(size);
                m_keeper = &best;
                SearchFixture::search(c.fields, 1);
                m_keeper = nullptr;
                EXPECT_EQ(best.m_kept,
                          decltype(all)(all.begin(),
                                        std::next(all.begin(),
                                                  static_cast<long>(std::min(size, all.size())))))
                    << size;
            }
        }
        if (sets && c.fields.suppressPermutations) {
            RandomCase permuted = c;
            permuted.fields.suppressPermutations = false;
            Words all = Reference(c).sets(Reference(permuted).matches());
            all.erase(std::unique(all.begin(), all.end()), all.end());
            EXPECT_EQ(Reference(c).sets(expected), all);
        }
    }
};

TEST_F(PhraseSearch, SameAsEverySequenceTheRulesAllow) {
    const char* shapes[] = {"*",       "x?*", "?*x", "*xx",  "x*x*x",  "*x?x*", "* *",   "* * *",
                            "* * * *", "!",   "x!",  "x* *", "* ?? *", "?x* !", "x* * *"};
    for (const char* shape : shapes) {
        for (unsigned seed = 1; seed <= 8; ++seed) compare(randomCase(shape, seed), true);
    }
    // With letters left over, the last word may be as short as the one before; without FROM, an
    // INCLUDE letter twice asks for two; at most fifteen words.
    compare({"leaves over", test::inWordOrder(kCatDog), fields("* *", "atdog", false, true), {}},
            true);
    // Trailing words of one length and first letter ("sh st hat"), words without a vowel ("ht sh
    // st a"), and after "h st" the same letters as after "s ht", but other words.
    const Words hats = test::inWordOrder({"a", "h", "s", "at", "ht", "sh", "st", "hat", "has"});
    compare({"one order", hats, fields("!", "shsthat", true, true), {}}, true);
    // Each word once: a word and its capitalised form are one word ("at At" is no phrase).
    compare({"case once",
             test::inWordOrder({"A", "a", "At", "at", "ta"}),
             fields("!", "atat"),
             {0, true, nullptr}});
    // Each word once: a word above is not taken again, even as the first in order below, nor
    // two words below, where it needs a letter held back for that word's pattern; the best set
    // of "!" may repeat its best word.
    const Words dog = test::inWordOrder({"g", "do", "dog"});
    compare({"once each", dog, fields("* *", "dogdog", false, true), {0, true, nullptr}}, true);
    compare({"held back",
             test::inWordOrder({"o", "ta"}),
             fields("* * t*", "tatao"),
             {0, true, nullptr}});
    compare({"best twice", test::inWordOrder({"c", "cc"}), fields("!", "cc"), {}});
    const Words ee = test::inWordOrder({"tea", "Tee", "e-e", "eye", "ewe", "tees"});
    compare({"include twice", ee, fields("*", "", true, false, "ee", "w"), {}});
    compare({"fifteen", {"a", "aa", "aaa"}, fields("!", std::string(17, 'a')), {}});
    compare(
        {"sixteen", {"a"}, fields("a a a a a a a a a a a a a a a a", std::string(16, 'a')), {}});
    compare({"fifteen", {"A", "a", "aa"}, fields("!", std::string(16, 'a'), true, true), {}});
    // The subtree memo fills up (it keeps 262144 states; nearly every set of the single letters
    // is one) and the search walks on, exact (minutes under a sanitizer, so only here).
#if !defined(__SANITIZE_THREAD__) && !defined(__SANITIZE_ADDRESS__)
    Words words = {"as", "go", "hi", "me", "no"};
    for (char c = 'a'; c <= 's'; ++c) words.emplace_back(1, c);
    compare(
        {"memo full", test::inWordOrder(words), fields("!", "abcdefghijklmnoprs", true, true), {}});
#endif
}

}  // namespace
}  // namespace zantric
