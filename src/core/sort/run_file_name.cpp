#include "core/sort/run_file_name.h"

#include "core/shell/settings.h"
#include "core/shell/temp_names.h"

namespace zantric {

std::string runFileName(std::string base, std::uint64_t number) {
    if (base.empty() || base.back() != '.') base += '.';
    return base + lowerCaseDigits(number, 16);
}

// This copy's own runs: a make of another copy, or one that ended abnormally, has runs of its own.
std::string runFileBase(const Settings& settings) { return tempBaseName(settings) + "-tmp{{{."; }

std::filesystem::path runFilePattern(const Settings& settings) {
    return settings.tempPath(runFileBase(settings) + "*");
}

}  // namespace zantric
