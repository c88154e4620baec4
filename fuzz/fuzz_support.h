// What every fuzz target shares: one scratch program folder, entered on the first input and
// kept for the process, and a presenter that shows nothing and answers every question with its
// first button (Yes, OK, Overwrite). The fuzzers and the replay tests run one input at a time
// on one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/shell/messages.h"

namespace zantric::fuzz {

class SilentPresenter : public MessagePresenter {
public:
    int show(const std::string&, const std::string&, int style, bool) override {
        ++m_shown;
        return style == kMbYesNo ? kIdYes : kIdOk;
    }
    int threeButton(const std::string&, const std::string&, const std::string&, const std::string&,
                    const std::string&) override {
        ++m_shown;
        return 0;
    }
    int shown() const { return m_shown; }

private:
    int m_shown = 0;
};

// Makes a fresh folder under the system's temporary folder the current folder, with a default
// zantric.ini, installs the silent presenter and loads the configuration; once per process.
// The folder is deleted when the process ends normally.
SilentPresenter& enterScratchFolder();

// Writes the bytes as the whole file `name` in the current folder; aborts when it cannot.
void writeFile(const std::string& name, const std::uint8_t* data, std::size_t size);
void writeFile(const std::string& name, std::string_view bytes);

// Takes the input apart: the next byte (0 once the input is used up), and the next field up to
// a separator byte or the end.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::string_view field(char separator);
    std::string_view rest();

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// Stops the process with a message on stderr when an expectation of a target fails; the fuzzer
// keeps the input as a crash.
void expect(bool condition, const char* what);

}  // namespace zantric::fuzz
