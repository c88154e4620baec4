// DictionaryReader: the only reader of word data. One object per open reader; nextMatch hands out,
// one at a time, the words that fit a single-word pattern ('?' one letter, '*' any run), an
// optional FROM-letters filter, a minimum length and a start letter. The first reader opened
// with the memory option on a small file loads it once, and decodes its records once when they
// decode cleanly (DecodedImage); every reader made while it lives reads that shared image.
// Module-wide state (reader count, cancel flag, checked counter, pause gate) is shared by all
// readers. Readers run on one worker thread at a time, or on the search threads of one phrase
// search (each inside a ThreadScope, with its own counter and reader limit) while the top
// reader, made before them, stays open; other threads may set the cancel flag, hold the pause
// gate and read the counters.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/dictionary/decoded_image.h"
#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/letter_pool.h"

namespace zantric {

// Results of nextMatch (int-sized: it is returned once per word).
enum class MatchResult : int { kFound = 0, kNoMoreWords = 2, kCancelled = 3, kEmptyPattern = 5 };
inline constexpr MatchResult kMatchFound = MatchResult::kFound;
inline constexpr MatchResult kNoMoreWords = MatchResult::kNoMoreWords;
inline constexpr MatchResult kMatchCancelled = MatchResult::kCancelled;
inline constexpr MatchResult kEmptyPattern = MatchResult::kEmptyPattern;

inline constexpr int kMaxReaders = 15;  // open at once on one thread
inline constexpr int kMaxSearchThreads = 64;
inline constexpr std::size_t kMemoryModeLimit = 296960;  // a file must be smaller to be held
// Room a caller gives nextMatch for the word: the letters, a hyphen, the NUL, and spare.
inline constexpr std::size_t kOutWordSize = kMaxWordLetters + 7;

class DictionaryReader {
public:
    // Opens `name` (a path in the program's form). Throws ZantricException (after showing
    // "Unable to open Dictionary: " + name, titled "File Error") when the file cannot be opened.
    DictionaryReader(const std::string& name, bool memoryOption, std::size_t bufferSize);
    ~DictionaryReader();
    DictionaryReader(const DictionaryReader&) = delete;
    DictionaryReader& operator=(const DictionaryReader&) = delete;

    // With a pattern, starts a new enumeration; with nullptr, continues it. `letters`,
    // `minLength` (0 = none) and `startLetter` (0 = the pattern's first character) count only
    // with a pattern. `outWord` must have room for kOutWordSize characters.
    MatchResult nextMatch(char* outWord, const char* pattern, const LetterPool* letters = nullptr,
                          int minLength = 0, char startLetter = 0);

    // After nextMatch returned 0: the characters of the word it wrote.
    int matchLength() const { return m_matchLength; }

    // After nextMatch returned 0 with a filter: its working counts hold the letters left over.
    const LetterPool* letters() const { return m_hasFilter ? &m_filter : nullptr; }

    // Module-wide state.
    static void setCancel();
    static bool cancelled();
    static std::uint64_t checked();
    static void resetChecked();
    // Counts words that the walks of a repeated sub-search pass, without walking them again.
    static void addChecked(std::uint64_t words);
    // Only tests call this: every later reset puts the counter at `start` instead of 0.
    static void startCheckedAtForTests(std::uint64_t start);
    // The cancel flag and the pause gate, for work that delivers words without reading them
    // (the replay of a repeated sub-search): waits while the gate is held, then tells whether
    // the work is cancelled.
    static bool stopRequested();
    // Readers open on any thread (a search is running while there are any).
    static int instanceCount();
    // Readers open on the calling thread, with those its search thread works under.
    static int threadReaders();

    // One search thread of a phrase search, for the life of the object: the thread's readers
    // count their words on counter `counter` (0 to kMaxSearchThreads - 1; checked() on such a
    // thread tells that counter alone) and `readersAbove` readers count as open already for
    // the reader limit. Counters must have been opened.
    class ThreadScope {
    public:
        ThreadScope(int counter, int readersAbove);
        ~ThreadScope();
        ThreadScope(const ThreadScope&) = delete;
        ThreadScope& operator=(const ThreadScope&) = delete;

    private:
        std::atomic<std::uint64_t>* m_savedChecked;
        int m_savedOpen;
    };
    // Clears `count` search thread counters and adds them to checked() as threads outside a
    // scope see it; after the search threads ended, foldThreadCounters() moves their sum onto
    // the calling thread's counter and closes them.
    static void openThreadCounters(int count);
    static void foldThreadCounters();
    // The pause gate: while held, readers wait at the point where they poll the cancel flag.
    static void holdPauseGate();
    static void releasePauseGate();

private:
    int readByte();  // next byte, or -1 at end of data
    void position(int length, char letter);
    // Takes a new pattern, filter and start: compiles the pattern and positions the reader at
    // the first block that can hold a match. False, with nextMatch's result, when none can.
    bool beginPattern(const char* pattern, const LetterPool* letters, int minLength,
                      char startLetter, MatchResult& result);
    // The pattern as the matching takes it (m_pattern, its '*' parts), `stars` of them in it.
    void copyPattern(const char* pattern, std::size_t patternLength, int stars);
    bool readWord();
    int decodeInBuffer(const unsigned char*& next, int& wordLetters, int& length, int& hyphen);
    void endWord(int head);
    int scanToCandidate();                // see nextRead
    int decodeFromSource();               // one record through readByte: decodeRecord's result
    MatchResult nextRead(char* outWord);  // the next match, reading records from the file or image
    MatchResult nextDecoded(char* outWord);  // the next match, walking the decoded records
    // After a word whose first letter the filter lacks: positions at the next first letter it
    // holds, else at the next length. False past the longest word.
    bool skipToNextFilterLetter();
    // The same over the decoded records, after a record whose first letter is `first`.
    bool skipToNextPackedLetter(char first);
    // After record k, which lacks letters, in a walk with "*": moves k to the next record of its
    // run that fits, counting those passed in `checked`; false (positioned after the run) when
    // none does.
    bool skipToFitInRun(std::uint32_t& k, std::uint64_t& checked);
    void acceptWord(char* outWord);  // writes the word last read, sets m_matchLength
    bool matchesPattern() const;
    bool matchTokens(int pos) const;
    static void waitAtPauseGate();

    // Byte source: the shared image (memory mode) or the file through m_buffer.
    const unsigned char* m_cursor = nullptr;
    const unsigned char* m_imageBegin = nullptr;
    std::size_t m_imageSize = 0;  // bytes of the file in the image (the 255 follows)
    std::FILE* m_file = nullptr;
    unsigned char* m_buffer = nullptr;
    std::size_t m_bufferSize = 0;
    std::size_t m_bufferPos = 0;
    std::size_t m_bufferEnd = 0;
    std::uint64_t m_fileSize = 0;

    int m_patternLetters = 0;
    int m_length = 0;  // current group length
    bool m_capital = false;
    int m_hyphen = -1;
    bool m_hasStar = false;
    bool m_letterStart = false;
    bool m_matchAll = false;
    bool m_opened = false;                            // false for a reader made beyond the limit
    std::atomic<std::uint64_t>* m_checked = nullptr;  // the counter of the thread that made it
    char m_blockLetter = 'a';                         // the block last positioned at
    // The pattern with star runs folded, its first character lower-cased and a space appended;
    // at most kMaxWordLetters letters, so twice that and one characters, the space and the NUL.
    char m_pattern[2 * kMaxWordLetters + 6] = {};
    // A token follows each '*' but the first: at most one per letter and the space.
    static constexpr int kMaxTokens = kMaxWordLetters + 3;
    int m_tokenCount = 0;
    // The pattern's last character when it is neither '*' nor '?': every match ends in it, and
    // most words are turned away by that one comparison. 0 otherwise.
    char m_lastCharacter = 0;
    // The pattern is all '?': every word of its length matches.
    bool m_questionsOnly = false;
    int m_tokenStart[kMaxTokens] = {};
    int m_tokenLength[kMaxTokens] = {};
    // The letters, one more that a pair code can leave, a space, a NUL.
    char m_word[kMaxWordLetters + 5] = {};
    int m_wordLetters = 0;
    int m_matchLength = 0;
    // File mode: the index read from the file. Memory mode reads the shared image's index in
    // place, so that opening a reader per word of a phrase costs nothing.
    std::uint32_t m_index[kIndexEntries];
    bool m_hasFilter = false;
    LetterPool m_filter;
    // Memory mode on an image that decoded cleanly: the reader walks the decoded records. Its
    // cursor is the next record and the group-end bytes it passes before it.
    const DecodedImage* m_decoded = nullptr;
    std::uint32_t m_next = 0;
    int m_pending = 0;
    PackedLetters m_packed;  // the filter's letters, for the decoded records' letter test
};

}  // namespace zantric
