#include "core/maintenance/word_list_reader.h"

#include <cstring>

#include "core/maintenance/sort_record.h"
#include "core/shell/paths.h"
#include "core/shell/zantric_exception.h"

namespace zantric {
namespace {

[[noreturn]] void cannotRead(const std::string& name) {
    throw ZantricException("Unable to read File: " + shownPath(name));
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

LineKind validateWordLine(std::string_view line, char* word) {
    if (line.empty()) return LineKind::kEmpty;
    std::size_t at = 0;
    while (at < line.size() && line[at] == ' ') ++at;
    std::size_t end = at;
    while (end < line.size() && line[end] != ' ') ++end;
    for (std::size_t rest = end; rest < line.size(); ++rest) {
        if (line[rest] != ' ') return LineKind::kInvalid;
    }
    const std::string_view candidate = line.substr(at, end - at);
    if (candidate.empty() || candidate.size() > static_cast<std::size_t>(kSortWordPlaces)) {
        return LineKind::kInvalid;
    }
    int hyphens = 0;
    for (char c : candidate) {
        if (c == '-') {
            ++hyphens;
        } else if (!isLetter(c)) {
            return LineKind::kInvalid;
        }
    }
    if (hyphens > 1 || candidate.front() == '-' || candidate.back() == '-') {
        return LineKind::kInvalid;
    }
    if (hyphens == 0 && candidate.size() > static_cast<std::size_t>(kSortWordPlaces - 1)) {
        return LineKind::kInvalid;
    }
    word[0] = candidate[0];
    for (std::size_t i = 1; i < candidate.size(); ++i) word[i] = lower(candidate[i]);
    word[candidate.size()] = '\0';
    return LineKind::kWord;
}

int WordListReader::peek(std::size_t ahead, const std::string& name) {
    if (m_position + ahead >= m_end && !m_inputEnded) {
        const std::size_t left = m_end - m_position;
        std::memmove(m_buffer.get(), m_buffer.get() + m_position, left);
        m_position = 0;
        m_end = left;
        const std::size_t got = std::fread(m_buffer.get() + m_end, 1, kBufferBytes - m_end, m_file);
        if (std::ferror(m_file)) cannotRead(name);
        m_end += got;
        if (got == 0) m_inputEnded = true;
    }
    return m_position + ahead < m_end ? m_buffer[m_position + ahead] : -1;
}

std::string_view WordListReader::next(const std::string& name) {
    std::size_t length = 0;
    for (;;) {
        const int c = peek(0, name);
        if (c < 0) {
            m_atEnd = true;
            break;
        }
        // A line break: "\n", or "\r\n" as a text-mode read sees it.
        const int breakLength = c == '\n' ? 1 : (c == '\r' && peek(1, name) == '\n') ? 2 : 0;
        if (breakLength > 0) {
            m_position += breakLength;
            m_consumed += breakLength;
            break;
        }
        // A full piece of a longer line ends here; its rest is the next line.
        if (length == static_cast<std::size_t>(kWordListLineLimit)) break;
        m_line[length++] = static_cast<char>(c);
        ++m_position;
        ++m_consumed;
    }
    return std::string_view(m_line, length);
}

}  // namespace zantric
