#include "core/search/phrase_filters.h"

#include <algorithm>
#include <string>

#include "core/shell/common_level.h"
#include "core/shell/ini_names.h"
#include "core/shell/settings.h"

namespace zantric {

PhraseOptions readPhraseOptions(const Settings& config) {
    PhraseOptions options;
    options.minWordLength = std::clamp(
        config.readInt(ini::kPhraseOptionsSection, ini::kMinWordLength, 1), 1, kMaxMinWordLength);
    options.eachWordOnce = config.readInt(ini::kPhraseOptionsSection, ini::kEachWordOnce, 0) != 0;
    options.useStoplist = config.readInt(ini::kPhraseOptionsSection, ini::kUseStoplist, 1) != 0;
    options.common = std::clamp(config.readInt(ini::kPhraseOptionsSection, ini::kCommonWords, 0), 0,
                                kMostCommonLevel);
    options.bestShown =
        std::clamp(config.readInt(ini::kPhraseOptionsSection, ini::kBestShown, kDefaultBestShown),
                   1, kMostBestShown);
    return options;
}

void writePhraseOptions(const Settings& config, const PhraseOptions& options) {
    config.writeString(ini::kPhraseOptionsSection, ini::kMinWordLength,
                       std::to_string(options.minWordLength));
    config.writeString(ini::kPhraseOptionsSection, ini::kEachWordOnce,
                       options.eachWordOnce ? "1" : "0");
    config.writeString(ini::kPhraseOptionsSection, ini::kUseStoplist,
                       options.useStoplist ? "1" : "0");
    // An ini that never had them stays as it was while they keep their defaults.
    const auto writeNew = [&config](std::string_view key, int value, int byDefault) {
        if (value != byDefault || config.readInt(ini::kPhraseOptionsSection, key, -1) != -1)
            config.writeString(ini::kPhraseOptionsSection, key, std::to_string(value));
    };
    writeNew(ini::kCommonWords, options.common, 0);
    writeNew(ini::kBestShown, options.bestShown, kDefaultBestShown);
}

PhraseFilters filtersFor(Prompter& prompter, const PhraseOptions& options) {
    PhraseFilters filters;
    filters.minWordLength = options.minWordLength;
    filters.eachWordOnce = options.eachWordOnce;
    if (options.useStoplist) {
        auto stoplist = std::make_shared<Stoplist>(Stoplist::read(prompter, kStoplistFileName));
        if (!stoplist->empty()) filters.stoplist = std::move(stoplist);
    }
    return filters;
}

}  // namespace zantric
