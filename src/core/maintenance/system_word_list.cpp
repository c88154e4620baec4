#include "core/maintenance/system_word_list.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace zantric {

std::vector<std::string> systemWordListCandidates() {
    return {"/usr/share/dict/american-english", "/usr/share/dict/words"};
}

std::string firstReadableWordList(const std::vector<std::string>& candidates) {
    for (const std::string& name : candidates) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(name, error)) continue;
        if (std::ifstream(name, std::ios::binary).is_open()) return name;
    }
    return {};
}

std::string systemWordList() { return firstReadableWordList(systemWordListCandidates()); }

}  // namespace zantric
