// One record of the word data, as every reader of it decodes it (docs/dictionary-format.md): the
// group-end bytes before it, each making the words one letter longer; the head byte (the letters
// it shares with the word before, the capital flag, whether a hyphen byte follows); the hyphen's
// place; and the code bytes of the letters that differ. The bytes come one at a time from the
// caller, so that one decoder reads a file through its buffer and an image in memory. Pure
// functions; any thread.
#pragma once

#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/word_codec.h"

namespace zantric {

// What decodeRecord returns besides a record's head byte (0..253).
inline constexpr int kRecordEnd = -1;      // the bytes ended before a record (after any group ends)
inline constexpr int kRecordDamaged = -2;  // they ended inside a record, or a group end claims a
                                           // length past the longest word
// The most bytes decodeRecord reads for one record: a group end for each length from 0 to one past
// the longest word, the head, the hyphen's place and a code byte for each letter. A caller that
// holds this many can hand them out without checking for the end.
inline constexpr int kMaxRecordBytes = (kMaxWordLetters + 1) + 2 + kMaxWordLetters;

// Decodes the next record and returns its head byte (the letters it shares with the word before
// << 2 | capital << 1 | a hyphen byte follows), or kRecordEnd or kRecordDamaged. `word` holds the
// word before and receives this one's letters (`wordLetters` of them, which may run one past
// `length` when the last code is a pair); `length` is the group's word length, and each group-end
// byte raises it and calls `onGroupEnd()`. `hyphen` receives the hyphen's place, -1 when there is
// none. `nextByte()` returns the next byte or -1 at the end. `word` has room for kMaxWordLetters
// + 2 characters.
template <class NextByte, class OnGroupEnd>
inline int decodeRecord(NextByte&& nextByte, OnGroupEnd&& onGroupEnd, char* word, int& wordLetters,
                        int& length, int& hyphen) {
    // Locals, so that the letters written through `word` are not taken to change them.
    int groupLength = length;
    int b = nextByte();
    while (b == kGroupEnd) {
        length = ++groupLength;
        if (groupLength > kMaxWordLetters) return kRecordDamaged;
        onGroupEnd();
        b = nextByte();
    }
    if (b < 0) return kRecordEnd;
    hyphen = -1;
    if (b & 1) {
        hyphen = nextByte();
        if (hyphen < 0) return kRecordDamaged;
    }
    int letters = b >> 2;
    if (letters > wordLetters) letters = wordLetters;
    if (letters > groupLength) letters = groupLength;
    while (letters < groupLength) {
        const int code = nextByte();
        if (code < 0) return kRecordDamaged;
        letters = decodeByte(static_cast<unsigned char>(code), word, letters);
    }
    wordLetters = letters;
    return b;
}

}  // namespace zantric
