// zantric_fuzz_seeds OUTDIR: writes a starting corpus for every fuzz target into OUTDIR/<target>,
// made by the program's own writers (dictionaries by DictionaryWriter, results pairs by
// ResultsStore, ini files by the profile writer), so that the fuzzers start from valid files.
#include <cstdio>
#include <string>
#include <vector>

#include "core/dictionary/dictionary_writer.h"
#include "core/results/results_store.h"
#include "core/shell/profile.h"
#include "fuzz_support.h"

using namespace zantric;
using test::TempFolder;
using namespace std::string_literals;

namespace {

std::string dictionaryBytes(const std::vector<const char*>& words) {
    {
        DictionaryWriter writer("seed.lex");
        for (const char* word : words) writer.addWord(word);
        writer.close();
    }
    return TempFolder::read("seed.lex");
}

// The layout byte, the data file's length in two bytes, the data file and the index file.
std::string resultsSeed(char layout, const std::vector<std::pair<const char*, bool>>& matches) {
    std::string data, index;
    {
        // Read before the store goes: it deletes the pair it was given as its temporary pair.
        ResultsStore results("seed.ztr", "seed.zix", fuzz::enterScratchFolder());
        for (const auto& [text, lineFeed] : matches) results.append(text, lineFeed);
        results.finish(SearchSummary{{"c?t", "tacos", "a", "z", true, false}, 0, 120});
        data = TempFolder::read("seed.ztr");
        index = TempFolder::read("seed.zix");
    }
    return std::string{layout, static_cast<char>(data.size() & 0xFF),
                       static_cast<char>(data.size() >> 8)} +
           data + index;
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zantric_fuzz_seeds OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[1]);
    fuzz::enterScratchFolder();
    int count = 0;
    auto add = [&](const char* target, const std::string& bytes) {
        TempFolder::write(out / target / ("seed-" + std::to_string(++count)), bytes);
    };

    // clang-format off
    for (const std::vector<const char*>& words : std::vector<std::vector<const char*>>{
             {}, {"a"}, {"a", "at", "Bat", "cat", "ab-c", "cots", "strainers", "zoo"},
             {"I", "an", "be", "Cat", "cat", "ca-t", "dog", "e-mail", "email", "zebra", "quizzical"},
             {"cat", "strawberry", "conservation", "Conversation", "counterrevolutionary",
              "counter-revolutionary"}})
        for (const char* options : {"\x00\x00\x00\x00", "\x01\x01\x01\x02", "\x0f\x02\x03\x00"})
            add("dictionary_reader", std::string(options, 4) + dictionaryBytes(words));
    add("results_pair", resultsSeed(0x50, {{"ascot", true}, {"coats", true}, {"cat so ", false}}));
    add("results_pair", resultsSeed(0x03, {{"a", true}}));
    add("results_pair", resultsSeed(char(0xff), {{"strainers", true}, {"co-star", true}, {"act", true},
                                                 {"Cat", true}, {"to at so ", false}}));
    add("profile", TempFolder::read("zantric.ini"));
    for (const auto& [section, key, value] : {std::tuple{"FONT", "Face Name", "DejaVu Sans"},
             {"WINDOW POSITION", "Left", "-12"}, {"SETTINGS", "Tab Size", "9"}})
        writeProfileString(section, key, value, "made.ini");
    add("profile", TempFolder::read("made.ini"));
    add("profile", "[PATHS]\r\nFILES = \"c:\\files\" \r\n; note\r\n[SETTINGS]\r\nTab Size=12px\r\n");
    for (const std::string& bytes : {
             "cat\nCat\ndog\n\nwell-to-do\nab-c\n  Apple  \napple pie\ncaf\xc3\xa9\ntacos\n"s,
             "zebra\r\nquizzical\r\nco-star\r\nstrainers\r\nabcdefghij\r\n-ab\r\n"s,
             std::string(60, 'x') + "\nshort\n" + std::string("a\0b\n", 4) + "ok"})
        add("word_list", bytes);
    for (const std::string& fields : {"\x01*\ntacos\n\n"s, "\0c?t\nTACOS\nt\nz"s, "\x03! \ncatso\n\n"s,
                                      "\x01" "3 2\nascot?\n\n"s, "\0*a*\n\ns\nx-"s})
        add("search_request", fields);
    // clang-format on
    return 0;
} catch (...) {  // a file that cannot be written: the test fails
    std::fprintf(stderr, "zantric_fuzz_seeds: the corpus could not be written\n");
    return 1;
}
