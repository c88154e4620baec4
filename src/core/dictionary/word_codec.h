// The word codec: the tail of a processed word (lower-case a-z) packed into code bytes. A pair
// code 0..209 stands for a common letter pair, a single code 211..255 for one character
// (character + 128). Pure functions; any thread.
#pragma once

#include <array>
#include <cstring>

namespace zantric {

inline constexpr char kLeadLetters[] = "aeilnortsc";             // letters that start a pair
inline constexpr char kPairLetters[] = "aeilnortscbdfghkmpuvy";  // letters that end a pair
inline constexpr int kFirstSingleCode = 211;

namespace codec_detail {
struct Tables {
    short lead[256];
    short pair[256];
};
constexpr Tables makeTables() {
    Tables t{};
    for (int i = 0; i < 256; ++i) t.lead[i] = t.pair[i] = -1;
    for (int i = 0; kLeadLetters[i]; ++i)
        t.lead[static_cast<unsigned char>(kLeadLetters[i])] = static_cast<short>(i);
    for (int i = 0; kPairLetters[i]; ++i)
        t.pair[static_cast<unsigned char>(kPairLetters[i])] = static_cast<short>(i);
    return t;
}
inline constexpr Tables kTables = makeTables();
}  // namespace codec_detail

// Encodes `length` letters of `tail` into `out` (room for `length` bytes); returns the count.
// The first pair that fits is always taken.
inline int encodeTail(const char* tail, int length, unsigned char* out) {
    int n = 0;
    for (int i = 0; i < length;) {
        const auto x = static_cast<unsigned char>(tail[i]);
        const int lead = codec_detail::kTables.lead[x];
        if (lead >= 0 && i + 1 < length) {
            const int second = codec_detail::kTables.pair[static_cast<unsigned char>(tail[i + 1])];
            if (second >= 0) {
                out[n++] = static_cast<unsigned char>(21 * lead + second);
                i += 2;
                continue;
            }
        }
        out[n++] = static_cast<unsigned char>((x + 128) & 0xFF);
        ++i;
    }
    return n;
}

namespace codec_detail {
// The letters of each code byte: two for a pair code; one for a single code, with a second that
// the next code overwrites. Four bytes, so that a table entry is one load.
struct CodeLetters {
    char letters[2];
    unsigned char count;
    unsigned char unused;
};
constexpr std::array<CodeLetters, 256> makeCodeLetters() {
    std::array<CodeLetters, 256> t{};
    for (int b = 0; b < 256; ++b) {
        if (b >= kFirstSingleCode) {
            t[b] = {{static_cast<char>(b - 128), 0}, 1, 0};
        } else {
            t[b] = {{kPairLetters[b / 21], kPairLetters[b % 21]}, 2, 0};
        }
    }
    return t;
}
inline constexpr std::array<CodeLetters, 256> kCodeLetters = makeCodeLetters();
}  // namespace codec_detail

// Appends the letters of one code byte at buf[len]; returns the new length (one or two more).
// Writes buf[len + 1] even for a single code, so buf needs room for len + 2 characters.
inline int decodeByte(unsigned char b, char* buf, int len) {
    const codec_detail::CodeLetters& code = codec_detail::kCodeLetters[b];
    std::memcpy(buf + len, code.letters, 2);
    return len + code.count;
}

}  // namespace zantric
