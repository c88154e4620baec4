// The word codec: the tail of a processed word (lower-case a-z) packed into code bytes. A pair
// code 0..209 stands for a common letter pair, a single code 211..255 for one character
// (character + 128). Pure functions; any thread.
#pragma once

#include <array>

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

// Appends the letters of one code byte at buf[len]; returns the new length (one or two more).
inline int decodeByte(unsigned char b, char* buf, int len) {
    if (b >= kFirstSingleCode) {
        buf[len] = static_cast<char>(b - 128);
        return len + 1;
    }
    buf[len] = kPairLetters[b / 21];
    buf[len + 1] = kPairLetters[b % 21];
    return len + 2;
}

}  // namespace zantric
