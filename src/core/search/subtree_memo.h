// SubtreeMemo: what the levels of a phrase search produced, kept for the rest of the search. A
// level's outcome depends only on its state (the rest of the FIND, its letters, its minimum
// length and start letter, the word before which none of its words comes under Suppress
// Permutations, the readers still free), and the same state recurs often: two first
// words that use the same letters leave the same sub-search. The first time, the level runs and
// its outcome is stored as the words it accepted, each with the outcome of the level below, and
// the number of words its readers and those below passed. When the state recurs, the stored
// phrases are replayed behind the new phrase and the same Checked figure is counted, so results,
// their order, Found and Checked are those of running it again. Owned by the top level of one
// search and shared by its search threads: an entry, once stored, never changes, so find() and
// replay() need no lock; storing an entry (end()) and numbering a variant take one.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/dictionary/letter_pool.h"

namespace zantric {

class CancelGate;
class MatchSink;
class ReadLane;

// Storage that grows by blocks and never moves what it holds: other threads may read what was
// added while one thread at a time adds more.
template <typename T, std::size_t kBlockSize, std::size_t kCapacity>
class BlockStore {
public:
    const T& operator[](std::size_t i) const { return m_blocks[i / kBlockSize][i % kBlockSize]; }
    T& operator[](std::size_t i) { return m_blocks[i / kBlockSize][i % kBlockSize]; }
    std::size_t size() const { return m_size; }
    // Room for `n` more, together in one block: the index of the first, or kCapacity when the
    // store is full.
    std::size_t claim(std::size_t n) {
        std::size_t at = m_size;
        if (at % kBlockSize + n > kBlockSize) at = (at / kBlockSize + 1) * kBlockSize;
        if (n > kBlockSize || at + n > kCapacity) return kCapacity;
        if (n != 0 && !m_blocks[at / kBlockSize]) {
            m_blocks[at / kBlockSize] = std::make_unique<T[]>(kBlockSize);
        }
        m_size = at + n;
        return at;
    }

private:
    std::unique_ptr<T[]> m_blocks[kCapacity / kBlockSize];
    std::size_t m_size = 0;
};

class SubtreeMemo {
public:
    // A level's outcome as its parent records it: a stored entry, or one of these.
    using Outcome = std::uint32_t;
    static constexpr Outcome kUnknown = 0xFFFFFFFF;   // not stored: the parent cannot be either
    static constexpr Outcome kComplete = 0xFFFFFFFE;  // the level stored its phrase as it was
    static constexpr Outcome kNothing = 0xFFFFFFFD;   // the level stored nothing

    // The state of a level just before it opens its reader, packed exactly.
    struct Key {
        std::array<std::uint64_t, 5> words{};
        bool operator==(const Key&) const = default;
    };
    // False when the state does not fit the packing (a count above 15, a long FIND, a bound of
    // more than eleven letters). `variant` (0 to kMaxVariant) tells apart states whose
    // sub-searches differ for another reason; `bound` (or nullptr) is the word before which no
    // word of the level comes, and `vowelsOnly` says that every word holds a vowel-like letter.
    static bool makeKey(std::size_t position, bool afterBang, const LetterPool& letters,
                        int minLength, char firstLetter, int freeReaders, Key& key, int variant = 0,
                        const char* bound = nullptr, bool vowelsOnly = false);

    // "Each word once": a level's phrases depend also on the words above that it may not use
    // again. Each such set of words (as one text, the same text for the same set) gets its own
    // variant number, from 1; -1 once the numbers are used up.
    static constexpr int kMaxVariant = 4095;
    int variantOf(std::string_view words);

    // The entry stored for a state, or kUnknown.
    Outcome find(const Key& key) const;
    // The table's hash of a key; keys that share it are told apart by the key itself.
    static std::uint64_t hashOf(const Key& key);
    // What replay() did.
    enum class Replay {
        kDone,     // every phrase of the entry was stored, and its Checked figure counted
        kTooLong,  // a phrase would not fit: nothing was done
        kStopped   // cancelled, or the results store took no more: the search stops
    };
    // Appends the phrases of an entry behind the phrase so far (the first `prefixLength` of the
    // `capacity` characters at `phrase`) and counts its Checked figure on `lane`. The store looks
    // at the cancel flag and waits at the pause gate every few kilobytes, as a reader does at every
    // word, so that a replay of millions of phrases stops as promptly.
    Replay replay(Outcome entry, ReadLane& lane, MatchSink& results, char* phrase, int prefixLength,
                  int capacity);

    // Recording a level: begin() before its reader is opened; add() for each word it accepted,
    // with the outcome of the level below; end() afterwards stores the entry and returns it, or
    // returns kUnknown when something below was not stored, the run was cancelled or the memo
    // is full. Levels nest: each end() closes the latest begin(). The levels being recorded on
    // one thread keep their words in that thread's Pending, innermost last.
    class Pending;
    struct Recording {
        bool active = false;
        bool complete = true;  // every level below was stored
        std::size_t firstItem = 0;
        std::size_t firstText = 0;
        std::uint64_t checkedBefore = 0;
        bool claimed = false;  // other search threads wait for this state's entry
        Pending* pending = nullptr;
    };
    SubtreeMemo();
    Recording begin(std::uint64_t checkedNow, Pending& pending);
    // find(), and begin() when nothing is stored. Shared by search threads, a state that
    // another thread is recording is waited for and then replayed rather than walked twice;
    // but never by the thread whose matches go to the store now (`results`), which the others
    // may be waiting for, nor when `gate` is cancelled. A state only holds states of fewer
    // letters, so the others never wait for each other in a circle.
    Outcome findOrBegin(const Key& key, std::uint64_t checkedNow, const CancelGate& gate,
                        Pending& pending, Recording& recording, const MatchSink& results);
    // The search threads of a split search use this memo from now on.
    void share() { m_shared = true; }
    void add(Recording& recording, std::string_view word, Outcome below);
    Outcome end(Recording& recording, const Key& key, std::uint64_t checkedNow, bool cancelled);

private:
    struct Item {
        std::uint32_t text;   // the word, at m_words[text], m_words[text + 1] ...
        std::uint32_t below;  // the outcome of the level below
        std::uint8_t length;
    };

public:
    class Pending {
        friend class SubtreeMemo;
        std::vector<Item> m_items;
        std::string m_text;
    };

private:
    struct Entry {
        Key key;
        std::uint32_t firstItem;
        std::uint32_t items;
        std::uint32_t longest;  // characters of its longest phrase ending
        std::uint64_t checked;
    };

    // Under m_mutex: makes a stored entry visible to find().
    void insert(std::uint64_t hash, Outcome entry);
    // False when the search stops before every phrase was stored.
    bool emitAll(const Entry& entry, MatchSink& results, char* phrase, int length);

    // The table: open addressing, at most half full; a slot holds the high half of a key's
    // hash and its entry + 1 (0: empty), the key itself is checked in the entry. Zeroed by
    // calloc, so that its pages cost nothing until used.
    struct Free {
        void operator()(std::uint64_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint64_t[], Free> m_slots;
    // Bounds of one search's memo (about 60 MB at most); once reached, further levels simply
    // run.
    static constexpr std::size_t kEntryLimit = 1 << 18;
    static constexpr std::size_t kItemLimit = 1 << 21;
    static constexpr std::size_t kWordTextLimit = 1 << 24;
    BlockStore<Entry, 1 << 12, kEntryLimit> m_entries;
    BlockStore<Item, 1 << 14, kItemLimit> m_items;
    BlockStore<char, 1 << 16, kWordTextLimit> m_words;
    std::atomic<std::size_t> m_entryCount{0}, m_itemCount{0}, m_textSize{0};
    std::mutex m_mutex;                  // storing entries, and the states being recorded
    std::condition_variable m_recorded;  // a claimed state's recording ended
    std::vector<Key> m_claimed;          // states that search threads are recording
    bool m_shared = false;
    struct TextHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };
    std::unordered_map<std::string, int, TextHash, std::equal_to<>> m_variants;
    std::mutex m_variantMutex;
};

}  // namespace zantric
