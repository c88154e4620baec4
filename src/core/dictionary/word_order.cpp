#include "core/dictionary/word_order.h"

#include <cstring>

namespace zantric {

int compareIgnoringHyphen(const char* a, const char* b) {
    bool hyphenA = false;
    bool hyphenB = false;
    while (*a) {
        if (*a == *b) {
            ++a;
            ++b;
        } else if (*a == '-') {
            ++a;
            hyphenA = true;
        } else if (*b == '-') {
            ++b;
            hyphenB = true;
        } else {
            break;
        }
    }
    const int diff = static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
    if (diff == 0 && (hyphenA || hyphenB)) return int(hyphenA) - int(hyphenB);
    return diff;
}

int letterCount(const char* word) {
    const int length = static_cast<int>(std::strlen(word));
    return std::strchr(word, '-') ? length - 1 : length;
}

static bool isLower(char c) { return c >= 'a' && c <= 'z'; }
static unsigned char toLower(char c) {
    return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
}

int compareWords(const char* a, const char* b) {
    const int lengthDiff = letterCount(a) - letterCount(b);
    if (lengthDiff != 0) return lengthDiff;
    if (*a == '\0' || *b == '\0')
        return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
    if (isLower(*a) && isLower(*b)) return compareIgnoringHyphen(a, b);
    const unsigned char la = toLower(*a);
    const unsigned char lb = toLower(*b);
    if (la == lb && *a != *b) {
        const int rest = compareIgnoringHyphen(a + 1, b + 1);
        return rest != 0 ? rest : static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
    }
    if (la != lb) return la - lb;
    return compareIgnoringHyphen(a + 1, b + 1);
}

bool OnceEach::firstTime(const char* word) {
    const std::size_t length = std::strlen(word);
    if (length >= kRoom) return true;  // longer than any word a reader delivers
    if (m_size > 0 && compareWords(m_seen[0], word) == 0) {
        for (int i = 0; i < m_size; ++i) {
            if (std::strcmp(m_seen[i], word) == 0) return false;
        }
        if (m_size < kKept) std::memcpy(m_seen[m_size++], word, length + 1);
        return true;
    }
    std::memcpy(m_seen[0], word, length + 1);
    m_size = 1;
    return true;
}

}  // namespace zantric
