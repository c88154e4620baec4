// MatchSink: where the levels of a search put their matches. On one thread it is the results
// store itself. When a phrase search is split over search threads, each thread runs the
// sub-searches of first-level words in turn; the matches of the first-level word that is next
// in order go straight to the store, those of a later one are kept (in memory) until every word
// before it is done, so that the store receives them in the order of one thread. ChunkOrder is
// what the search threads share for that; each MatchSink belongs to one thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/results/results_store.h"
#include "core/search/subtree_memo.h"
#include "core/shell/cancel_gate.h"

namespace zantric {

class ChunkOrder {
public:
    // The search threads keep at most `keptLimit` bytes of matches waiting their turn (0: the
    // usual 8 MiB); they stop when `gate` is cancelled and wait while it is held.
    ChunkOrder(ResultsStore& store, CancelGate& gate, std::size_t keptLimit = 0);

    // Every thread stops taking words: the store took no more, a thread failed, or the search
    // was cancelled. Also sets the gate's cancel flag, so that the other threads' readers stop.
    void halt();
    bool halted() const { return m_halted.load(std::memory_order_acquire); }

private:
    friend class MatchSink;
    // Kept matches of all waiting chunks above this many bytes: a thread whose word is not next
    // waits for its turn instead of keeping more.
    static constexpr std::size_t kKeptLimit = 8u << 20;
    const std::size_t m_keptLimit;

    // Kept matches are held in blocks of this size, whole lines in each. A block, once a
    // chunk's lines in it are stored, goes back to the free blocks: a search gives no memory
    // back until it ends, so that pages once touched are not faulted in again (on some
    // machines a fault costs as much as writing a page of matches).
    static constexpr std::size_t kBlockSize = 64 << 10;
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t used = 0;
    };
    using Chunk = std::vector<Block>;
    // A free block, or a new one; under m_mutex.
    Block freeBlock();
    // The chunk's blocks, emptied, become free blocks; under m_mutex.
    void release(Chunk& chunk);

    ResultsStore& m_store;
    CancelGate& m_gate;
    std::atomic<std::int64_t> m_head{0};  // the first-level word whose matches go to the store
    std::atomic<bool> m_halted{false};
    std::atomic<std::size_t> m_keptBytes{0};  // of the chunks in m_done
    std::mutex m_mutex;
    std::condition_variable m_turn;        // m_head moved on, or halt()
    std::map<std::int64_t, Chunk> m_done;  // finished chunks waiting their turn
    std::vector<std::unique_ptr<char[]>> m_freeBlocks;
};

class MatchSink {
public:
    // Straight to the store, always.
    explicit MatchSink(ResultsStore& store) : m_store(&store), m_direct(true) {}
    // A search thread's.
    explicit MatchSink(ChunkOrder& order) : m_store(&order.m_store), m_order(&order) {}
    MatchSink(const MatchSink&) = delete;
    MatchSink& operator=(const MatchSink&) = delete;

    // As ResultsStore::append: false when the search must stop.
    bool append(std::string_view text, bool addLineFeed) {
        if (m_direct) return m_store->append(text, addLineFeed);
        return keep(text, addLineFeed);
    }

    ResultsStore& store() const { return *m_store; }
    // Whether these matches go to the store now (the other threads' may wait for them).
    bool isNext() const {
        return m_direct || m_order->m_head.load(std::memory_order_acquire) == m_index;
    }

    // A search thread starts and ends the matches of first-level word `index`; words are taken
    // in order. endChunk(false) (the sub-search was cancelled or stopped) halts every thread.
    void beginChunk(std::int64_t index);
    void endChunk(bool complete);

    // The words of the sub-searches this thread's levels are recording for the memo.
    SubtreeMemo::Pending& memoPending() { return m_memoPending; }

private:
    bool keep(std::string_view text, bool addLineFeed);
    // The kept lines go to the store; from now on every match does.
    bool takeTurn();
    // Writes a finished chunk's lines; false when the store took no more.
    bool commit(const ChunkOrder::Chunk& chunk);
    // Gives this chunk's blocks back, whatever they hold.
    void dropKept();
    // After the head's own chunk: the head moves past it and past every finished chunk behind.
    void passHead();

    ResultsStore* m_store;
    ChunkOrder* m_order = nullptr;
    bool m_direct = false;
    std::int64_t m_index = 0;
    ChunkOrder::Chunk m_kept;    // kept matches, each ending in a line feed
    std::size_t m_keptSize = 0;  // bytes in m_kept
    std::size_t m_pollAt = 0;
    SubtreeMemo::Pending m_memoPending;
};

}  // namespace zantric
