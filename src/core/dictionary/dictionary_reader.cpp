#include "core/dictionary/dictionary_reader.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cassert>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/dictionary/record_decoder.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/zantric_exception.h"

namespace zantric {

namespace {

char toLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char toUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isLowerLetter(char c) { return c >= 'a' && c <= 'z'; }

}  // namespace

ReadLane::ReadLane(ReadControl& control) : m_control(&control), m_checked(&control.m_checked) {}

ReadLane::ReadLane(ReadControl& control, int counter, int readersAbove)
    : m_control(&control),
      m_checked(&control.m_threadChecked[counter].value),
      m_open(readersAbove) {
    assert(counter >= 0 && counter < kMaxSearchThreads && "dictionary: thread counter");
}

std::uint64_t ReadLane::checked() const {
    std::uint64_t sum = m_checked->load(std::memory_order_relaxed);
    if (m_checked != &m_control->m_checked) return sum;
    const int counters = m_control->m_threadCounters.load(std::memory_order_acquire);
    for (int i = 0; i < counters; ++i) {
        sum += m_control->m_threadChecked[i].value.load(std::memory_order_relaxed);
    }
    return sum;
}

void ReadLane::resetChecked() {
    m_checked->store(m_control->m_checkedStart, std::memory_order_relaxed);
}

ReadControl::ReadControl(std::uint64_t checkedStart)
    : m_checked(checkedStart), m_checkedStart(checkedStart), m_lane(*this) {}

ReadControl::~ReadControl() { assert(m_readerCount.load() == 0 && "dictionary: open readers"); }

void ReadControl::openThreadCounters(int count) {
    for (int i = 0; i < count; ++i) m_threadChecked[i].value.store(0, std::memory_order_relaxed);
    m_threadCounters.store(count, std::memory_order_release);
}

void ReadControl::foldThreadCounters() {
    std::uint64_t sum = 0;
    const int counters = m_threadCounters.exchange(0);
    for (int i = 0; i < counters; ++i) sum += m_threadChecked[i].value.exchange(0);
    addChecked(sum);
}

DictionaryReader::DictionaryReader(ReadLane& lane, const std::filesystem::path& name,
                                   bool memoryOption, std::size_t bufferSize)
    : m_lane(&lane), m_gate(&lane.control()), m_checked(lane.m_checked) {
    ReadControl& control = lane.control();
    const int count = ++control.m_readerCount;
    if (++lane.m_open > kMaxReaders) {
        lane.m_tooMany = true;
        return;
    }
    // The first reader clears the cancel flag.
    if (count == 1) control.clearCancel();
    try {
        openSource(name, memoryOption && count == 1, bufferSize);
    } catch (...) {
        --lane.m_open;
        if (--control.m_readerCount == 0) control.m_image.reset();
        throw;
    }
    m_opened = true;
}

// Only the first reader makes the image, and only the last releases it: while the others are
// open it does not change.
void DictionaryReader::openSource(const std::filesystem::path& name, bool makeImage,
                                  std::size_t bufferSize) {
    ReadControl& control = m_lane->control();
    ReadControl::Image* image = control.m_image.get();
    if (!image || image->name.native() != name.native()) {
        m_file = openFile(name, "rb").release();
        if (!m_file) {
            throw ZantricException(Message{"Unable to open Dictionary: " + shownPath(name),
                                           kOpenErrorTitle, MessageKind::kError});
        }
        image = nullptr;
    }
    if (makeImage && std::fseek(m_file, 0, SEEK_END) == 0) {
        const long size = std::ftell(m_file);
        if (size >= 0 && static_cast<std::size_t>(size) < kMemoryModeLimit) {
            auto made = std::make_unique<ReadControl::Image>();
            made->name = name;
            made->bytes.assign(static_cast<std::size_t>(size) + 1, kImageEnd);
            std::rewind(m_file);
            const std::size_t got = std::fread(made->bytes.data(), 1, size_t(size), m_file);
            made->bytes.resize(got + 1);
            made->bytes[got] = kImageEnd;
            std::fclose(m_file);
            m_file = nullptr;
            made->decoded.build(made->bytes.data(), got);
            control.m_image = std::move(made);
            image = control.m_image.get();
        }
    }
    if (image) {
        m_imageBegin = image->bytes.data();
        m_imageSize = image->bytes.size() - 1;
        m_cursor = m_imageBegin;
        if (image->decoded.valid()) m_decoded = &image->decoded;
        return;
    }
    std::fseek(m_file, 0, SEEK_END);
    const long size = std::ftell(m_file);
    m_fileSize = static_cast<std::uint64_t>(std::max(size, 0L));
    std::rewind(m_file);
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    m_bufferSize = bufferSize < 512 ? 512 : bufferSize;
    m_buffer = new unsigned char[m_bufferSize];
    unsigned char index[kIndexBytes];
    const std::size_t got = std::fread(index, 1, kIndexBytes, m_file);
    for (int i = 0; i < kIndexEntries; ++i) {
        const std::size_t at = 4 * std::size_t(i);
        m_index[i] = at + 4 <= got ? readU32(index + at) : static_cast<std::uint32_t>(m_fileSize);
    }
    std::rewind(m_file);
}

DictionaryReader::~DictionaryReader() {
    if (m_file) std::fclose(m_file);
    delete[] m_buffer;
    --m_lane->m_open;
    ReadControl& control = m_lane->control();
    if (--control.m_readerCount == 0) control.m_image.reset();
}

inline int DictionaryReader::readByte() {
    if (m_cursor) {
        const unsigned char b = *m_cursor;
        if (b == kImageEnd) return -1;
        ++m_cursor;
        return b;
    }
    if (m_bufferPos == m_bufferEnd) {
        if (!m_file) return -1;
        m_bufferEnd = std::fread(m_buffer, 1, m_bufferSize, m_file);
        m_bufferPos = 0;
        if (m_bufferEnd == 0) return -1;
    }
    return m_buffer[m_bufferPos++];
}

void DictionaryReader::position(int length, char letter) {
    if (!isLowerLetter(letter)) letter = 'a';
    m_blockLetter = letter;
    m_length = length;
    if (m_decoded) {
        const DecodedTarget target = m_decoded->target(length, letter);
        m_next = target.record;
        m_pending = target.pending;
        return;
    }
    const int entry = indexEntry(length, letter);
    if (m_cursor) {
        const std::size_t at = 4 * static_cast<std::size_t>(entry);
        std::size_t offset = at + 4 <= m_imageSize ? readU32(m_imageBegin + at) : m_imageSize;
        if (offset > m_imageSize) offset = m_imageSize;
        m_cursor = m_imageBegin + offset;
    } else if (m_file) {
        std::uint32_t offset = m_index[entry];
        if (offset > m_fileSize) offset = static_cast<std::uint32_t>(m_fileSize);
        std::fseek(m_file, static_cast<long>(offset), SEEK_SET);
        m_bufferPos = m_bufferEnd = 0;
    }
}

int DictionaryReader::decodeFromSource() {
    return decodeRecord([this] { return readByte(); }, [this] { m_blockLetter = 'a'; }, m_word,
                        m_wordLetters, m_length, m_hyphen);
}

// The record at `next`, which lies whole in the buffer whatever its bytes say: read without
// checks.
[[gnu::always_inline]] inline int DictionaryReader::decodeInBuffer(const unsigned char*& next,
                                                                   int& wordLetters, int& length,
                                                                   int& hyphen) {
    return decodeRecord([&next] { return static_cast<int>(*next++); },
                        [this] { m_blockLetter = 'a'; }, m_word, wordLetters, length, hyphen);
}

// After a record was read: its capital, and a space and a NUL behind its letters.
[[gnu::always_inline]] inline void DictionaryReader::endWord(int head) {
    m_capital = (head & 2) != 0;
    m_word[m_wordLetters] = ' ';
    m_word[m_wordLetters + 1] = '\0';
}

// Inlined into the walk: most records lie whole in the buffer.
[[gnu::always_inline]] inline bool DictionaryReader::readWord() {
    int head;
    if (m_bufferEnd - m_bufferPos >= static_cast<std::size_t>(kMaxRecordBytes)) {
        const unsigned char* next = m_buffer + m_bufferPos;
        head = decodeInBuffer(next, m_wordLetters, m_length, m_hyphen);
        m_bufferPos = static_cast<std::size_t>(next - m_buffer);
    } else {
        head = decodeFromSource();
    }
    if (head < 0) return false;
    endWord(head);
    return true;
}

namespace {
// Whether the `length` characters of a pattern part match the word's at `at`: '?' any letter.
bool partAt(const char* at, const char* part, int length) {
    for (int k = 0; k < length; ++k) {
        const char w = at[k];
        if (part[k] == '?' ? (w == ' ' || w == '\0') : w != part[k]) return false;
    }
    return true;
}
}  // namespace

bool DictionaryReader::matchTokens(int pos) const {
    const char* word = m_word;
    for (int t = 0; t < m_tokenCount; ++t) {
        const char* token = m_pattern + m_tokenStart[t];
        const char* tokenEnd = token + m_tokenLength[t];
        while (token < tokenEnd && *token == '?') {
            if (word[pos] == ' ' || word[pos] == '\0') return false;
            ++pos;
            ++token;
        }
        if (token == tokenEnd) continue;
        const int rest = static_cast<int>(tokenEnd - token);
        if (t == m_tokenCount - 1) {
            // The last part ends with the space behind the word's letters, so it can only match
            // at the word's end.
            const int start = m_wordLetters + 1 - rest;
            return start >= pos && partAt(word + start, token, rest);
        }
        bool found = false;
        for (const char* at = std::strchr(word + pos, *token); at;
             at = std::strchr(at + 1, *token)) {
            if (partAt(at, token, rest)) {
                pos = static_cast<int>(at - word) + rest;
                found = true;
                break;
            }
        }
        if (!found) return false;
    }
    return true;
}

[[gnu::always_inline]] inline bool DictionaryReader::matchesPattern() const {
    // Every word a walk reaches has at least the pattern's letters; a code may leave one more.
    if (m_questionsOnly) return m_wordLetters == m_patternLetters;
    if (m_lastCharacter != 0 && (m_wordLetters < 1 || m_word[m_wordLetters - 1] != m_lastCharacter))
        return false;
    const char* pattern = m_pattern;
    for (int i = 0;; ++i) {
        const char w = m_word[i];
        if (w == '\0') return true;
        const char p = pattern[i];
        if (p == '*') return matchTokens(i);
        if (p == '\0') return false;
        if (w != p && p != '?') return false;
    }
}

bool DictionaryReader::beginPattern(const char* pattern, const LetterPool* letters, int minLength,
                                    char startLetter, MatchResult& result) {
    auto done = [&result](MatchResult code) {
        result = code;
        return false;
    };
    if (m_lane->m_tooMany) {
        m_lane->m_tooMany = false;
        return done(kNoMoreWords);
    }
    if (!m_opened) return done(kNoMoreWords);
    if (m_lane->m_open == 1) m_lane->resetChecked();
    m_tokenCount = 0;
    m_matchAll = std::strcmp(pattern, "*") == 0;
    if (*pattern == '\0') return done(kEmptyPattern);
    m_letterStart =
        (pattern[0] >= 'a' && pattern[0] <= 'z') || (pattern[0] >= 'A' && pattern[0] <= 'Z');
    if (letters) {
        m_filter = *letters;
        m_hasFilter = true;
        if (m_decoded) m_packed.set(*letters);
    }
    m_hasStar = false;
    int stars = 0;
    const std::size_t patternLength = std::strlen(pattern);
    for (std::size_t i = 0; i < patternLength; ++i) stars += pattern[i] == '*';
    m_patternLetters = static_cast<int>(patternLength) - stars;
    // Nothing longer than the longest word can match; this also bounds the copy into m_pattern.
    if (m_patternLetters > kMaxWordLetters) return done(kNoMoreWords);
    copyPattern(pattern, patternLength, stars);
    const int start = std::max({m_patternLetters, minLength, 1});
    m_length = start;
    if (start > kMaxWordLetters) return done(kNoMoreWords);
    m_wordLetters = 0;
    position(start, startLetter ? startLetter : m_pattern[0]);
    return true;
}

// The copy: runs of '*' folded into one (they mean the same), a space appended, the first
// character lower-cased; with a '*' other than the whole pattern, its parts after the first '*'.
[[gnu::always_inline]] inline void DictionaryReader::copyPattern(const char* pattern,
                                                                 std::size_t patternLength,
                                                                 int stars) {
    int n = 0;
    for (std::size_t i = 0; i < patternLength; ++i) {
        if (pattern[i] == '*' && n > 0 && m_pattern[n - 1] == '*') continue;
        m_pattern[n++] = pattern[i];
    }
    m_pattern[n++] = ' ';
    m_pattern[n] = '\0';
    m_pattern[0] = toLower(m_pattern[0]);
    const char last = n >= 2 ? m_pattern[n - 2] : '*';
    m_lastCharacter = last == '*' || last == '?' ? '\0' : last;
    m_questionsOnly = stars == 0 && std::all_of(pattern, pattern + patternLength,
                                                [](char c) { return c == '?'; });
    if (stars == 0) return;
    m_hasStar = true;
    if (m_matchAll) return;
    // The parts after the first '*', split at every '*'; the last ends with the space.
    int i = static_cast<int>(std::strchr(m_pattern, '*') - m_pattern) + 1;
    while (i < n) {
        const char* next = std::strchr(m_pattern + i, '*');
        const int end = next ? static_cast<int>(next - m_pattern) : n;
        m_tokenStart[m_tokenCount] = i;
        m_tokenLength[m_tokenCount] = end - i;
        ++m_tokenCount;
        i = end + 1;
    }
}

MatchResult DictionaryReader::nextMatch(char* outWord, const char* pattern,
                                        const LetterPool* letters, int minLength,
                                        char startLetter) {
    if (pattern) {
        MatchResult result = kNoMoreWords;
        if (!beginPattern(pattern, letters, minLength, startLetter, result)) return result;
    } else if (!m_opened) {
        return kNoMoreWords;
    }
    return m_decoded ? nextDecoded(outWord) : nextRead(outWord);
}

// Most words of a walk for a pattern with a last letter and no FROM letters fail on that letter
// alone. While records lie whole in the buffer, this loop reads them with its state in locals
// and counts them, and stops at one that ends in the letter, at one longer than a pattern
// without '*' allows, or past the start letter; the caller's steps take that record (1).
// 0: no record was read (the buffer's last bytes, or kScanRecords were passed: the caller reads
// the next record and looks at the cancel flag); -1: the data ended.
[[gnu::always_inline]] inline int DictionaryReader::scanToCandidate() {
    constexpr int kScanRecords = 4096;
    if (m_bufferEnd - m_bufferPos < static_cast<std::size_t>(kMaxRecordBytes)) return 0;
    const unsigned char* next = m_buffer + m_bufferPos;
    const unsigned char* const last = m_buffer + (m_bufferEnd - kMaxRecordBytes);
    const char lastCharacter = m_lastCharacter;
    const int patternLetters = m_patternLetters;
    const bool lengthBound = !m_hasStar;
    const char firstLetter = m_letterStart ? m_pattern[0] : '\x7f';
    const char* const word = m_word;
    int wordLetters = m_wordLetters;
    int length = m_length;
    int hyphen = m_hyphen;
    int head = 0;
    int passed = 0;
    int found = 0;
    while (passed < kScanRecords && next <= last) {
        head = decodeInBuffer(next, wordLetters, length, hyphen);
        if (head < 0) {
            found = -1;
            break;
        }
        ++passed;
        if ((wordLetters >= 1 && word[wordLetters - 1] == lastCharacter) ||
            (lengthBound && length > patternLetters) || word[0] > firstLetter) {
            found = 1;
            break;
        }
    }
    m_bufferPos = static_cast<std::size_t>(next - m_buffer);
    m_wordLetters = wordLetters;
    m_length = length;
    m_hyphen = hyphen;
    m_checked->store(m_checked->load(std::memory_order_relaxed) + std::uint64_t(passed),
                     std::memory_order_relaxed);
    // The word last read, as readWord leaves it.
    if (passed != 0 && found >= 0) endWord(head);
    return found;
}

MatchResult DictionaryReader::nextRead(char* outWord) {
    // A record without FROM letters and with a last letter: the scan reads most.
    const bool scan = !m_hasFilter && m_lastCharacter != 0;
    for (;;) {
        const int scanned = scan ? scanToCandidate() : 0;
        if (scanned < 0) return kNoMoreWords;
        if (scanned == 0) {
            if (!readWord()) return kNoMoreWords;
            m_checked->store(m_checked->load(std::memory_order_relaxed) + 1,
                             std::memory_order_relaxed);
        }
        if (m_gate->paused()) m_gate->waitAtPauseGate();
        if (m_gate->cancelled()) return kMatchCancelled;
        if (m_length > m_patternLetters && !m_hasStar) return kNoMoreWords;
        if (m_letterStart && m_word[0] > m_pattern[0]) {
            if (m_length >= kMaxWordLetters) return kNoMoreWords;
            position(m_length + 1, m_pattern[0]);
            continue;
        }
        if (!m_matchAll && !matchesPattern()) continue;
        if (m_hasFilter) {
            if (m_filter.total() < m_length) return kNoMoreWords;
            const int answer = m_filter.tryWord(m_word, ' ');
            if (answer == 1) {
                // The first letter is missing: go on at the next first letter the filter holds.
                if (!skipToNextFilterLetter()) return kNoMoreWords;
                continue;
            }
            if (answer != 0) continue;
        }
        acceptWord(outWord);
        return kMatchFound;
    }
}

// The word last read, with its capital and hyphen restored.
bool DictionaryReader::skipToNextFilterLetter() {
    const char from = m_word[0] > m_blockLetter ? m_word[0] : m_blockLetter;
    for (char c = static_cast<char>(from + 1); c >= 'a' && c <= 'z'; ++c) {
        if (m_filter.countOf(c) > 0) {
            position(m_length, c);
            return true;
        }
    }
    if (m_length >= kMaxWordLetters) return false;
    position(m_length + 1, 'a');
    return true;
}

void DictionaryReader::acceptWord(char* outWord) {
    const int n = m_length < m_wordLetters ? m_length : m_wordLetters;
    int out = n;
    if (m_hyphen >= 0 && m_hyphen <= n) {
        std::memcpy(outWord, m_word, static_cast<std::size_t>(m_hyphen));
        outWord[m_hyphen] = '-';
        std::memcpy(outWord + m_hyphen + 1, m_word + m_hyphen,
                    static_cast<std::size_t>(n - m_hyphen));
        ++out;
    } else {
        std::memcpy(outWord, m_word, kMaxWordLetters);  // one fixed-size copy; the NUL cuts it
    }
    outWord[out] = '\0';
    if (out > 0) outWord[0] = m_capital ? toUpper(outWord[0]) : toLower(outWord[0]);
    m_matchLength = out;
}

// The steps of nextDecoded's loop, inlined into it so that its state stays in registers.
[[gnu::always_inline]] inline bool DictionaryReader::skipToNextPackedLetter(char first) {
    const char from = first > m_blockLetter ? first : m_blockLetter;
    const int after = from - 'a' + 1;  // 1 to 26
    const std::uint32_t later = after < 26 ? m_packed.present >> after : 0;
    if (later != 0) {
        position(m_length, static_cast<char>('a' + after + std::countr_zero(later)));
        return true;
    }
    if (m_length >= kMaxWordLetters) return false;
    position(m_length + 1, 'a');
    return true;
}

[[gnu::always_inline]] inline bool DictionaryReader::skipToFitInRun(std::uint32_t& k,
                                                                    std::uint64_t& checked) {
    const DecodedImage& image = *m_decoded;
    const std::uint32_t end = image.runEnd(k);
    const std::uint32_t j = image.findFit(k + 1, end, m_packed);
    // Every record up to the one that fits is read; none has a gap before it.
    checked += j - k - (j == end ? 1 : 0);
    if (j == end) {
        m_next = end;
        m_pending = image.gapBefore(end);
        return false;
    }
    k = j;
    m_next = j + 1;
    m_pending = image.gapBefore(j + 1);
    return true;
}

// The scanning loop over the decoded records: the same steps, the same records counted and the
// same jumps as the loop over bytes. A run of records of one length and first letter, walked
// with "*" and letters, differs only in whether each word fits, so it is searched in one go.
MatchResult DictionaryReader::nextDecoded(char* outWord) {
    const DecodedImage& image = *m_decoded;
    std::uint64_t checked = 0;
    auto finish = [this, &checked](MatchResult result) {
        m_checked->store(m_checked->load(std::memory_order_relaxed) + checked,
                         std::memory_order_relaxed);
        return result;
    };
    for (;;) {
        std::uint32_t k = m_next;
        if (k >= image.count()) return finish(kNoMoreWords);
        if (m_pending) m_blockLetter = 'a';
        m_length = image.record(k).length;
        m_next = k + 1;
        m_pending = image.gapBefore(k + 1);
        ++checked;
        if (m_gate->paused()) m_gate->waitAtPauseGate();
        if (m_gate->cancelled()) return finish(kMatchCancelled);
        if (m_length > m_patternLetters && !m_hasStar) return finish(kNoMoreWords);
        const char first = image.record(k).text[0];
        if (m_letterStart && first > m_pattern[0]) {
            if (m_length >= kMaxWordLetters) return finish(kNoMoreWords);
            position(m_length + 1, m_pattern[0]);
            continue;
        }
        if (!m_matchAll && !m_questionsOnly) {
            std::memcpy(m_word, image.record(k).text, sizeof image.record(k).text);
            m_wordLetters = m_length;
            if (!matchesPattern()) continue;
        }
        if (m_hasFilter) {
            if (m_filter.total() < m_length) return finish(kNoMoreWords);
            if (!(m_packed.present >> (first - 'a') & 1) && m_packed.blanks == 0) {
                // The first letter is missing: go on at the next first letter the filter holds.
                if (!skipToNextPackedLetter(first)) return finish(kNoMoreWords);
                continue;
            }
            if (!image.fits(k, m_packed)) {
                if (!m_matchAll || !skipToFitInRun(k, checked)) continue;
                if (m_gate->cancelled()) return finish(kMatchCancelled);
            }
            // The letters left over, for letters().
            [[maybe_unused]] const int answer = m_filter.tryWord(image.record(k).text, ' ');
            assert(answer == 0 && "dictionary: packed letter test");
        }
        const DecodedRecord& record = image.record(k);
        std::memcpy(m_word, record.text, sizeof record.text);
        m_wordLetters = m_length;
        m_capital = record.capital;
        m_hyphen = record.hyphen;
        acceptWord(outWord);
        return finish(kMatchFound);
    }
}

}  // namespace zantric
