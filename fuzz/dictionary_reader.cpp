// Fuzz target: the dictionary reader over any bytes. The first four bytes choose the reading
// (file or memory mode and the buffer size, the pattern, the FROM letters, the minimum length);
// the rest is the dictionary file. Every word handed out must fit the caller's buffer, the words
// come to an end, and a reader opened inside another's enumeration (as a phrase search does)
// must not disturb it.
#include "core/dictionary/dictionary_reader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "core/dictionary/letter_pool.h"
#include "core/shell/zantric_exception.h"
#include "fuzz_support.h"

namespace {

using namespace zantric;

constexpr const char* kPatterns[] = {"*",     "c?t",       "a*t*",  "?",   "?????????",
                                     "*s",    "b*",        "st*r",  "Cat", "*a*e*i*",
                                     "z????", "strainers", "??*??", "q",   "a*"};
// Patterns that reach the long words.
constexpr const char* kLongPatterns[] = {"c*n", "????????????????????", "*ation*"};
constexpr const char* kLetters[] = {nullptr, "taco?", "TACOS", "??", "eeeeaaaa", "z", "s?r?a"};
constexpr std::size_t kBufferSizes[] = {1, 64, 1024, 5120};

// Reads every match; returns how many there were.
std::size_t drain(DictionaryReader& reader, const char* pattern, const LetterPool* letters,
                  int minLength, std::size_t limit) {
    char word[kOutWordSize + 8];
    std::memset(word, 0x55, sizeof word);
    std::size_t found = 0;
    for (int r = reader.nextMatch(word, pattern, letters, minLength); r == kMatchFound;
         r = reader.nextMatch(word, nullptr)) {
        fuzz::expect(std::memchr(word, '\0', kOutWordSize) != nullptr,
                     "a word fits the caller's buffer");
        fuzz::expect(static_cast<unsigned char>(word[kOutWordSize]) == 0x55,
                     "nothing is written behind the caller's buffer");
        if (++found > limit) break;
    }
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::enterScratchFolder();
    fuzz::InputReader input(data, size);
    const std::uint8_t options = input.byte();
    const std::uint8_t patternByte = input.byte();
    const char* pattern = patternByte >= 0xF0
                              ? kLongPatterns[patternByte % std::size(kLongPatterns)]
                              : kPatterns[patternByte % std::size(kPatterns)];
    const char* letterText = kLetters[input.byte() % std::size(kLetters)];
    const int minLength = input.byte() % (kMaxWordLetters + 2);
    fuzz::writeFile("fuzz.lex", input.rest());

    const bool memory = options & 1;
    const std::size_t bufferSize = kBufferSizes[(options >> 1) % std::size(kBufferSizes)];
    const LetterPool letters(letterText ? letterText : "");
    const LetterPool* filter = letterText ? &letters : nullptr;
    // A damaged file gives wrong words, and a damaged index may send the reader over the same
    // bytes again for each length and letter it positions at; but the words come to an end.
    const std::size_t limit = static_cast<std::size_t>(kIndexEntries) * (size + 1);
    try {
        DictionaryReader reader("fuzz.lex", memory, bufferSize);
        char word[kOutWordSize];
        int nested = 0;
        std::size_t found = 0;
        for (int r = reader.nextMatch(word, pattern, filter, minLength); r == kMatchFound;
             r = reader.nextMatch(word, nullptr)) {
            fuzz::expect(++found <= limit, "the enumeration ends");
            if (nested < 3 && (options & 8)) {
                ++nested;
                DictionaryReader inner("fuzz.lex", memory, bufferSize);
                drain(inner, kPatterns[(nested + options) % std::size(kPatterns)], filter, 0,
                      limit);
            }
        }
        DictionaryReader again("fuzz.lex", memory, bufferSize);
        fuzz::expect(drain(again, pattern, filter, minLength, limit) == found,
                     "a second reader finds the same number of words");
    } catch (const ZantricException&) {
        // A file that cannot be opened is reported; nothing else to check.
    }
    return 0;
}
