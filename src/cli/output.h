// A large output buffer for result lines, so that printing a million matches costs a few
// system calls. One per command; main thread.
#pragma once

#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace zantric::cli {

class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE* file, std::size_t size = 1 << 16) : m_file(file), m_buffer(size) {}
    ~OutputBuffer() { flush(); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void line(std::string_view text) {
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
};

}  // namespace zantric::cli
