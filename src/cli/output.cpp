#include "cli/output.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "cli/cli_commands.h"
#include "cli/interrupt.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric::cli {

namespace {

int g_error = 0;  // the first failed write's errno
std::function<void()> g_whileWriteWaits;

void noteError(int error) {
    if (g_error == 0) g_error = error != 0 ? error : EIO;
}

}  // namespace

bool flushStdout() {
    if (g_error != 0) return false;
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) noteError(errno);
    return g_error == 0;
}

bool writeOutput(std::string_view bytes) {
    if (!flushStdout()) return false;
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR && !endNow()) {
                if (g_whileWriteWaits) g_whileWriteWaits();
                continue;
            }
            if (errno != EINTR) noteError(errno);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

WhileWriteWaits::WhileWriteWaits(std::function<void()> action)
    : m_before(std::exchange(g_whileWriteWaits, std::move(action))) {}

WhileWriteWaits::~WhileWriteWaits() { g_whileWriteWaits = std::move(m_before); }

void noteStdoutError(int error) {
    if (std::ferror(stdout)) noteError(error);
}

int outputError() { return g_error; }

bool outputClosed() {
    pollfd out{STDOUT_FILENO, 0, 0};
    if (::poll(&out, 1, 0) != 1 || (out.revents & POLLERR) == 0) return false;
    noteError(EPIPE);
    return true;
}

int finishOutput(int status) {
    flushStdout();
    if (g_error == EPIPE) return kExitBrokenPipe;
    if (g_error == 0) return status;
    std::fprintf(stderr, "%s%s\n", loadString(kStrUnableToWriteOutput).c_str(),
                 std::strerror(g_error));
    return kExitError;
}

OutputBuffer::OutputBuffer(std::size_t size) : m_buffer(size), m_escape(escapesFor(stdout)) {}

bool OutputBuffer::line(std::string_view text) {
    std::string escaped;
    if (m_escape) text = escaped = escapeControls(text);
    if (m_used + text.size() + 1 > m_buffer.size() && !flush()) return false;
    if (text.size() + 1 > m_buffer.size()) {
        return writeOutput(text) && writeOutput("\n");
    }
    std::memcpy(m_buffer.data() + m_used, text.data(), text.size());
    m_used += text.size();
    m_buffer[m_used++] = '\n';
    return true;
}

bool OutputBuffer::flush() {
    const std::size_t used = m_used;
    m_used = 0;
    return used == 0 ? flushStdout() : writeOutput(std::string_view(m_buffer.data(), used));
}

}  // namespace zantric::cli
