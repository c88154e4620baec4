// LetterPool: the FROM letters of a search as a multiset of the letters a-z and blanks ('?'),
// with letters held in reserve and running totals. A count of 100 means unlimited. Small and
// copied freely (no heap): each search level and each open DictionaryReader owns its own copy.
// Header-only, because the dictionary reader tests every candidate word with tryWord().
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace zantric {

class LetterPool {
public:
    static constexpr int kBlank = 26;  // index of the blanks' count
    static constexpr int kSlots = 27;
    static constexpr std::int8_t kUnlimited = 100;

    LetterPool() = default;
    explicit LetterPool(std::string_view text) { addText(text); }

    // Copies carry the counts, the vowels and the total; not the working totals.
    LetterPool(const LetterPool& other) { copyFrom(other); }
    LetterPool& operator=(const LetterPool& other) {
        if (this != &other) copyFrom(other);
        return *this;
    }

    void setText(std::string_view text) {
        std::memset(m_available, 0, kSlots);
        std::memset(m_working, 0, kSlots);
        std::memset(m_reserved, 0, kSlots);
        m_vowels = 0;
        m_total = 0;
        addText(text);
    }

    void addText(std::string_view text) {
        for (char c : text) addChar(c);
    }
    void addLetter(char letter) { addChar(letter); }

    // The count of a letter or of '?'; a negative count reads as 0.
    int countOf(char c) const {
        int i = c == '?' ? kBlank : indexOf(c);
        if (i < 0) return 0;
        return m_available[i] < 0 ? 0 : m_available[i];
    }

    bool equals(const LetterPool& other) const {
        return m_total == other.m_total && m_vowels == other.m_vowels &&
               std::memcmp(m_available, other.m_available, kSlots) == 0;
    }

    // Holds the letters of `text` back (a FIND's fixed letters).
    void reserve(std::string_view text) {
        for (char c : text) {
            int i = indexOf(c);
            if (i < 0 || m_available[i] <= 0) continue;
            ++m_reserved[i];
            --m_available[i];
            if (isVowel(c) && m_vowels != kUnlimited) --m_vowels;
            if (m_total != kUnlimited) --m_total;
        }
    }
    // Takes reserved letters of `text` back into the available ones.
    void release(std::string_view text) {
        for (char c : text) {
            int i = indexOf(c);
            if (i < 0 || m_reserved[i] <= 0) continue;
            --m_reserved[i];
            addChar(static_cast<char>('a' + i));
        }
    }

    // 0 if the word (lower-case letters up to `terminator`) can be spelled from the available
    // letters, else the 1-based position of the first letter that cannot be supplied. On
    // success the working counts hold what is left; remaining() hands them out.
    int tryWord(const char* word, char terminator) {
        std::memcpy(m_working, m_available, kSlots);
        m_workingVowels = m_vowels;
        m_workingTotal = m_total;
        for (int p = 0;; ++p) {
            char c = word[p];
            if (c == terminator) {
                if (m_workingTotal != kUnlimited) m_workingTotal -= p;
                return 0;
            }
            int i = indexOf(c);
            if (i < 0 || m_working[i] < 1) {
                if (m_working[kBlank] == 0) return p + 1;
                i = kBlank;
            }
            if (m_working[i] != kUnlimited) --m_working[i];
            if ((isVowel(c) || c == '?') && m_workingVowels != kUnlimited) --m_workingVowels;
        }
    }

    // The letters left by the last successful tryWord, with the same reserve.
    LetterPool remaining() const {
        LetterPool r;
        std::memcpy(r.m_available, m_working, kSlots);
        std::memcpy(r.m_reserved, m_reserved, kSlots);
        r.m_vowels = m_workingVowels;
        r.m_total = m_workingTotal;
        return r;
    }
    // The same as remaining(), written into `out` (no temporary).
    void remainingInto(LetterPool& out) const {
        std::memcpy(out.m_available, m_working, kSlots);
        std::memset(out.m_working, 0, kSlots);
        std::memcpy(out.m_reserved, m_reserved, kSlots);
        out.m_vowels = m_workingVowels;
        out.m_total = m_workingTotal;
    }

    int total() const { return m_total; }
    int vowels() const { return m_vowels; }
    int workingTotal() const { return m_workingTotal; }
    int workingVowels() const { return m_workingVowels; }
    int available(int i) const { return m_available[i]; }
    // The 27 available counts (a to z, then blanks), for code that tests many words at once.
    const std::int8_t* availableCounts() const { return m_available; }
    const std::int8_t* reservedCounts() const { return m_reserved; }
    int working(int i) const { return m_working[i]; }
    int reserved(int i) const { return m_reserved[i]; }

    static bool isVowel(char c) {
        switch (c | 0x20) {
            case 'a':
            case 'e':
            case 'i':
            case 'o':
            case 'u':
            case 'y':
                return c >= 'A';
            default:
                return false;
        }
    }

private:
    static int indexOf(char c) {
        if (c >= 'a' && c <= 'z') return c - 'a';
        if (c >= 'A' && c <= 'Z') return c - 'A';
        return -1;
    }

    void addChar(char c) {
        int i = indexOf(c);
        if (i >= 0) {
            if (m_available[i] != kUnlimited) {
                if (c >= 'a') {
                    ++m_available[i];
                    if (m_total != kUnlimited) ++m_total;
                } else {
                    m_available[i] = kUnlimited;
                    m_total = kUnlimited;
                }
            }
        } else if (c == '?') {
            if (m_available[kBlank] != kUnlimited) ++m_available[kBlank];
            if (m_total != kUnlimited) ++m_total;
        }
        if (isVowel(c) || c == '?') ++m_vowels;
    }

    void copyFrom(const LetterPool& other) {
        std::memcpy(m_available, other.m_available, kSlots);
        std::memcpy(m_working, other.m_working, kSlots);
        std::memcpy(m_reserved, other.m_reserved, kSlots);
        m_vowels = other.m_vowels;
        m_total = other.m_total;
    }

    std::int8_t m_available[kSlots] = {};
    std::int8_t m_working[kSlots] = {};
    std::int8_t m_reserved[kSlots] = {};
    std::int32_t m_vowels = 0;
    std::int32_t m_total = 0;
    std::int32_t m_workingVowels = 0;
    std::int32_t m_workingTotal = 0;
};

}  // namespace zantric
