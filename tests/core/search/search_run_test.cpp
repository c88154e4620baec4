// Searches from the request to the stored results: which words and phrases are found, in which
// order, and the Found and Checked figures, over small dictionaries the tests build.
#include "core/search/search_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/dictionary/compress_dictionary.h"
#include "core/dictionary/dictionary_names.h"
#include "core/dictionary/word_order.h"
#include "core/results/results_header.h"
#include "core/results/vlb_data.h"
#include "core/search/subset_analysis.h"
#include "core/shell/config_data.h"
#include "core/shell/paths.h"
#include "core/shell/string_table.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

using Words = std::vector<std::string>;

const Words kCatDog = {"a", "at", "do", "go", "to", "act", "cat", "cog", "dog", "god", "tag"};

struct Outcome {
    Words matches;
    std::int32_t found = 0;
    std::int32_t checked = 0;
};

class SearchRunTest : public ::testing::Test {
protected:
    SearchRunTest() {
        test::TempFolder::write("zantric.ini",
                                "[PATHS]\nFILES=.\\files\nDICTIONARIES=.\\lexicons\nTEMP_FILES=.\\temp\n");
        std::filesystem::create_directories("lexicons");
        std::filesystem::create_directories("temp");
        ConfigData::resetForTests();
        DictionaryNames::resetForTests();
        m_resultsStore = std::make_unique<VLBData>();
        m_messages.clear();  // the empty folder's warning
    }
    ~SearchRunTest() override {
        m_resultsStore.reset();
        DictionaryNames::resetForTests();
    }

    void addDictionary(const std::string& name, Words words, bool selected = true) {
        std::sort(words.begin(), words.end(),
                  [](const auto& a, const auto& b) { return compareWords(a.c_str(), b.c_str()) < 0; });
        const std::string path = ".\\lexicons\\" + name;
        CompressDictionary writer(path);
        for (const auto& w : words) writer.addWord(w);
        writer.close();
        DictionaryNames::instance().add(path);
        DictionaryNames::instance().setSelected(path, selected);
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
    SearchData m_request;
    std::unique_ptr<VLBData> m_resultsStore;  // made once the folder is set up
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
        EXPECT_EQ(outcome.found, static_cast<std::int32_t>(c.matches.size())) << name;
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
    run.cancel();
    run.resume();
    run.join();
    run.finish(all);
    EXPECT_LT(run.found(), static_cast<std::int32_t>(many.size()));
    EXPECT_EQ(run.found(), m_resultsStore->count());
}

}  // namespace
}  // namespace zantric
