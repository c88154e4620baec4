// Damaged results pairs: every single-byte change of the data file's header and of the index
// of a saved pair opens with a message or shows rows that stay inside the layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
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
        made.finish(SearchSummary{"!", "tacos", "", "", true, true, 0, 5120});
        data = TempFolder::read("made.ztr");
        index = TempFolder::read("made.zix");
    }
    ASSERT_EQ(data.size(), kResultsHeaderSize + 25);
    ASSERT_EQ(index.size(), 5 * kIndexEntrySize);

    ResultsStore results("tmp.$$$", "tmp.zix");
    results.setListWidth(24);
    // Thousands of pairs are written: on a memory file system where there is one.
    const std::string bad = std::filesystem::is_directory("/dev/shm")
                                ? "/dev/shm/zantric-" + folder.path().filename().string()
                                : "bad";
    auto check = [&](const std::string& d, const std::string& x) {
        TempFolder::write(bad + ".ztr", d);
        TempFolder::write(bad + ".zix", x);
        if (!results.openSaved(bad)) return;
        ASSERT_LE(std::uint64_t(results.count()) * 4 + 4, std::max<std::size_t>(x.size(), 4));
        for (std::int32_t r = -1; r <= results.rowCount(); ++r) {
            ASSERT_LE(results.rowText(r).size(),
                      std::size_t(results.longest() + 1) * std::size_t(results.perRow()));
        }
    };
    for (unsigned char flip : {0x01, 0x80, 0xFF}) {
        for (std::size_t at = 0; at < kResultsHeaderSize; ++at) {
            std::string d = data;
            d[at] = static_cast<char>(d[at] ^ flip);
            check(d, index);
        }
        for (std::size_t at = 0; at < index.size(); ++at) {
            std::string x = index;
            x[at] = static_cast<char>(x[at] ^ flip);
            check(data, x);
        }
    }
    results.reset();
    std::filesystem::remove(bad + ".ztr");
    std::filesystem::remove(bad + ".zix");
}

}  // namespace
}  // namespace zantric
