#include "core/maintenance/system_word_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/dictionary/catalogue.h"
#include "core/maintenance/make_dictionary.h"

namespace zantric {

namespace {
constexpr const char* kDictFolder = "/usr/share/dict";
}  // namespace

std::vector<std::filesystem::path> systemWordListCandidates() {
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates = {fs::path(kDictFolder) / "words"};
    std::vector<fs::path> others;
    std::error_code error;
    for (fs::directory_iterator it(kDictFolder, error), end; !error && it != end;
         it.increment(error)) {
        // Word lists have plain names (american-english, ngerman); README.select-wordlist and
        // words.pre-dictionaries-common are not lists to use.
        const std::string name = it->path().filename().string();
        if (name != "words" && name.find('.') == std::string::npos) {
            others.push_back(it->path());
        }
    }
    std::sort(others.begin(), others.end(),
              [](const fs::path& a, const fs::path& b) { return a.native() < b.native(); });
    candidates.insert(candidates.end(), others.begin(), others.end());
    return candidates;
}

std::filesystem::path firstReadableWordList(const std::vector<std::filesystem::path>& candidates) {
    for (const std::filesystem::path& name : candidates) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(name, error)) continue;
        if (std::ifstream(name, std::ios::binary).is_open()) return name;
    }
    return {};
}

std::filesystem::path systemWordList() { return firstReadableWordList(systemWordListCandidates()); }

std::filesystem::path systemWordList(Language language) {
    constexpr const char* kLists[] = {"", "french", "ngerman", "spanish", "italian"};
    if (!foldsLetters(language)) return systemWordList();
    return firstReadableWordList(
        {std::filesystem::path(kDictFolder) / kLists[static_cast<int>(language)]});
}

std::string starterDictionaryName(Language language) {
    constexpr const char* kNames[] = {"", "french", "german", "spanish", "italian"};
    return foldsLetters(language) ? kNames[static_cast<int>(language)]
                                  : std::string(kStarterDictionaryName);
}

bool starterKeepsLine(std::string_view line) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) return true;
    line.remove_prefix(start);
    line = line.substr(0, line.find(' '));
    auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    auto letter = [&](char c) { return upper(c) || (c >= 'a' && c <= 'z'); };
    if (std::none_of(line.begin(), line.end(), letter)) return true;
    if (line.size() >= 2 && upper(line[0]) && upper(line[1])) return false;
    if (line.size() == 1) return line == "a" || line == "I";
    return line.find_first_of("aeiouyAEIOUY") != std::string_view::npos;
}

MaintenanceOutcome makeStarterDictionary(Workspace workspace, const std::filesystem::path& wordList,
                                         const StageRunner& run, WordListReport* report,
                                         Language language) {
    const std::string name = starterDictionaryName(language);
    const MaintenanceOutcome outcome =
        makeDictionary(workspace, wordList, name, false, run, starterKeepsLine, report, language);
    if (outcome != MaintenanceOutcome::kDone) return outcome;
    Catalogue& catalogue = workspace.catalogue;
    const std::filesystem::path path = dictionaryPathFor(workspace.settings, name);
    if (catalogue.find(path) == nullptr) return MaintenanceOutcome::kFailed;
    catalogue.setSelected(path, true);
    catalogue.find(path)->writeHeader(
        workspace.prompter);  // another copy started now sees the selection
    return MaintenanceOutcome::kDone;
}

}  // namespace zantric
