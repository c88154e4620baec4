// What every fuzz target shares: one scratch program folder, entered on the first input and
// kept for the process, and a presenter that shows nothing and answers every question with its
// first button (Yes, OK, Overwrite). The fuzzers and the replay tests run one input at a time
// on one thread.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "core/dictionary/workspace.h"
#include "core/shell/messages.h"
#include "core/shell/settings.h"
#include "support/temp_folder.h"

namespace zantric::fuzz {

// Counts what it is asked to show instead of keeping it: a fuzzer runs millions of inputs.
class SilentPresenter : public Prompter {
public:
    int choose(const Message&, const Captions&) override {
        ++m_shown;
        return 0;
    }
    int shown() const { return m_shown; }

protected:
    Answer answer(const Message& message) override {
        ++m_shown;
        return message.buttons == Buttons::kYesNo ? Answer::kYes : Answer::kOk;
    }

private:
    int m_shown = 0;
};

// A fresh temporary folder as the current folder, with the program's subfolders and a default
// zantric.ini, and the silent presenter the fuzz targets hand on; once per process.
inline SilentPresenter& enterScratchFolder() {
    static test::TempFolder folder;
    static SilentPresenter presenter;
    static const bool entered = [] {
        for (const char* name : {"files", "lexicons", "temp"})
            std::filesystem::create_directory(name);
        const Settings written(presenter);  // writes the default zantric.ini
        return true;
    }();
    (void)entered;
    return presenter;
}

// The settings (the default zantric.ini, written on the first call) and the catalogue of the
// scratch folder, with the silent presenter.
inline Workspace scratchWorkspace() {
    SilentPresenter& presenter = enterScratchFolder();
    static const Settings settings(presenter);
    static Catalogue catalogue(settings, presenter);
    return {settings, catalogue, presenter};
}

// Takes the input apart: the next byte (0 once the input is used up), the next field up to a
// separator byte or the end, and the rest.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size)
        : m_text(reinterpret_cast<const char*>(data), size) {}
    std::uint8_t byte() {
        return m_at < m_text.size() ? static_cast<std::uint8_t>(m_text[m_at++]) : 0;
    }
    std::string_view field(char separator) {
        const std::size_t end = std::min(m_text.find(separator, m_at), m_text.size());
        const std::string_view text = m_text.substr(m_at, end - m_at);
        m_at = std::min(end + 1, m_text.size());
        return text;
    }
    std::string_view rest() { return m_text.substr(std::exchange(m_at, m_text.size())); }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

// Stops the process with a message on stderr when an expectation of a target fails; the fuzzer
// keeps the input as a crash.
inline void expect(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz: expectation failed: %s\n", what);
    std::abort();
}

}  // namespace zantric::fuzz
