#include "core/sort/word_list_reader.h"

#include <cstring>
#include <numeric>

#include "core/shell/paths.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"

namespace zantric {
namespace {

[[noreturn]] void cannotRead(const std::filesystem::path& name) {
    throw ZantricException("Unable to read File: " + shownPath(name));
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The longest word a language folds: a word list's line as its reader gives it.
constexpr std::size_t kFoldRoom = WordListReader::kLineRoom;

// Why a folded text with characters outside a-z is not a word, told more closely: the
// apostrophe of an elision, a digit, the full stop of an abbreviation, else kCharacters.
WordFault closerFault(std::string_view text) {
    if (text.find('\'') != std::string_view::npos) return WordFault::kApostrophe;
    if (text.find_first_of("0123456789") != std::string_view::npos) return WordFault::kDigits;
    if (text.back() == '.') return WordFault::kAbbreviation;
    return WordFault::kCharacters;
}

// The characters of a line that an example shows.
constexpr std::size_t kExampleLength = 32;

// A line as an example shows it: its start, control characters as \xNN, without a UTF-8
// character that the cut split, and "…" when the line goes on.
std::string exampleText(std::string_view text, bool cut) {
    if (text.size() > kExampleLength) {
        text = text.substr(0, kExampleLength);
        cut = true;
    }
    if (cut) {
        std::size_t end = text.size();
        std::size_t back = 0;  // continuation bytes before the end
        while (back < end && back < 3 &&
               (static_cast<unsigned char>(text[end - 1 - back]) & 0xC0) == 0x80) {
            ++back;
        }
        if (back < end) {
            const auto lead = static_cast<unsigned char>(text[end - 1 - back]);
            const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (length > back + 1) text = text.substr(0, end - 1 - back);
        }
    }
    // A line holds no line feed, so every control character is escaped.
    std::string shown = escapeControls(text);
    if (cut) shown += "…";
    return shown;
}

}  // namespace

WordFault wordFault(std::string_view text, bool wildcards) {
    if (text.find_first_not_of(' ') == std::string_view::npos) return WordFault::kEmpty;
    int letters = 0;
    int hyphens = 0;
    for (const char c : text) {
        if (isLetter(c) || (wildcards && c == '?')) {
            ++letters;
        } else if (c == '-') {
            ++hyphens;
        } else {
            return WordFault::kCharacters;
        }
    }
    if (hyphens > 1 || text.front() == '-' || text.back() == '-') return WordFault::kHyphens;
    return letters > kMaxWordLetters ? WordFault::kLength : WordFault::kNone;
}

std::string wordFaultText(WordFault fault) {
    switch (fault) {
        case WordFault::kNone:
            break;
        case WordFault::kEmpty:
            return loadString(kStrFaultEmpty);
        case WordFault::kCharacters:
            return loadString(kStrFaultCharacters);
        case WordFault::kHyphens:
            return loadString(kStrFaultHyphens);
        case WordFault::kLength:
            return loadString(kStrFaultLength);
        case WordFault::kApostrophe:
            return loadString(kStrFaultApostrophe);
        case WordFault::kDigits:
            return loadString(kStrFaultDigits);
        case WordFault::kAbbreviation:
            return loadString(kStrFaultAbbreviation);
        case WordFault::kNoFold:
            return loadString(kStrFaultNoFold);
    }
    return {};
}

std::string wordRefusalText(std::string_view word, WordFault fault) {
    return std::string(word) + loadString(kStrNotAWordBecause, wordFaultText(fault)) + "\n" +
           loadString(kStrWordRule);
}

WordFault judgeWordLine(std::string_view line, char* word, Language language,
                        std::string_view* written) {
    std::size_t at = 0;
    while (at < line.size() && line[at] == ' ') ++at;
    std::size_t end = at;
    while (end < line.size() && line[end] != ' ') ++end;
    if (line.find_first_not_of(' ', end) != std::string_view::npos) return WordFault::kCharacters;
    std::string_view candidate = line.substr(at, end - at);
    if (written) *written = candidate;
    char folded[kFoldRoom + 1];
    if (foldsLetters(language) && candidate.size() <= kFoldRoom) {
        const int length = foldLetters(language, candidate, folded);
        if (length < 0) return WordFault::kNoFold;
        candidate = std::string_view(folded, static_cast<std::size_t>(length));
    }
    WordFault fault = wordFault(candidate);
    if (fault == WordFault::kCharacters && foldsLetters(language)) fault = closerFault(candidate);
    if (fault != WordFault::kNone) return fault;
    word[0] = candidate[0];
    for (std::size_t i = 1; i < candidate.size(); ++i) word[i] = lower(candidate[i]);
    word[candidate.size()] = '\0';
    return WordFault::kNone;
}

LineKind validateWordLine(std::string_view line, char* word) {
    if (line.empty()) return LineKind::kEmpty;
    return judgeWordLine(line, word) == WordFault::kNone ? LineKind::kWord : LineKind::kInvalid;
}

int WordListReader::peek(std::size_t ahead, const std::filesystem::path& name) {
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

std::string_view WordListReader::next(const std::filesystem::path& name) {
    if (!m_started) {
        m_started = true;
        std::size_t matched = 0;
        while (matched < kUtf8ByteOrderMark.size() &&
               peek(matched, name) == static_cast<unsigned char>(kUtf8ByteOrderMark[matched])) {
            ++matched;
        }
        if (matched == kUtf8ByteOrderMark.size()) {
            m_position += matched;
            m_consumed += matched;
        }
    }
    std::size_t length = 0;
    m_cut = false;
    ++m_lineNumber;
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
        ++m_position;
        ++m_consumed;
        if (c == ' ' && length > 0 && m_line[length - 1] == ' ') continue;
        if (length < kLineRoom) {
            m_line[length++] = static_cast<char>(c);
        } else {
            m_cut = true;
        }
    }
    return std::string_view(m_line, length);
}

void WordListReport::skip(WordFault fault, std::uint64_t line, std::string_view text, bool cut) {
    const auto index = static_cast<std::size_t>(fault);
    ++skipped[index];
    if (examples[index].size() < kExamples)
        examples[index].push_back({line, exampleText(text, cut)});
}

std::uint64_t WordListReport::skippedLines() const {
    return std::accumulate(skipped.begin(), skipped.end(), std::uint64_t{0});
}

std::vector<std::string> describeReport(const WordListReport& report,
                                        std::string (*number)(std::uint64_t)) {
    std::vector<std::string> lines;
    lines.push_back(report.written
                        ? loadString(kStrWordsStoredLinesSkipped,
                                     {number(report.stored), number(report.skippedLines())})
                        : loadString(kStrLinesSkipped, {number(report.skippedLines())}));
    for (int i = 1; i < kWordFaults; ++i) {
        if (report.skipped[i] == 0) continue;
        std::string named;
        for (const WordListReport::Example& example : report.examples[i]) {
            if (!named.empty()) named += ", ";
            named += loadString(kStrLineNumber, {number(example.line)});
            if (static_cast<WordFault>(i) != WordFault::kEmpty)
                named += " \"" + example.text + "\"";
        }
        if (report.skipped[i] > report.examples[i].size()) named += ", …";
        lines.push_back("  " +
                        loadString(kStrSkippedReason, {wordFaultText(static_cast<WordFault>(i)),
                                                       number(report.skipped[i]), named}));
    }
    const std::pair<std::uint64_t, int> others[] = {{report.leftOut, kStrLinesLeftOut},
                                                    {report.repeated, kStrLinesRepeated},
                                                    {report.held, kStrWordsHeld}};
    for (const auto& [count, textId] : others) {
        if (count > 0) lines.push_back(loadString(textId, {number(count)}));
    }
    return lines;
}

}  // namespace zantric
