// Standard output of zantric-cli. Small texts go through stdout's stream; result lines go
// through OutputBuffer, a large buffer written straight to the descriptor, so that printing a
// million matches costs a few system calls and a signal interrupts a write that waits. Every
// write is checked: the first that fails is noted with its reason, the command stops printing,
// and main reports it (finishOutput). What files hold is escaped before it reaches a terminal.
// Main thread.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/shell/string_table.h"

namespace zantric::cli {

// Whether text bound for `file` is escaped: only a terminal acts on control characters, and
// output to a pipe or a file stays byte for byte.
inline bool escapesFor(std::FILE* file) { return isatty(fileno(file)) == 1; }

// `text` as it may be written to `file`: escaped for a terminal, else as it stands.
inline std::string shownText(std::FILE* file, std::string_view text) {
    return escapesFor(file) ? escapeControls(text) : std::string(text);
}

// Writes bytes to standard output (after what stdout's stream holds). Waits while a pipe is
// full; a signal that asks for the end at once gives up the write. False once any write to
// standard output has failed.
bool writeOutput(std::string_view bytes);
// What a first Ctrl-C does while writeOutput waits on a slow reader, before it waits on (a
// search cancels itself there, and then prints the matches it kept); nothing when empty. While
// it lives, `action` is that; the one before it comes back after.
class WhileWriteWaits {
public:
    explicit WhileWriteWaits(std::function<void()> action);
    ~WhileWriteWaits();
    WhileWriteWaits(const WhileWriteWaits&) = delete;
    WhileWriteWaits& operator=(const WhileWriteWaits&) = delete;

private:
    std::function<void()> m_before;
};
// Flushes stdout's stream; false once any write to standard output has failed.
bool flushStdout();
// Notes a write to stdout's stream that failed with `error` out of sight (a flush made by a
// library's own printing), so that finishOutput reports its reason.
void noteStdoutError(int error);
// The reason (errno) of the first failed write to standard output, 0 when none failed.
int outputError();
// Whether standard output is a pipe whose reading end has been closed; that is then noted as a
// failed write (EPIPE), as the next write would fail.
bool outputClosed();
// At the end of the command: flushes standard output. A failed write prints "Unable to write
// the output: REASON" on stderr and gives status 1; a closed pipe gives 141 without a message;
// otherwise `status` is returned.
int finishOutput(int status);

class OutputBuffer {
public:
    // Result lines bound for standard output, escaped when it is a terminal.
    explicit OutputBuffer(std::size_t size = 1 << 16);
    ~OutputBuffer() { flush(); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // False once writing has failed; the line is then dropped.
    bool line(std::string_view text);
    bool flush();

private:
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    bool m_escape;
};

}  // namespace zantric::cli
