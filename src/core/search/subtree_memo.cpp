#include "core/search/subtree_memo.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>

#include "core/dictionary/dictionary_reader.h"
#include "core/search/match_sink.h"

namespace zantric {

namespace {

constexpr std::size_t kSlotCount = 2 * (1 << 18);  // twice the entries at most

constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0ULL;

// Eight counts (bytes at p) as eight nibbles, and their sum; false if a count is not 0 to 15.
bool packEight(const std::int8_t* p, std::size_t n, std::uint32_t& packed, int& sum) {
    std::uint8_t bytes[8] = {};
    std::memcpy(bytes, p, n);
    std::uint64_t x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&x, bytes, 8);
    } else {
        for (int b = 7; b >= 0; --b) x = x << 8 | bytes[b];
    }
    if (x & kHighNibbles) return false;
    sum += static_cast<int>((x * 0x0101010101010101ULL) >> 56);
    x = (x | x >> 4) & 0x00FF00FF00FF00FFULL;
    x = (x | x >> 8) & 0x0000FFFF0000FFFFULL;
    packed = static_cast<std::uint32_t>(x | x >> 16);
    return true;
}

// 27 counts as 108 bits: the first 64 in `low`, the other 44 in the low bits of `high`.
bool packCounts(const std::int8_t* counts, std::uint64_t& low, std::uint64_t& high, int& sum) {
    std::uint32_t a = 0, b = 0, c = 0, d = 0;
    if (!packEight(counts, 8, a, sum) || !packEight(counts + 8, 8, b, sum) ||
        !packEight(counts + 16, 8, c, sum) || !packEight(counts + 24, 3, d, sum)) {
        return false;
    }
    low = a | std::uint64_t{b} << 32;
    high = c | std::uint64_t{d} << 32;
    return true;
}

// A word of up to eleven letters: each letter in five bits (the first in lower case), the place
// of its hyphen, whether it is capitalised, and a bit that says a word is there.
bool packWord(const char* word, std::uint64_t& packed) {
    const bool capital = *word >= 'A' && *word <= 'Z';
    packed = std::uint64_t{1} << 63 | std::uint64_t{capital} << 62;
    int letters = 0;
    bool hyphen = false;
    for (const char* c = word; *c; ++c) {
        const char letter = c == word && capital ? static_cast<char>(*c + 32) : *c;
        if (letter == '-' && !hyphen && c != word) {
            hyphen = true;
            packed |= std::uint64_t(c - word) << 55;
        } else if (letter < 'a' || letter > 'z' || ++letters > 11) {
            return false;
        } else {
            packed |= std::uint64_t(letter - 'a' + 1) << (5 * (letters - 1));
        }
    }
    return true;
}

}  // namespace

SubtreeMemo::SubtreeMemo()
    : m_slots(static_cast<std::uint64_t*>(std::calloc(kSlotCount, sizeof(std::uint64_t)))) {
    if (!m_slots) throw std::bad_alloc();
    static_assert(kSlotCount == 2 * kEntryLimit);
}

std::uint64_t SubtreeMemo::hashOf(const Key& key) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL;
    for (std::uint64_t w : key.words) h = (h ^ w) * 0xFF51AFD7ED558CCDULL + (h >> 29);
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    return h ^ (h >> 33);
}

bool SubtreeMemo::makeKey(std::size_t position, bool afterBang, const LetterPool& letters,
                          int minLength, char firstLetter, int freeReaders, Key& key, int variant,
                          const char* bound, bool vowelsOnly) {
    int available = 0;
    int reserved = 0;
    const int vowels = letters.vowels();
    const int total = letters.total();
    const int first = firstLetter == 0 ? 0 : firstLetter - 'a' + 1;
    if (position > 63 || vowels < 0 || vowels > 255 || minLength < 0 || minLength > 15 ||
        first < 0 || first > 26 || freeReaders < 0 || freeReaders > 15 || variant < 0 ||
        variant > kMaxVariant ||
        !packCounts(letters.availableCounts(), key.words[0], key.words[1], available) ||
        !packCounts(letters.reservedCounts(), key.words[2], key.words[3], reserved) ||
        total != available) {
        return false;
    }
    key.words[4] = 0;
    if (bound && !packWord(bound, key.words[4])) return false;
    key.words[4] |= std::uint64_t{vowelsOnly} << 61;
    key.words[1] |=
        (std::uint64_t{position} | std::uint64_t(minLength) << 6 | std::uint64_t(first) << 10 |
         std::uint64_t{afterBang} << 15 | std::uint64_t(freeReaders) << 16)
        << 44;
    key.words[3] |= (std::uint64_t(vowels) | std::uint64_t(variant) << 8) << 44;
    return true;
}

int SubtreeMemo::variantOf(std::string_view words) {
    const std::lock_guard<std::mutex> lock(m_variantMutex);
    if (const auto at = m_variants.find(words); at != m_variants.end()) return at->second;
    if (m_variants.size() >= kMaxVariant) return -1;
    const int variant = static_cast<int>(m_variants.size()) + 1;
    m_variants.emplace(std::string(words), variant);
    return variant;
}

SubtreeMemo::Outcome SubtreeMemo::find(const Key& key) const {
    const std::uint64_t hash = hashOf(key);
    const std::uint64_t tag = hash >> 32;
    constexpr std::size_t kMask = kSlotCount - 1;
    for (std::size_t i = hash & kMask;; i = (i + 1) & kMask) {
        const std::uint64_t slot =
            std::atomic_ref<std::uint64_t>(m_slots[i]).load(std::memory_order_acquire);
        if (slot == 0) return kUnknown;
        if (slot >> 32 != tag) continue;
        const auto entry = static_cast<Outcome>(static_cast<std::uint32_t>(slot) - 1);
        const Key& stored = m_entries[entry].key;
        if (stored.words[0] == key.words[0] && stored.words[1] == key.words[1] &&
            stored.words[2] == key.words[2] && stored.words[3] == key.words[3]) {
            return entry;
        }
    }
}

void SubtreeMemo::insert(std::uint64_t hash, Outcome entry) {
    constexpr std::size_t kMask = kSlotCount - 1;
    std::size_t i = hash & kMask;
    while (m_slots[i] != 0) i = (i + 1) & kMask;
    std::atomic_ref<std::uint64_t>(m_slots[i])
        .store((hash >> 32) << 32 | (std::uint64_t{entry} + 1), std::memory_order_release);
}

bool SubtreeMemo::emitAll(const Entry& entry, MatchSink& results, char* phrase, int length) {
    for (std::uint32_t i = 0; i < entry.items; ++i) {
        const Item& item = m_items[entry.firstItem + i];
        std::memcpy(phrase + length, &m_words[item.text], item.length);
        const int next = length + item.length + 1;
        phrase[next - 1] = ' ';
        if (item.below == kComplete) {
            // The trailing space becomes the line feed. The store also stops a replay that was
            // cancelled, and holds it at the pause gate.
            if (!results.append(std::string_view(phrase, static_cast<std::size_t>(next)), false)) {
                return false;
            }
        } else if (!emitAll(m_entries[item.below], results, phrase, next)) {
            return false;
        }
    }
    return true;
}

SubtreeMemo::Replay SubtreeMemo::replay(Outcome entry, ReadLane& lane, MatchSink& results,
                                        char* phrase, int prefixLength, int capacity) {
    const Entry& stored = m_entries[entry];
    if (static_cast<std::int64_t>(prefixLength) + stored.longest > capacity)
        return Replay::kTooLong;
    if (!emitAll(stored, results, phrase, prefixLength)) return Replay::kStopped;
    lane.addChecked(stored.checked);
    return Replay::kDone;
}

SubtreeMemo::Recording SubtreeMemo::begin(std::uint64_t checkedNow, Pending& pending) {
    Recording recording;
    if (m_entryCount.load(std::memory_order_relaxed) >= kEntryLimit ||
        m_itemCount.load(std::memory_order_relaxed) >= kItemLimit ||
        m_textSize.load(std::memory_order_relaxed) >= kWordTextLimit) {
        return recording;
    }
    recording.active = true;
    recording.pending = &pending;
    recording.firstItem = pending.m_items.size();
    recording.firstText = pending.m_text.size();
    recording.checkedBefore = checkedNow;
    return recording;
}

SubtreeMemo::Outcome SubtreeMemo::findOrBegin(const Key& key, std::uint64_t checkedNow,
                                              const CancelGate& gate, Pending& pending,
                                              Recording& recording, const MatchSink& results) {
    Outcome stored = find(key);
    if (stored != kUnknown) return stored;
    if (!m_shared) {
        recording = begin(checkedNow, pending);
        return kUnknown;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        stored = find(key);
        if (stored != kUnknown) return stored;
        if (std::find(m_claimed.begin(), m_claimed.end(), key) == m_claimed.end()) {
            recording = begin(checkedNow, pending);
            if (recording.active) {
                m_claimed.push_back(key);
                recording.claimed = true;
            }
            return kUnknown;
        }
        // The thread whose matches go to the store never waits (the others may be waiting for
        // it), nor does a cancelled search, whose readers stop at once.
        if (results.isNext() || gate.cancelled()) break;
        m_recorded.wait_for(lock, std::chrono::milliseconds(20));
    }
    // Walked here too; whichever recording ends first is stored.
    recording = begin(checkedNow, pending);
    return kUnknown;
}

void SubtreeMemo::add(Recording& recording, std::string_view word, Outcome below) {
    if (!recording.active || !recording.complete || below == kNothing) return;
    if (below == kUnknown) {
        recording.complete = false;
        return;
    }
    // A level below that produced no phrase only counts toward Checked, which is kept whole.
    if (below != kComplete && m_entries[below].items == 0) return;
    Pending& pending = *recording.pending;
    Item item;
    item.text = static_cast<std::uint32_t>(pending.m_text.size());
    item.length = static_cast<std::uint8_t>(word.size());
    item.below = below;
    pending.m_text.append(word);
    pending.m_items.push_back(item);
}

SubtreeMemo::Outcome SubtreeMemo::end(Recording& recording, const Key& key,
                                      std::uint64_t checkedNow, bool cancelled) {
    if (!recording.active) return kUnknown;
    Pending& pending = *recording.pending;
    Outcome stored = kUnknown;
    if (recording.complete && !cancelled) {
        const std::size_t items = pending.m_items.size() - recording.firstItem;
        const std::lock_guard<std::mutex> lock(m_mutex);
        // Another search thread may have stored the same state meanwhile: the same entry.
        stored = find(key);
        const std::size_t entryAt = stored == kUnknown ? m_entries.claim(1) : kEntryLimit;
        const std::size_t itemAt = entryAt < kEntryLimit ? m_items.claim(items) : kItemLimit;
        if (entryAt < kEntryLimit && itemAt < kItemLimit) {
            Entry& entry = m_entries[entryAt];
            entry.key = key;
            entry.firstItem = static_cast<std::uint32_t>(itemAt);
            entry.items = static_cast<std::uint32_t>(items);
            entry.checked = checkedNow - recording.checkedBefore;
            entry.longest = 0;
            for (std::size_t i = 0; i < items; ++i) {
                Item item = pending.m_items[recording.firstItem + i];
                std::uint32_t longest = item.length + 1u;
                if (item.below != kComplete) longest += m_entries[item.below].longest;
                if (longest > entry.longest) entry.longest = longest;
                // A word's letters stay together in one block; a full text store leaves the
                // entry's claimed room unused, and the entry unstored.
                const std::size_t at = m_words.claim(item.length);
                if (at >= kWordTextLimit) {
                    stored = kUnknown;
                    break;
                }
                std::memcpy(&m_words[at], pending.m_text.data() + item.text, item.length);
                item.text = static_cast<std::uint32_t>(at);
                m_items[itemAt + i] = item;
                stored = static_cast<Outcome>(entryAt);
            }
            if (items == 0) stored = static_cast<Outcome>(entryAt);
            m_entryCount.store(m_entries.size(), std::memory_order_relaxed);
            m_itemCount.store(m_items.size(), std::memory_order_relaxed);
            m_textSize.store(m_words.size(), std::memory_order_relaxed);
            if (stored != kUnknown) insert(hashOf(key), stored);
        }
    }
    if (recording.claimed) {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_claimed.erase(std::find(m_claimed.begin(), m_claimed.end(), key));
        }
        m_recorded.notify_all();
        recording.claimed = false;
    }
    pending.m_items.resize(recording.firstItem);
    pending.m_text.resize(recording.firstText);
    recording.active = false;
    return stored;
}

}  // namespace zantric
