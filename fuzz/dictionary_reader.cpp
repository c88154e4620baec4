// Fuzz target: the dictionary reader over any bytes. The first four bytes choose the reading
// (file or memory mode and the buffer size, the pattern, the FROM letters, the minimum length);
// the rest is the dictionary file, and its language file too. Every word handed out must fit
// the caller's buffer, the words come to an end, and a reader opened inside another's
// enumeration (as a phrase search does) must not disturb it.
#include "core/dictionary/dictionary_reader.h"

#include <cstring>
#include <iterator>

#include "core/dictionary/dictionary_language.h"
#include "core/dictionary/letter_pool.h"
#include "core/shell/zantric_exception.h"
#include "fuzz_support.h"

namespace {

using namespace zantric;

// The last three reach the long words.
// clang-format off
constexpr const char* kPatterns[] = {"*", "c?t", "a*t*", "?", "?????????", "*s", "b*", "st*r",
                                     "Cat", "*a*e*i*", "z????", "strainers", "??*??", "q", "a*",
                                     "c*n", "????????????????????", "*ation*"};
// clang-format on
constexpr std::size_t kShortPatterns = 15;
constexpr const char* kLetters[] = {nullptr, "taco?", "TACOS", "??", "eeeeaaaa", "z", "s?r?a"};
constexpr std::size_t kBufferSizes[] = {1, 64, 1024, 5120};

// Reads every match, each checked against the caller's buffer, up to `limit` and one; a reader
// inside (nested > 0) opens up to three more readers inside its own walk. Returns the count.
std::size_t drain(ReadControl& reads, const char* name, bool memory, std::size_t bufferSize,
                  const char* pattern, const LetterPool* letters, int minLength, std::size_t limit,
                  int nested) {
    DictionaryReader reader(reads, name, memory, bufferSize);
    char word[kOutWordSize + 8];
    std::memset(word, 0x55, sizeof word);
    std::size_t found = 0;
    for (MatchResult r = reader.nextMatch(word, pattern, letters, minLength); r == kMatchFound;
         r = reader.nextMatch(word, nullptr)) {
        fuzz::expect(std::memchr(word, '\0', kOutWordSize) != nullptr,
                     "a word fits the caller's buffer");
        fuzz::expect(static_cast<unsigned char>(word[kOutWordSize]) == 0x55,
                     "nothing is written behind the caller's buffer");
        fuzz::expect(++found <= limit, "the enumeration ends");
        if (nested > 0 && nested < 4)
            drain(reads, name, memory, bufferSize, kPatterns[(nested++ + 1) % kShortPatterns],
                  letters, 0, limit, 0);
    }
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::enterScratchFolder();
    fuzz::InputReader input(data, size);
    const std::uint8_t options = input.byte();
    const std::uint8_t patternByte = input.byte();
    const char* pattern = patternByte >= 0xF0 ? kPatterns[kShortPatterns + patternByte % 3]
                                              : kPatterns[patternByte % kShortPatterns];
    const char* letterText = kLetters[input.byte() % std::size(kLetters)];
    const int minLength = input.byte() % (kMaxWordLetters + 2);
    const std::string_view file = input.rest();
    test::TempFolder::write("fuzz.lex", file);
    // The same bytes as its language file: whatever they hold, the language is one of the known.
    test::TempFolder::write("fuzz.lxs", file);
    fuzz::expect(static_cast<int>(dictionaryLanguage("fuzz.lex")) < kLanguages,
                 "a language file gives a known language");

    const bool memory = options & 1;
    const std::size_t bufferSize = kBufferSizes[(options >> 1) % std::size(kBufferSizes)];
    const LetterPool letters(letterText ? letterText : "");
    const LetterPool* filter = letterText ? &letters : nullptr;
    // A damaged file gives wrong words, and a damaged index may send the reader over the same
    // bytes again for each length and letter it positions at; but the words come to an end.
    const std::size_t limit = static_cast<std::size_t>(kIndexEntries) * (size + 1);
    ReadControl reads;
    try {
        const std::size_t found = drain(reads, "fuzz.lex", memory, bufferSize, pattern, filter,
                                        minLength, limit, (options & 8) ? 1 : 0);
        fuzz::expect(drain(reads, "fuzz.lex", memory, bufferSize, pattern, filter, minLength, limit,
                           0) == found,
                     "a second reader finds the same number of words");
    } catch (const ZantricException&) {
        // A file that cannot be opened is reported; nothing else to check.
    }
    return 0;
}
