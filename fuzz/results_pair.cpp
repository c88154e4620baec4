// Fuzz target: a saved results pair of any bytes, opened as View Results opens it and read row
// by row as the list reads it. The first byte chooses the matches a row, the next two the length
// of the data file; the rest is the data file and then the index file. Opening
// fails with a message or every row stays inside what the layout allows.
#include "core/results/results_store.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zantric;
    fuzz::SilentPresenter& presenter = fuzz::enterScratchFolder();
    fuzz::InputReader input(data, size);
    const std::uint8_t layout = input.byte();
    std::size_t dataLength = input.byte();
    dataLength |= static_cast<std::size_t>(input.byte()) << 8;
    const std::string_view rest = input.rest();
    dataLength = dataLength < rest.size() ? dataLength : rest.size();
    test::TempFolder::write("fuzz.ztr", rest.substr(0, dataLength));
    test::TempFolder::write("fuzz.zix", rest.substr(dataLength));

    ResultsStore results("tmp.$$$", "tmp.zix", presenter);
    const std::int32_t perRow = 1 + layout % 32;
    if (!results.openSaved("fuzz")) return 0;
    fuzz::expect(results.count() >= 0, "the count is not negative");
    fuzz::expect(static_cast<std::uint64_t>(results.count()) * 4 + 4 <=
                     (rest.size() - dataLength < 4 ? 4 : rest.size() - dataLength),
                 "every match counted has both ends in the index");
    for (std::int64_t first = -perRow; first <= results.count() && first < 4096 * perRow;
         first += perRow) {
        const std::string_view text = results.rowText(first, perRow);
        fuzz::expect(text.size() <= static_cast<std::size_t>(results.longest() + 1) *
                                        static_cast<std::size_t>(perRow),
                     "a row stays inside its layout");
    }
    // A narrower list re-reads the same pair with another layout.
    for (std::int64_t first = 0; first < results.count() && first < 64; ++first)
        results.rowText(first, 1);
    return 0;
}
