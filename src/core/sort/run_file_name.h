// The names of the runs of a word-list sort: the base name followed by a counter in lower-case
// hexadecimal ("<base>-tmp{{{.1", … ".f", ".10"), and this copy's base name and pattern in the
// temporary folder. runFileName is pure; the others read the process's temporary base name and
// the temporary folder. Any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace zantric {

class Settings;

// `base`, a "." unless it already ends in one, and `number` in lower-case hexadecimal.
std::string runFileName(std::string base, std::uint64_t number);

// The run files of this copy: the temporary folder + the process's temporary base name +
// "-tmp{{{." + a hexadecimal counter.
std::string runFileBase(const Settings& settings);
std::filesystem::path runFilePattern(const Settings& settings);

}  // namespace zantric
