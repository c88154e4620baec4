#include "core/search/match_sink.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

namespace zantric {

namespace {
// Kept matches of one chunk between two looks at the cancel flag and the pause gate, as the
// store looks while it writes.
constexpr std::size_t kPollEvery = 4096;
// A waiting thread's look at the cancel flag.
constexpr auto kWaitSlice = std::chrono::milliseconds(20);
}  // namespace

ChunkOrder::ChunkOrder(ResultsStore& store, CancelGate& gate, std::size_t keptLimit)
    : m_keptLimit(keptLimit != 0 ? keptLimit : kKeptLimit), m_store(store), m_gate(gate) {}

void ChunkOrder::halt() {
    m_halted.store(true, std::memory_order_release);
    m_gate.setCancel();
    // Through the mutex, so that a thread between its look at the flag and its wait still wakes.
    m_mutex.lock();
    m_mutex.unlock();
    m_turn.notify_all();
}

ChunkOrder::Block ChunkOrder::freeBlock() {
    Block block;
    if (m_freeBlocks.empty()) {
        block.bytes = std::make_unique_for_overwrite<char[]>(kBlockSize);
    } else {
        block.bytes = std::move(m_freeBlocks.back());
        m_freeBlocks.pop_back();
    }
    return block;
}

void ChunkOrder::release(Chunk& chunk) {
    for (Block& block : chunk) m_freeBlocks.push_back(std::move(block.bytes));
    chunk.clear();
}

void MatchSink::dropKept() {
    if (m_kept.empty()) return;
    const std::lock_guard<std::mutex> lock(m_order->m_mutex);
    m_order->release(m_kept);
    m_keptSize = 0;
}

void MatchSink::beginChunk(std::int64_t index) {
    m_index = index;
    m_direct = m_order->m_head.load(std::memory_order_acquire) == index;
    m_pollAt = std::min(kPollEvery, m_order->m_keptLimit);
}

bool MatchSink::keep(std::string_view text, bool addLineFeed) {
    ChunkOrder& order = *m_order;
    if (order.m_head.load(std::memory_order_acquire) == m_index) {
        return takeTurn() && m_store->append(text, addLineFeed);
    }
    if (m_keptSize >= m_pollAt) {
        // A long replay into a kept chunk stops and pauses as promptly as one into the store.
        m_pollAt = m_keptSize + std::min(kPollEvery, order.m_keptLimit);
        if (order.m_gate.stopRequested() || order.halted()) return false;
        if (m_keptSize + order.m_keptBytes.load(std::memory_order_relaxed) > order.m_keptLimit) {
            // Enough is kept: wait until this word is next.
            std::unique_lock<std::mutex> lock(order.m_mutex);
            while (order.m_head.load(std::memory_order_acquire) != m_index) {
                if (order.halted() || order.m_gate.cancelled()) return false;
                order.m_turn.wait_for(lock, kWaitSlice);
            }
            lock.unlock();
            return takeTurn() && m_store->append(text, addLineFeed);
        }
    }
    const std::size_t body = addLineFeed || text.empty() ? text.size() : text.size() - 1;
    // A phrase is far shorter than a block.
    if (m_kept.empty() || m_kept.back().used + body + 1 > ChunkOrder::kBlockSize) {
        const std::lock_guard<std::mutex> lock(order.m_mutex);
        m_kept.push_back(order.freeBlock());
    }
    ChunkOrder::Block& block = m_kept.back();
    std::memcpy(block.bytes.get() + block.used, text.data(), body);
    block.bytes[block.used + body] = '\n';
    block.used += body + 1;
    m_keptSize += body + 1;
    return true;
}

bool MatchSink::takeTurn() {
    m_direct = true;
    const bool stored = commit(m_kept);
    dropKept();
    return stored;
}

bool MatchSink::commit(const ChunkOrder::Chunk& chunk) {
    for (const ChunkOrder::Block& block : chunk) {
        const char* line = block.bytes.get();
        const char* const end = line + block.used;
        while (line < end) {
            const auto* feed = static_cast<const char*>(std::memchr(line, '\n', end - line));
            const std::size_t length = static_cast<std::size_t>(feed - line) + 1;
            if (!m_store->append(std::string_view(line, length), false)) return false;
            line += length;
        }
    }
    return true;
}

void MatchSink::endChunk(bool complete) {
    ChunkOrder& order = *m_order;
    if (!complete || order.halted()) {
        dropKept();
        order.halt();
        return;
    }
    if (!m_direct) {
        std::unique_lock<std::mutex> lock(order.m_mutex);
        if (order.m_head.load(std::memory_order_acquire) != m_index) {
            order.m_keptBytes.fetch_add(m_keptSize, std::memory_order_relaxed);
            order.m_done.emplace(m_index, std::move(m_kept));
            m_kept.clear();
            m_keptSize = 0;
            return;
        }
        lock.unlock();
        if (!takeTurn()) {
            order.halt();
            return;
        }
    }
    passHead();
}

void MatchSink::passHead() {
    ChunkOrder& order = *m_order;
    std::unique_lock<std::mutex> lock(order.m_mutex);
    std::int64_t next = m_index + 1;
    for (auto done = order.m_done.find(next); done != order.m_done.end();
         done = order.m_done.find(++next)) {
        // The chunks before `next` are stored and `next` is finished: no other thread writes to
        // the store while its lines go there, and chunks finished meanwhile wait in m_done.
        ChunkOrder::Chunk chunk = std::move(done->second);
        order.m_done.erase(done);
        std::size_t bytes = 0;
        for (const ChunkOrder::Block& block : chunk) bytes += block.used;
        order.m_keptBytes.fetch_sub(bytes, std::memory_order_relaxed);
        lock.unlock();
        const bool stored = commit(chunk);
        lock.lock();
        order.release(chunk);
        if (!stored) {
            lock.unlock();
            order.halt();
            return;
        }
    }
    order.m_head.store(next, std::memory_order_release);
    lock.unlock();
    order.m_turn.notify_all();
}

}  // namespace zantric
