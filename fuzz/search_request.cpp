// Fuzz target: the four search fields as any text, pasted rather than typed, checked as Start
// checks them, and when the request is accepted, searched in a small dictionary. The first byte
// holds the two options; the fields follow, separated by line feeds: FIND, FROM, INCLUDE and
// EXCLUDE. An accepted FIND is normalised; nothing may crash whatever the fields hold.
#include "core/search/search_request.h"

#include <atomic>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/results/results_store.h"
#include "core/search/search_level.h"
#include "core/search/subset_analysis.h"
#include "core/shell/zantric_exception.h"
#include "fuzz_support.h"

namespace {

using namespace zantric;

// The dictionary searched: made on the first input and selected.
bool makeSmallDictionary() {
    {
        DictionaryWriter writer("./lexicons/small.lex");
        for (const char* word :
             {"a",      "I",      "at",      "to",       "act",   "Cat",   "cat",
              "cot",    "sat",    "tab",     "taco",     "ta-co", "coat",  "cost",
              "scat",   "acts",   "ascot",   "coast",    "coats", "tacos", "Costa",
              "actors", "castor", "co-star", "strainers"})
            writer.addWord(word);
        writer.close();
    }
    Catalogue& catalogue = fuzz::scratchWorkspace().catalogue;
    catalogue.add("./lexicons/small.lex");
    return catalogue.setSelected("./lexicons/small.lex", true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::enterScratchFolder();
    static const bool made = makeSmallDictionary();
    (void)made;
    fuzz::InputReader input(data, size);
    const std::uint8_t options = input.byte();
    SearchFields fields;
    fields.useAllFromLetters = options & 1;
    fields.suppressPermutations = options & 2;
    fields.find = input.field('\n');
    fields.from = input.field('\n');
    fields.include = input.field('\n');
    fields.exclude = input.rest();

    SearchRequest request(fuzz::scratchWorkspace());
    if (!request.build(fields)) return 0;
    const std::string& find = request.find();
    // A digit run 0 leaves its blanks behind ("a 0 b" is "a  b"): the search skips them.
    fuzz::expect(!find.empty() && find.size() <= kMaxFindLength, "an accepted FIND fits");
    fuzz::expect(find.find('!') == std::string::npos || find.find('!') == find.size() - 1,
                 "a '!' ends the FIND");
    fuzz::expect(!includeExcludeConflict(request.include(), request.exclude()),
                 "INCLUDE and EXCLUDE share nothing");

    // Phrase searches grow quickly with the letters: only short ones are run.
    if (request.multiWord() && request.from().size() > 12) return 0;
    try {
        if (request.multiWord() && request.analysisNeeded()) {
            SubsetAnalysis analysis(request.workspace(), request.fromLetters());
            if (!analysis.run()) return 0;
        }
        ResultsStore results("search.$$$", "search.zix", request.workspace().prompter);
        std::atomic<std::int64_t> checkedBase{0};
        ReadControl reads;
        SearchLevel top(request, reads, checkedBase);
        top.run(results);
        results.finish({fields});
        for (std::int64_t first = 0; first < results.count() && first < 256; ++first)
            results.rowText(first, 1);
    } catch (const ZantricException&) {
        // A file that cannot be opened or written has been reported.
    }
    return 0;
}
