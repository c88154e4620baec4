#include "core/results/results_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/shell/settings.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

struct Match {
    std::string text;
    bool addLineFeed;
};

// The matches of the worked example in docs/results-format.md: two words and one phrase, which
// arrives with its trailing separator.
const std::vector<Match> kExample = {{"ascot", true}, {"coats", true}, {"cat so ", false}};
const SearchSummary kExampleSummary{"!", "tacos", "", "", true, true, 0, 5120};

std::uint32_t u32At(const std::string& bytes, std::size_t at) {
    auto b = [&](std::size_t i) {
        return std::uint32_t(static_cast<unsigned char>(bytes[at + i]));
    };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

std::vector<std::string> allRows(ResultsStore& store) {
    std::vector<std::string> rows;
    for (std::int32_t r = 0; r < store.rowCount(); ++r) rows.emplace_back(store.rowText(r));
    return rows;
}

class ResultsStoreTest : public ::testing::Test {
protected:
    // A store whose temporary pair is tmp.$$$ and tmp.zix in the test's folder.
    static ResultsStore makeStore(int tabSize = kDefaultTabSize) {
        return ResultsStore("tmp.$$$", "tmp.zix", tabSize);
    }
    static void store(ResultsStore& results, const std::vector<Match>& matches,
                      const SearchSummary& summary = {}) {
        results.reset();
        for (const Match& m : matches) results.append(m.text, m.addLineFeed);
        results.finish(summary);
    }
    // Saves the example under saved.ztr / saved.zix, as Save As copies the pair.
    static void saveExample() {
        ResultsStore results("a.$$$", "a.zix", kDefaultTabSize);
        store(results, kExample, kExampleSummary);
        fs::copy_file("a.$$$", "saved.ztr");
        fs::copy_file("a.zix", "saved.zix");
    }

    TempFolder m_folder;
    test::RecordingPresenter m_messages;
};

TEST_F(ResultsStoreTest, WorkedExampleGivesTheDocumentedPair) {
    ResultsStore results = makeStore();
    store(results, kExample, kExampleSummary);

    std::string data = TempFolder::read("tmp.$$$");
    ASSERT_EQ(data.size(), 363u);
    // Found 3 comes from the store, Checked 5120 from the search, longest 7 is "cat so " with
    // its separator; nothing but zeros behind the texts.
    std::string header(kResultsHeaderSize, '\0');
    header.replace(0, 14, "\xB1\x59\0\0\x03\0\0\0\0\x14\0\0\x07\0", 14);
    header.replace(14, 1, "!");
    header.replace(56, 5, "tacos");
    header.replace(342, 2, "\x01\x01");
    EXPECT_EQ(data.substr(0, kResultsHeaderSize), header);
    EXPECT_EQ(data.substr(344), "ascot\ncoats\ncat so\n");

    std::string index = TempFolder::read("tmp.zix");
    ASSERT_EQ(index.size(), 16u);
    const std::uint32_t ends[] = {344, 350, 356, 363};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(u32At(index, 4 * i), ends[i]) << i;

    EXPECT_EQ(results.count(), 3);
    EXPECT_EQ(results.longest(), 7);
    results.setListWidth(30);  // (7 + 6) fits twice
    EXPECT_EQ(results.tabStop(), 42);
    EXPECT_EQ(allRows(results), (std::vector<std::string>{"ascot\tcoats\t", "cat so\t"}));
}

TEST_F(ResultsStoreTest, PairHoldsOneLineAndOneIndexEntryPerMatch) {
    for (int n : {0, 1, 2, 7, 3000}) {
        ResultsStore results = makeStore();
        std::vector<Match> matches;
        std::string lines;
        for (int i = 0; i < n; ++i) {
            std::string word = std::string(1 + i % 9, char('a' + i % 26));
            matches.push_back({word, true});
            lines += word + "\n";
        }
        store(results, matches);
        SCOPED_TRACE(n);
        EXPECT_EQ(results.count(), n);
        if (n == 0) {
            // Nothing stored: no file made, no header written.
            EXPECT_FALSE(fs::exists("tmp.$$$"));
            EXPECT_FALSE(fs::exists("tmp.zix"));
            EXPECT_EQ(results.rowCount(), 0);
            continue;
        }
        std::string data = TempFolder::read("tmp.$$$");
        std::string index = TempFolder::read("tmp.zix");
        ASSERT_EQ(data.size(), kResultsHeaderSize + lines.size());
        EXPECT_EQ(data.substr(kResultsHeaderSize), lines);
        ASSERT_EQ(index.size(), 4u * n + 4);
        EXPECT_EQ(u32At(index, 0), kResultsHeaderSize);
        std::size_t end = kResultsHeaderSize;
        for (int i = 0; i < n; ++i) {
            end += matches[i].text.size() + 1;
            ASSERT_EQ(u32At(index, 4 * (i + 1)), end) << i;
        }
        results.setListWidth(1);
        EXPECT_EQ(results.rowText(n - 1), matches[n - 1].text + "\t");
    }
}

TEST_F(ResultsStoreTest, RowLayoutPacksMatchesAtTabStops) {
    struct Case {
        int matches;
        int tabSize;
        int width;
        int perRow;
        int rows;
        std::string lastRow;
    };
    // Matches are "a" ... "g" and so on (longest 1).
    const Case cases[] = {
        {7, 6, 21, 3, 3, "g\t"},        // three a row, the third row holds one match
        {7, 6, 20, 2, 4, "g\t"},        // one character short of three
        {7, 6, 0, 1, 7, "g\t"},         // a very narrow list still shows one a row
        {6, 6, 21, 3, 2, "d\te\tf\t"},  // a full last row
        {7, 0, 3, 3, 3, "g\t"},         // no space asked between matches
        {7, -5, 3, 3, 3, "g\t"},        // a negative ini value counts as no space
        {26, 6, 1 << 30, 1024, 1, ""},  // an absurd width is kept to a bounded row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        ResultsStore results = makeStore(c.tabSize);
        std::vector<Match> matches;
        for (int i = 0; i < c.matches; ++i) {
            matches.push_back({std::string(1, char('a' + i)), true});
        }
        store(results, matches);
        results.setListWidth(c.width);
        EXPECT_EQ(results.perRow(), c.perRow);
        EXPECT_EQ(results.rowCount(), c.rows);
        std::string last(results.rowText(c.rows - 1));
        if (!c.lastRow.empty()) {
            EXPECT_EQ(last, c.lastRow);
        }
        EXPECT_EQ(last.size(), 2u * (c.matches - std::size_t(c.perRow) * (c.rows - 1)));
        EXPECT_EQ(results.rowText(c.rows), "");
        EXPECT_EQ(results.rowText(-1), "");
    }
}

TEST_F(ResultsStoreTest, SavedPairOpensWithItsHeaderAndRows) {
    saveExample();
    ResultsStore results = makeStore();
    results.setListWidth(13);
    ASSERT_TRUE(results.openSaved("saved.any"));
    EXPECT_EQ(m_messages.count(), 0u);
    EXPECT_EQ(results.dataName(), "saved.ztr");
    EXPECT_EQ(results.indexName(), "saved.zix");
    EXPECT_EQ(results.count(), 3);
    EXPECT_EQ(results.longest(), 7);
    SearchSummary shown = results.header().summary();
    EXPECT_EQ(shown.fields.find, "!");
    EXPECT_EQ(shown.fields.from, "tacos");
    EXPECT_TRUE(shown.fields.useAllFromLetters);
    EXPECT_TRUE(shown.fields.suppressPermutations);
    EXPECT_EQ(shown.found, 3);
    EXPECT_EQ(shown.checked, 5120);
    EXPECT_EQ(allRows(results), (std::vector<std::string>{"ascot\t", "coats\t", "cat so\t"}));

    // A new search goes to the temporary pair and leaves the saved one alone.
    std::string saved = TempFolder::read("saved.ztr");
    store(results, {{"tacos", true}});
    EXPECT_EQ(results.dataName(), "tmp.$$$");
    EXPECT_EQ(allRows(results), std::vector<std::string>{"tacos\t"});
    EXPECT_EQ(TempFolder::read("saved.ztr"), saved);
}

TEST_F(ResultsStoreTest, FailedOpenKeepsThePreviousResults) {
    saveExample();
    const std::string data = TempFolder::read("saved.ztr");
    const std::string index = TempFolder::read("saved.zix");
    TempFolder::write("noindex.ztr", data);
    TempFolder::write("text.ztr", std::string(400, 'x'));
    TempFolder::write("text.zix", std::string(8, '\0'));
    // Pairs whose header or index disagree with their files' sizes are refused before a row is
    // read: a header claiming 16 million matches beside a sparse index of as many entries...
    std::string crafted = data.substr(0, kResultsHeaderSize);
    crafted[4] = crafted[5] = crafted[6] = '\xff';
    crafted[7] = 0;
    TempFolder::write("crafted.ztr", crafted);
    TempFolder::write("crafted.zix", "");
    fs::resize_file("crafted.zix", std::uintmax_t{1} << 26);
    // ...one entry fewer than Found asks for, and a last entry short of the data file's end.
    TempFolder::write("short.ztr", data);
    TempFolder::write("short.zix", index.substr(0, index.size() - kIndexEntrySize));
    TempFolder::write("longer.ztr", data + "x");
    TempFolder::write("longer.zix", index);
    // The shown name is the full native path.
    const std::string here = m_folder.path().string() + "/";
    struct Case {
        std::string name;
        std::string message;
    };
    const Case cases[] = {{"missing", "Unable to Open File: " + here + "missing.ztr"},
                          {"noindex", "Unable to Open File: " + here + "noindex.zix"},
                          {"text", here + "text.ztr is not a Zantric results file."},
                          {"crafted", here + "crafted.ztr is not a Zantric results file."},
                          {"short", here + "short.ztr is not a Zantric results file."},
                          {"longer", here + "longer.ztr is not a Zantric results file."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool showing : {false, true}) {
            m_messages.clear();
            ResultsStore results = makeStore();
            if (showing) {
                ASSERT_TRUE(results.openSaved("saved.ztr"));
            }
            EXPECT_FALSE(results.openSaved(c.name));
            ASSERT_EQ(m_messages.count(), 1u);
            EXPECT_EQ(m_messages.last().text, c.message);
            EXPECT_EQ(m_messages.last().title, "File Error.");
            EXPECT_EQ(results.isOpen(), showing);
            EXPECT_EQ(results.dataName(), showing ? "saved.ztr" : "tmp.$$$");
            EXPECT_EQ(results.count(), showing ? 3 : 0);
            if (showing) {
                EXPECT_EQ(results.rowText(2), "cat so\t");
            }
        }
    }
}

TEST_F(ResultsStoreTest, DeleteAndDestroyRemoveOnlyWhatTheyShould) {
    saveExample();
    {
        ResultsStore results = makeStore();
        store(results, kExample);
        ASSERT_TRUE(results.openSaved("saved"));
        EXPECT_TRUE(fs::exists("tmp.$$$"));
    }
    // Destroying deletes the temporary pair, never the saved pair being viewed.
    EXPECT_FALSE(fs::exists("tmp.$$$"));
    EXPECT_FALSE(fs::exists("tmp.zix"));
    EXPECT_TRUE(fs::exists("saved.ztr"));

    ResultsStore results = makeStore();
    ASSERT_TRUE(results.openSaved("saved"));
    EXPECT_TRUE(results.deleteCurrent());
    EXPECT_FALSE(fs::exists("saved.ztr"));
    EXPECT_FALSE(fs::exists("saved.zix"));
    EXPECT_FALSE(results.isOpen());
    EXPECT_EQ(results.dataName(), "tmp.$$$");
    EXPECT_EQ(results.rowCount(), 0);

    // The index goes only with its data file.
    TempFolder::write("tmp.zix", "x");
    EXPECT_TRUE(results.deleteCurrent());
    EXPECT_TRUE(fs::exists("tmp.zix"));
    EXPECT_EQ(m_messages.count(), 0u);
}

// Damaged pairs: whatever the bytes, opening fails with a message or the rows come back wrong,
// and every row stays inside what the layout allows.
TEST_F(ResultsStoreTest, DamagedPairsNeverCrash) {
    saveExample();
    const std::string data = TempFolder::read("saved.ztr");
    const std::string index = TempFolder::read("saved.zix");
    ResultsStore results = makeStore();
    auto check = [&](const std::string& d, const std::string& x) {
        TempFolder::write("bad.ztr", d);
        TempFolder::write("bad.zix", x);
        results.reset();
        results.setListWidth(40);
        if (!results.openSaved("bad")) return;
        ASSERT_LE(std::uint64_t(results.count()) * 4 + 4, std::max<std::size_t>(x.size(), 4));
        for (std::int32_t r = -1; r <= results.rowCount(); ++r) {
            std::string_view row = results.rowText(r);
            ASSERT_LE(row.size(), std::size_t(results.longest() + 1) * results.perRow());
        }
    };
    for (std::size_t n = 0; n <= data.size(); ++n) check(data.substr(0, n), index);
    for (std::size_t n = 0; n <= index.size(); ++n) check(data, index.substr(0, n));

    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        std::string d = data;
        std::string x = index;
        for (int k = 0; k < 4; ++k) {
            std::string& target = random() % 2 ? d : x;
            target[random() % target.size()] = static_cast<char>(random());
        }
        // Also the counts and lengths of the header, which decide how much is read.
        if (round % 3 == 0) d[4 + random() % 10] = static_cast<char>(random());
        check(d, x);
    }
}

}  // namespace
}  // namespace zantric
