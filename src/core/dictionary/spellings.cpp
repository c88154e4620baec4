#include "core/dictionary/spellings.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/word_order.h"

namespace zantric {
namespace {

constexpr std::size_t kWordRoom = kMaxWordLetters + 2;  // letters, a hyphen, NUL
// Offsets are 32 bits: past this the arena takes no more.
constexpr std::size_t kArenaLimit = 0xFFFF0000u;

// A view of the word as compareWords takes it: NUL-terminated in `room`.
const char* terminated(std::string_view word, char (&room)[kWordRoom]) {
    const std::size_t length = std::min(word.size(), kWordRoom - 1);
    std::memcpy(room, word.data(), length);
    room[length] = '\0';
    return room;
}

}  // namespace

void Spellings::add(std::string_view word, std::string_view spelling) {
    if (word.empty() || word.size() >= kWordRoom || spelling.empty() || spelling.size() > 255 ||
        m_arena.size() > kArenaLimit) {
        return;
    }
    m_offsets.push_back(static_cast<std::uint32_t>(m_arena.size()));
    m_arena += static_cast<char>(word.size());
    m_arena += word;
    m_arena += '\0';  // for compareWords; not in the file
    m_arena += static_cast<char>(spelling.size());
    m_arena += spelling;
}

std::string_view Spellings::wordAt(std::uint32_t at) const {
    return std::string_view(m_arena).substr(at + 1, static_cast<unsigned char>(m_arena[at]));
}

std::string_view Spellings::spellingAt(std::uint32_t at) const {
    const std::size_t from = at + 2 + static_cast<unsigned char>(m_arena[at]);
    return std::string_view(m_arena).substr(from + 1, static_cast<unsigned char>(m_arena[from]));
}

std::string_view Spellings::word(std::size_t i) const { return wordAt(m_offsets[i]); }
std::string_view Spellings::spelling(std::size_t i) const { return spellingAt(m_offsets[i]); }

void Spellings::finish() {
    std::sort(m_offsets.begin(), m_offsets.end(), [&](std::uint32_t a, std::uint32_t b) {
        const std::string_view wordA = wordAt(a), wordB = wordAt(b);
        if (const int order = compareWords(wordA.data(), wordB.data())) return order < 0;
        if (wordA != wordB) return wordA < wordB;
        return spellingAt(a) < spellingAt(b);
    });
    std::vector<std::uint32_t> kept;
    for (std::size_t i = 0; i < m_offsets.size();) {
        std::size_t end = i + 1;
        while (end < m_offsets.size() && word(end) == word(i)) ++end;
        // A word written only as stored is shown as stored: nothing to keep.
        bool onlyItself = true;
        for (std::size_t k = i; k < end; ++k) onlyItself = onlyItself && spelling(k) == word(i);
        for (std::size_t k = i; k < end && !onlyItself; ++k) {
            if (k == i || spelling(k) != spelling(k - 1)) kept.push_back(m_offsets[k]);
        }
        i = end;
    }
    m_offsets = std::move(kept);
}

void Spellings::addAll(const Spellings& other) {
    for (std::size_t i = 0; i < other.count(); ++i) add(other.word(i), other.spelling(i));
}

const std::string& Spellings::shown(std::string_view word, std::string& out) const {
    out.assign(word);
    char key[kWordRoom];
    terminated(word, key);
    const auto first =
        std::partition_point(m_offsets.begin(), m_offsets.end(), [&](std::uint32_t at) {
            const std::string_view entry = wordAt(at);
            const int order = compareWords(entry.data(), key);
            return order < 0 || (order == 0 && entry < word);
        });
    bool any = false;
    for (auto it = first; it != m_offsets.end(); ++it) {
        const std::size_t i = static_cast<std::size_t>(it - m_offsets.begin());
        if (this->word(i) != word) break;
        if (any) {
            out += '/';
        } else {
            out.clear();
            any = true;
        }
        out += spelling(i);
    }
    return out;
}

const std::string& Spellings::shownLine(std::string_view line, std::string& out,
                                        std::string& word) const {
    out.clear();
    for (std::size_t at = 0; at <= line.size();) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        if (at > 0) out += ' ';
        out += shown(line.substr(at, end - at), word);
        at = end + 1;
    }
    return out;
}

std::string Spellings::bytes() const {
    std::string out;
    out.reserve(m_arena.size());
    for (std::size_t i = 0; i < count(); ++i) {
        out += static_cast<char>(word(i).size());
        out += word(i);
        out += static_cast<char>(spelling(i).size());
        out += spelling(i);
    }
    return out;
}

Spellings Spellings::parse(std::string_view bytes, std::uint32_t count) {
    Spellings spellings;
    std::size_t at = 0;
    for (std::uint32_t i = 0; i < count && at < bytes.size(); ++i) {
        const std::size_t n = static_cast<unsigned char>(bytes[at]);
        if (n == 0 || at + 1 + n >= bytes.size()) break;
        const std::size_t m = static_cast<unsigned char>(bytes[at + 1 + n]);
        if (m == 0 || at + 2 + n + m > bytes.size()) break;
        spellings.add(bytes.substr(at + 1, n), bytes.substr(at + 2 + n, m));
        at += 2 + n + m;
    }
    return spellings;
}

}  // namespace zantric
