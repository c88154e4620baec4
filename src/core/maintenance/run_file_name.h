// runFileName: the names of the runs of a word-list sort, the base name followed by a counter in
// lower-case hexadecimal ("<base>-tmp{{{.1", … ".f", ".10"). Pure; any thread.
#pragma once

#include <cstdint>
#include <string>

namespace zantric {

// `base`, a "." unless it already ends in one, and `number` in lower-case hexadecimal.
std::string runFileName(std::string base, std::uint64_t number);

}  // namespace zantric
