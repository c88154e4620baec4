#include "core/results/results_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;
using Rows = std::vector<std::string>;

Rows allRows(ResultsStore& store, std::int32_t perRow = 1) {
    Rows rows;
    for (std::int64_t first = 0; first < store.count(); first += perRow)
        rows.emplace_back(store.rowText(first, perRow));
    return rows;
}

class ResultsStoreTest : public ::testing::Test {
protected:
    // Stores the words, each with its line feed, as the temporary pair tmp.$$$ and tmp.zix.
    static void store(ResultsStore& results, const Rows& words) {
        results.reset();
        for (const std::string& word : words) results.append(word, true);
        results.finish({});
    }
    // The worked example of docs/results-format.md, saved as saved.ztr and saved.zix: two
    // words and a phrase, which arrives with its trailing separator.
    void saveExample() {
        ResultsStore results("a.$$$", "a.zix", m_messages);
        results.append("ascot", true);
        results.append("coats", true);
        results.append("cat so ", false);
        results.finish({{"!", "tacos", "", "", true, true}, 0, 5120});
        fs::copy_file("a.$$$", "saved.ztr");
        fs::copy_file("a.zix", "saved.zix");
    }

    TempFolder m_folder;
    test::RecorderPresenter m_messages;
    ResultsStore m_results{"tmp.$$$", "tmp.zix", m_messages};
};

TEST_F(ResultsStoreTest, WorkedExampleGivesTheDocumentedPair) {
    saveExample();
    // Found 3 from the store, Checked 5120 from the search, longest 7 ("cat so " with its
    // separator); nothing but zeros behind the texts.
    std::string header(kResultsHeaderSize, '\0');
    header.replace(0, 14, "\xB1\x59\0\0\x03\0\0\0\0\x14\0\0\x07\0", 14);
    header.replace(14, 1, "!");
    header.replace(56, 5, "tacos");
    header.replace(342, 2, "\x01\x01");
    EXPECT_EQ(TempFolder::read("saved.ztr"), header + "ascot\ncoats\ncat so\n");
    EXPECT_EQ(TempFolder::read("saved.zix"),
              std::string("\x58\x01\0\0\x5E\x01\0\0\x64\x01\0\0\x6B\x01\0\0", 16));

    ASSERT_TRUE(m_results.openSaved("saved.any"));
    const SearchSummary shown = m_results.header().summary();
    EXPECT_EQ(std::tuple(m_results.dataName(), shown.fields.from, shown.checked),
              std::tuple("saved.ztr", "tacos", 5120));
    EXPECT_TRUE(shown.fields.suppressPermutations);
    EXPECT_EQ(allRows(m_results, 2), (Rows{"ascot\tcoats\t", "cat so\t"}));
    std::string copied = "kept\n";  // Copy's lines: one a match, only those asked for
    EXPECT_EQ(m_results.appendMatchLines(1, 5, copied), 2);
    EXPECT_EQ(copied, "kept\ncoats\ncat so\n");
    // A new search goes to the temporary pair and leaves the saved one alone.
    const std::string saved = TempFolder::read("saved.ztr");
    store(m_results, {"tacos"});
    EXPECT_EQ(m_results.dataName(), "tmp.$$$");
    EXPECT_EQ(allRows(m_results), Rows{"tacos\t"});
    EXPECT_EQ(TempFolder::read("saved.ztr"), saved);
    ResultsStore none("none.$$$", "none.zix", m_messages);
    store(none, {});  // no match: no file
    EXPECT_FALSE(fs::exists("none.$$$") || fs::exists("none.zix"));
    EXPECT_EQ(m_messages.count(), 0u);
}

// Lines are written a block at a time: many lines, and one longer than a block, land whole and
// in order, with an index entry for each, whether the search finishes or is simply reset.
TEST_F(ResultsStoreTest, LinesAcrossWriteBlocksLandWholeAndInOrder) {
    Rows words(30000, "abcdef");
    words[20000] = std::string(70000, 'z');
    for (const bool finish : {true, false}) {
        ResultsStore results("b.$$$", "b.zix", m_messages);
        std::string lines;
        std::string index;
        auto addEntry = [&index](std::size_t offset) {
            for (int b = 0; b < 4; ++b) index += static_cast<char>(offset >> (8 * b) & 0xFF);
        };
        addEntry(kResultsHeaderSize);
        for (const std::string& word : words) {
            results.append(word, true);
            lines += word + '\n';
            addEntry(kResultsHeaderSize + lines.size());
        }
        if (finish) {
            results.finish({});
        } else {
            results.reset();
        }
        // Compared whole, and shown only by size: the texts run to megabytes.
        const std::string data = TempFolder::read("b.$$$");
        EXPECT_TRUE(data.substr(kResultsHeaderSize) == lines) << finish << " " << data.size();
        EXPECT_TRUE(TempFolder::read("b.zix") == index) << finish;
        std::string copied;
        EXPECT_EQ(results.appendMatchLines(0, 40000, copied), finish ? 30000 : 0);
        EXPECT_TRUE(copied == (finish ? lines : "")) << finish << " " << copied.size();
    }
}

// A sink gets the same lines, whole and in order, with the pair or instead of it; without the
// pair no file is made, and the count and the limit hold as with one.
TEST_F(ResultsStoreTest, SinkGetsEveryLineWithOrWithoutThePair) {
    struct Collect final : LineSink {
        void take(std::string_view lines) override {
            EXPECT_TRUE(lines.empty() || lines.back() == '\n');
            text += lines;
        }
        std::string text;
    };
    Rows words(30000, "abcdef");
    words[20000] = std::string(70000, 'z');
    std::string lines;
    for (const std::string& word : words) lines += word + '\n';
    for (const bool writePair : {true, false}) {
        Collect sink;
        ResultsStore results("s.$$$", "s.zix", m_messages);
        results.setLineSink(&sink, writePair);
        store(results, words);
        EXPECT_EQ(results.count(), 30000);
        EXPECT_TRUE(sink.text == lines) << writePair << " " << sink.text.size();
        EXPECT_EQ(fs::exists("s.$$$") && fs::exists("s.zix"), writePair);
        EXPECT_EQ(results.rowText(0, 1).empty(), !writePair);

        sink.text.clear();
        results.setMatchLimit(2);
        results.reset();
        EXPECT_TRUE(results.append("one", true));
        EXPECT_FALSE(results.append("two", true));
        results.finish({});
        EXPECT_EQ(std::tuple(sink.text, results.stopped()),
                  std::tuple("one\ntwo\n", StoreStop::kLimit));

        // The pair's limits (4 GiB and 2,147,483,647 rows, lowered here) stop only a search
        // that writes the pair; one that only prints goes on to its end.
        using Capacity = std::pair<std::uint64_t, std::int64_t>;
        for (const auto& [bytes, rows] : {Capacity{kResultsHeaderSize + 8, 9}, Capacity{~0u, 2}}) {
            results.setCapacity(bytes, rows);
            sink.text.clear();
            results.setMatchLimit(0);
            results.reset();
            for (const char* word : {"one", "two", "six"}) results.append(word, true);
            results.finish({});
            results.setCapacity(~std::uint64_t{0}, std::int64_t{1} << 62);
            EXPECT_EQ(std::tuple(sink.text, results.count(), results.stopped()),
                      writePair ? std::tuple("one\ntwo\n", 2, StoreStop::kFull)
                                : std::tuple("one\ntwo\nsix\n", 3, StoreStop::kNone))
                << bytes << " " << rows;
        }
    }
}

TEST_F(ResultsStoreTest, RowsHoldTheMatchesAsked) {
    store(m_results, {"a", "b", "c", "d", "e", "f", "g"});
    const std::tuple<std::int64_t, std::int32_t, const char*> cases[] = {
        {0, 3, "a\tb\tc\t"},        // a row of three
        {6, 3, "g\t"},              // the last row holds the one left
        {2, 0, "c\t"},              // a row holds at least one match
        {4, 1 << 30, "e\tf\tg\t"},  // and what is left of a bounded number
        {7, 1, ""},                 // past the last match
        {-1, 1, ""}};               // before the first
    for (const auto& [first, count, row] : cases) EXPECT_EQ(m_results.rowText(first, count), row);
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
    const std::string here = m_folder.path().string() + "/";
    const std::pair<const char*, std::string> cases[] = {
        {"missing", "Unable to Open File: " + here + "missing.ztr"},
        {"noindex", "Unable to Open File: " + here + "noindex.zix"},
        {"text", here + "text.ztr is not a Zantric results file."},
        {"crafted", here + "crafted.ztr is not a Zantric results file."},
        {"short", here + "short.ztr is not a Zantric results file."},
        {"longer", here + "longer.ztr is not a Zantric results file."}};
    for (const auto& [name, message] : cases) {
        for (bool showing : {false, true}) {
            SCOPED_TRACE(testing::Message() << name << " showing " << showing);
            m_messages.clear();
            ResultsStore results("tmp.$$$", "tmp.zix", m_messages);
            ASSERT_TRUE(!showing || results.openSaved("saved.ztr"));
            EXPECT_FALSE(results.openSaved(name));
            ASSERT_EQ(m_messages.count(), 1u);
            EXPECT_EQ(std::tuple(m_messages.last().text, m_messages.last().title),
                      std::tuple(message, "File Error."));
            EXPECT_EQ(results.isOpen(), showing);
            EXPECT_EQ(results.dataName(), showing ? "saved.ztr" : "tmp.$$$");
            EXPECT_EQ(results.count(), showing ? 3 : 0);
            EXPECT_EQ(results.rowText(2, 1), showing ? "cat so\t" : "");
        }
    }
}

// Every cut and every single-byte change of the data file's header and of the index of a saved
// pair, and random changes anywhere, open with a message or show rows inside the layout.
TEST_F(ResultsStoreTest, DamagedPairsAreReadSafely) {
    saveExample();
    const std::string data = TempFolder::read("saved.ztr");
    const std::string index = TempFolder::read("saved.zix");
    ASSERT_EQ(index.size(), 4 * kIndexEntrySize);
    // Thousands of pairs are written: on a memory file system where there is one.
    const std::string bad = fs::is_directory("/dev/shm")
                                ? "/dev/shm/zantric-" + m_folder.path().filename().string()
                                : "bad";
    auto check = [&](const std::string& d, const std::string& x) {
        TempFolder::write(bad + ".ztr", d);
        TempFolder::write(bad + ".zix", x);
        m_results.reset();
        if (!m_results.openSaved(bad)) return;
        ASSERT_LE(std::uint64_t(m_results.count()) * 4 + 4, std::max<std::size_t>(x.size(), 4));
        constexpr std::int32_t kPerRow = 3;
        for (std::int64_t first = -kPerRow; first <= m_results.count(); first += kPerRow) {
            ASSERT_LE(m_results.rowText(first, kPerRow).size(),
                      std::size_t(m_results.longest() + 1) * kPerRow);
        }
        std::string copied;
        ASSERT_LE(m_results.appendMatchLines(0, 2, copied), 2);
        ASSERT_LE(copied.size(), d.size() + 1);
        ASSERT_TRUE(copied.empty() || copied.back() == '\n');
    };
    for (std::size_t n = 0; n <= data.size(); ++n) check(data.substr(0, n), index);
    for (std::size_t n = 0; n <= index.size(); ++n) check(data, index.substr(0, n));
    for (unsigned char flip : {0x01, 0x80, 0xFF}) {
        for (std::size_t at = 0; at < kResultsHeaderSize + index.size(); ++at) {
            std::string d = data;
            std::string x = index;
            char& byte = at < kResultsHeaderSize ? d[at] : x[at - kResultsHeaderSize];
            byte = static_cast<char>(byte ^ flip);
            check(d, x);
        }
    }
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
    m_results.reset();
    fs::remove(bad + ".ztr");
    fs::remove(bad + ".zix");
}

}  // namespace
}  // namespace zantric
