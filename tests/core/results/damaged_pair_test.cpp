// Damaged results pairs: every cut and every single-byte change of the data file's header and of
// the index of a saved pair, and random changes anywhere, open with a message or show rows that
// stay inside the layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "core/results/results_store.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

using test::TempFolder;

TEST(DamagedPair, EveryChangeOfTheHeaderAndIndexIsReadSafely) {
    TempFolder folder;
    test::RecordingPresenter quiet;
    std::string data;
    std::string index;
    {
        ResultsStore made("made.ztr", "made.zix");
        for (const char* word : {"ascot", "coats", "tacos"}) made.append(word, true);
        made.append("cat so ", false);
        made.finish(SearchSummary{{"!", "tacos", "", "", true, true}, 0, 5120});
        data = TempFolder::read("made.ztr");
        index = TempFolder::read("made.zix");
    }
    ASSERT_EQ(data.size(), kResultsHeaderSize + 25);
    ASSERT_EQ(index.size(), 5 * kIndexEntrySize);

    ResultsStore results("tmp.$$$", "tmp.zix");
    // Thousands of pairs are written: on a memory file system where there is one.
    const std::string bad = std::filesystem::is_directory("/dev/shm")
                                ? "/dev/shm/zantric-" + folder.path().filename().string()
                                : "bad";
    auto check = [&](const std::string& d, const std::string& x) {
        TempFolder::write(bad + ".ztr", d);
        TempFolder::write(bad + ".zix", x);
        results.reset();
        results.setListWidth(24);
        if (!results.openSaved(bad)) return;
        ASSERT_LE(std::uint64_t(results.count()) * 4 + 4, std::max<std::size_t>(x.size(), 4));
        for (std::int32_t r = -1; r <= results.rowCount(); ++r) {
            ASSERT_LE(results.rowText(r).size(),
                      std::size_t(results.longest() + 1) * std::size_t(results.perRow()));
        }
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
    results.reset();
    std::filesystem::remove(bad + ".ztr");
    std::filesystem::remove(bad + ".zix");
}

}  // namespace
}  // namespace zantric
