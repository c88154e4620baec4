// runFileName: a family of numbered file names, the base name followed by a counter in
// lower-case hexadecimal ("<base>-tmp{{{.1", … ".f", ".10"). Names the runs of a word-list sort.
// A plain value object; one thread at a time.
#pragma once

#include <string>

namespace zantric {

class runFileName {
public:
    // A "." is appended to `base` unless it already ends in one.
    runFileName(std::string base, int first);

    // Advances the counter and returns the base followed by the new number.
    std::string next();
    // The base followed by the current number, without advancing.
    std::string current() const;

private:
    std::string m_base;
    unsigned m_counter;
};

}  // namespace zantric
