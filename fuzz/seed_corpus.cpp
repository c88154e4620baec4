// zantric_fuzz_seeds OUTDIR: writes a starting corpus for every fuzz target into OUTDIR/<target>,
// made by the program's own writers (dictionaries by DictionaryWriter, results pairs by
// ResultsStore, ini files by the profile writer), so that the fuzzers start from valid files.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dictionary/dictionary_writer.h"
#include "core/results/results_store.h"
#include "core/shell/profile.h"
#include "fuzz_support.h"

namespace {

namespace fs = std::filesystem;
using namespace zantric;

std::string readFile(const std::string& name) { return test::TempFolder::read(name); }

class Seeds {
public:
    explicit Seeds(fs::path folder) : m_folder(std::move(folder)) {}
    void add(const std::string& target, const std::string& bytes) {
        test::TempFolder::write(m_folder / target / ("seed-" + std::to_string(++m_count)), bytes);
    }

private:
    fs::path m_folder;
    int m_count = 0;
};

std::string dictionaryBytes(const std::vector<const char*>& words) {
    {
        DictionaryWriter writer("seed.lex");
        for (const char* word : words) writer.addWord(word);
        writer.close();
    }
    return readFile("seed.lex");
}

std::string resultsSeed(std::uint8_t layout,
                        const std::vector<std::pair<const char*, bool>>& matches) {
    std::string data;
    std::string index;
    {
        // Read before the store goes: it deletes the pair it was given as its temporary pair.
        ResultsStore results("seed.ztr", "seed.zix");
        for (const auto& [text, lineFeed] : matches) results.append(text, lineFeed);
        results.finish(SearchSummary{{"c?t", "tacos", "a", "z", true, false}, 0, 120});
        data = readFile("seed.ztr");
        index = readFile("seed.zix");
    }
    std::string seed;
    seed += static_cast<char>(layout);
    seed += static_cast<char>(data.size() & 0xFF);
    seed += static_cast<char>(data.size() >> 8);
    return seed + data + index;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zantric_fuzz_seeds OUTDIR\n");
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    fuzz::enterScratchFolder();
    Seeds seeds(out);

    const std::vector<std::vector<const char*>> wordSets = {
        {},
        {"a"},
        {"a", "at", "Bat", "cat", "ab-c", "cots", "strainers", "zoo"},
        {"I", "an", "be", "Cat", "cat", "ca-t", "dog", "e-mail", "email", "zebra", "quizzical"},
        {"cat", "strawberry", "conservation", "Conversation", "counterrevolutionary",
         "counter-revolutionary"},
    };
    for (std::size_t i = 0; i < wordSets.size(); ++i) {
        const std::string file = dictionaryBytes(wordSets[i]);
        for (const std::string& options :
             {std::string("\x00\x00\x00\x00", 4), std::string("\x01\x01\x01\x02", 4),
              std::string("\x0f\x02\x03\x00", 4)}) {
            seeds.add("dictionary_reader", options + file);
        }
    }

    seeds.add("results_pair",
              resultsSeed(0x50, {{"ascot", true}, {"coats", true}, {"cat so ", false}}));
    seeds.add("results_pair", resultsSeed(0x03, {{"a", true}}));
    seeds.add("results_pair", resultsSeed(0xff, {{"strainers", true},
                                                 {"co-star", true},
                                                 {"act", true},
                                                 {"Cat", true},
                                                 {"to at so ", false}}));

    seeds.add("profile", readFile("zantric.ini"));
    writeProfileString("FONT", "Face Name", "DejaVu Sans", "made.ini");
    writeProfileString("WINDOW POSITION", "Left", "-12", "made.ini");
    writeProfileString("SETTINGS", "Tab Size", "9", "made.ini");
    seeds.add("profile", readFile("made.ini"));
    seeds.add("profile",
              "[PATHS]\r\nFILES = \"c:\\files\" \r\n; note\r\n[SETTINGS]\r\nTab Size=12px\r\n");

    seeds.add("word_list",
              "cat\nCat\ndog\n\nwell-to-do\nab-c\n  Apple  \napple pie\ncaf\xc3\xa9\ntacos\n");
    seeds.add("word_list", "zebra\r\nquizzical\r\nco-star\r\nstrainers\r\nabcdefghij\r\n-ab\r\n");
    seeds.add("word_list", std::string(60, 'x') + "\nshort\n" + std::string("a\0b\n", 4) + "ok");

    seeds.add("search_request", std::string("\x01") + "*\ntacos\n\n");
    seeds.add("search_request", std::string(1, '\0') + "c?t\nTACOS\nt\nz");
    seeds.add("search_request", std::string("\x03") + "! \ncatso\n\n");
    seeds.add("search_request", std::string("\x01") + "3 2\nascot?\n\n");
    seeds.add("search_request", std::string(1, '\0') + "*a*\n\ns\nx-");
    return 0;
}
