#include "core/search/phrase_filters.h"

#include <algorithm>
#include <string>

#include "core/shell/settings.h"

namespace zantric {

namespace {
constexpr const char* kSection = "PHRASE OPTIONS";
constexpr const char* kMinWordLengthKey = "Minimum Word Length";
constexpr const char* kEachWordOnceKey = "Each Word Once";
constexpr const char* kUseStoplistKey = "Use Stoplist";
}  // namespace

PhraseOptions readPhraseOptions() {
    const Settings& config = Settings::instance();
    PhraseOptions options;
    options.minWordLength =
        std::clamp(config.readInt(kSection, kMinWordLengthKey, 1), 1, kMaxMinWordLength);
    options.eachWordOnce = config.readInt(kSection, kEachWordOnceKey, 0) != 0;
    options.useStoplist = config.readInt(kSection, kUseStoplistKey, 1) != 0;
    return options;
}

void writePhraseOptions(const PhraseOptions& options) {
    const Settings& config = Settings::instance();
    config.writeString(kSection, kMinWordLengthKey, std::to_string(options.minWordLength));
    config.writeString(kSection, kEachWordOnceKey, options.eachWordOnce ? "1" : "0");
    config.writeString(kSection, kUseStoplistKey, options.useStoplist ? "1" : "0");
}

PhraseFilters filtersFor(const PhraseOptions& options) {
    PhraseFilters filters;
    filters.minWordLength = options.minWordLength;
    filters.eachWordOnce = options.eachWordOnce;
    if (options.useStoplist) {
        auto stoplist = std::make_shared<Stoplist>(Stoplist::read(kStoplistFileName));
        if (!stoplist->empty()) filters.stoplist = std::move(stoplist);
    }
    return filters;
}

}  // namespace zantric
