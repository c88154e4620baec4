// The command line's message boxes: each becomes one block on stderr ("Title: text"), with
// control characters escaped when stderr is a terminal. A question takes Yes/OK with --yes, asks
// on the terminal when stdin is one, and otherwise takes No/Cancel and says so. It notes whether
// an error was shown, so that the command cannot then end with status 0. Installed by main() for
// the whole run; any thread may show a message.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "core/shell/messages.h"

namespace zantric::cli {

class CliPresenter : public Prompter {
public:
    // `yes` is read at each question, so it may be set after construction (by the parser).
    explicit CliPresenter(const bool* yes) : m_yes(yes) {}
    int choose(const Message& question, const Captions& captions) override;
    // Whether an error has been shown: a box with the stop icon, or one titled as an error ("File
    // Error", "File Error.", "Error", "Input Error", "Zantric Exception").
    bool errorShown() const { return m_errorShown; }
    // A box whose text is `text` is left out from now on ("" shows every box again).
    void silence(std::string text) {
        std::lock_guard lock(m_mutex);
        m_silenced = std::move(text);
    }

protected:
    Answer answer(const Message& message) override;

private:
    // Reads one answer line from the terminal; "" when there is none.
    std::string readAnswer(const std::string& prompt);

    const bool* m_yes;
    std::mutex m_mutex;
    std::atomic<bool> m_errorShown{false};
    std::string m_silenced;
};

}  // namespace zantric::cli
