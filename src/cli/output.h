// A large output buffer for result lines, so that printing a million matches costs a few
// system calls, and the escaping of what files hold before it reaches a terminal. One per
// command; main thread.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace zantric::cli {

// Whether text bound for `file` is escaped: only a terminal acts on control characters, and
// output to a pipe or a file stays byte for byte.
inline bool escapesFor(std::FILE* file) { return isatty(fileno(file)) == 1; }

// The text with every byte below 32 other than the line feed, and 127, written as \xNN (ESC is
// "\x1b"), so that bytes read from a file cannot retitle, clear or reprogram a terminal.
inline std::string escapeControls(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 32 && c != '\n') || byte == 127) {
            constexpr char kHex[] = "0123456789abcdef";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
        } else {
            shown += c;
        }
    }
    return shown;
}

// `text` as it may be written to `file`: escaped for a terminal, else as it stands.
inline std::string shownText(std::FILE* file, std::string_view text) {
    return escapesFor(file) ? escapeControls(text) : std::string(text);
}

class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE* file, std::size_t size = 1 << 16)
        : m_file(file), m_buffer(size), m_escape(escapesFor(file)) {}
    ~OutputBuffer() { flush(); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void line(std::string_view text) { line(text, {}); }
    // A line of text from a file followed by the program's own `tail` (a tab stays a tab).
    void line(std::string_view text, std::string_view tail) {
        std::string escaped;
        if (m_escape) text = escaped = escapeControls(text);
        if (!tail.empty()) {
            if (!m_escape) escaped = text;
            escaped += tail;
            text = escaped;
        }
        if (m_used + text.size() + 1 > m_buffer.size()) flush();
        if (text.size() + 1 > m_buffer.size()) {
            std::fwrite(text.data(), 1, text.size(), m_file);
            std::fputc('\n', m_file);
            return;
        }
        std::memcpy(m_buffer.data() + m_used, text.data(), text.size());
        m_used += text.size();
        m_buffer[m_used++] = '\n';
    }
    void flush() {
        if (m_used) std::fwrite(m_buffer.data(), 1, m_used, m_file);
        m_used = 0;
        std::fflush(m_file);
    }

private:
    std::FILE* m_file;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    bool m_escape;
};

}  // namespace zantric::cli
