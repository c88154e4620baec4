// DictionaryReader: the only reader of word data. One object per open reader; nextMatch hands out,
// one at a time, the words that fit a single-word pattern ('?' one letter, '*' any run), an
// optional FROM-letters filter, a minimum length and a start letter.
// ReadControl: what the readers of one piece of work share, owned by whoever runs the work: the
// cancel flag and the pause gate, the Checked counters, the count of open readers and the memory
// image. The first reader opened on a control with the memory option on a small file loads it
// once, and decodes its records once when they decode cleanly (DecodedImage); every reader of the
// same file made on that control while it lives reads that image. Readers of one control run on
// one worker thread at a time, or on the search threads of one phrase search (each with a
// ReadLane of its own: its counter and reader limit) while the top reader, made before them,
// stays open; other threads may set the cancel flag, hold the pause gate and read the counters.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/dictionary/decoded_image.h"
#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/letter_pool.h"
#include "core/shell/cancel_gate.h"

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

class ReadControl;

// The readers of one thread under a control: the counter they add to, how many are open (the
// reader limit holds per thread) and whether the last one made was beyond the limit. A
// control's own lane belongs to the thread that runs the work; a search thread of a phrase
// search makes one of its own.
class ReadLane {
public:
    // A search thread's lane for the life of the object: its readers count their words on the
    // control's thread counter `counter` (0 to kMaxSearchThreads - 1; checked() tells that
    // counter alone) and `readersAbove` readers count as open already for the reader limit. The
    // control's thread counters must have been opened.
    ReadLane(ReadControl& control, int counter, int readersAbove);
    ReadLane(const ReadLane&) = delete;
    ReadLane& operator=(const ReadLane&) = delete;

    ReadControl& control() const { return *m_control; }
    // Words passed by this lane's readers; on the control's own lane with those of the open
    // thread counters.
    std::uint64_t checked() const;
    // Puts this lane's counter at the control's start (0 but in tests).
    void resetChecked();
    // Counts words that the walks of a repeated sub-search pass, without walking them again.
    void addChecked(std::uint64_t words) {
        m_checked->store(m_checked->load(std::memory_order_relaxed) + words,
                         std::memory_order_relaxed);
    }
    // Readers open on this lane, with those it counts as open above it.
    int openReaders() const { return m_open; }

private:
    friend class ReadControl;
    friend class DictionaryReader;
    explicit ReadLane(ReadControl& control);

    ReadControl* m_control;
    std::atomic<std::uint64_t>* m_checked;
    int m_open = 0;
    bool m_tooMany = false;
};

class ReadControl : public CancelGate {
public:
    // `checkedStart`: where a reset puts the counters (tests start them near their limits).
    explicit ReadControl(std::uint64_t checkedStart = 0);
    ~ReadControl();
    ReadControl(const ReadControl&) = delete;
    ReadControl& operator=(const ReadControl&) = delete;

    // The lane of the thread that runs the work.
    ReadLane& lane() { return m_lane; }
    std::uint64_t checked() const { return m_lane.checked(); }
    void resetChecked() { m_lane.resetChecked(); }
    void addChecked(std::uint64_t words) { m_lane.addChecked(words); }
    // Readers open on any thread (a search is running while there are any).
    int readerCount() const { return m_readerCount.load(); }

    // Clears `count` search thread counters and adds them to checked() as the control's own
    // lane sees it; after the search threads ended, foldThreadCounters() moves their sum onto
    // that lane's counter and closes them.
    void openThreadCounters(int count);
    void foldThreadCounters();

private:
    friend class ReadLane;
    friend class DictionaryReader;
    // One cache line each: every thread writes its own counter at every word it passes.
    // openThreadCounters() clears those of a search.
    struct alignas(64) ThreadCounter {
        std::atomic<std::uint64_t> value;
    };
    // The memory image of one file: the whole file, then one byte 255, and its records when
    // they decode cleanly. Made by the first reader of the control, released with the last.
    struct Image {
        std::filesystem::path name;
        std::vector<unsigned char> bytes;
        DecodedImage decoded;
    };

    alignas(64) std::atomic<int> m_readerCount{0};
    alignas(64) std::atomic<std::uint64_t> m_checked{0};
    std::uint64_t m_checkedStart;
    ReadLane m_lane;
    ThreadCounter m_threadChecked[kMaxSearchThreads];
    std::atomic<int> m_threadCounters{0};  // counters in use
    std::unique_ptr<Image> m_image;        // while readers are open, when the first was in memory
};

class DictionaryReader {
public:
    // Opens `name` (a path in the program's form) as a reader of `lane` (or of the control's own
    // lane). Throws ZantricException with the notice "Unable to open Dictionary: " + name, titled
    // "File Error", when the file cannot be opened.
    DictionaryReader(ReadLane& lane, const std::filesystem::path& name, bool memoryOption,
                     std::size_t bufferSize);
    DictionaryReader(ReadControl& control, const std::filesystem::path& name, bool memoryOption,
                     std::size_t bufferSize)
        : DictionaryReader(control.lane(), name, memoryOption, bufferSize) {}
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
    // Opens the file, or takes the control's image of it; `makeImage`: the first reader of the
    // control, with the memory option.
    void openSource(const std::filesystem::path& name, bool makeImage, std::size_t bufferSize);

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
    bool m_opened = false;  // false for a reader made beyond the limit
    ReadLane* m_lane;
    CancelGate* m_gate;                               // the control's
    std::atomic<std::uint64_t>* m_checked = nullptr;  // the counter of the lane that made it
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
