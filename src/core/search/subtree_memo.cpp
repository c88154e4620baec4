#include "core/search/subtree_memo.h"

#include <bit>
#include <cstring>

#include "core/dictionary/dictionary.h"
#include "core/search/match_sink.h"

namespace zantric {

namespace {

// Bounds of one search's memo (about 60 MB at most); once reached, further levels simply run.
constexpr std::size_t kEntryLimit = 1 << 18;
constexpr std::size_t kItemLimit = 1 << 21;
constexpr std::size_t kWordTextLimit = 1 << 24;

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

}  // namespace

std::uint64_t SubtreeMemo::hashOf(const Key& key) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL;
    for (std::uint64_t w : key.words) h = (h ^ w) * 0xFF51AFD7ED558CCDULL + (h >> 29);
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    return h ^ (h >> 33);
}

bool SubtreeMemo::makeKey(std::size_t position, bool afterBang, const SrcLetters& letters,
                          int minLength, char firstLetter, int freeReaders, Key& key, int variant) {
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
    key.words[1] |=
        (std::uint64_t{position} | std::uint64_t(minLength) << 6 | std::uint64_t(first) << 10 |
         std::uint64_t{afterBang} << 15 | std::uint64_t(freeReaders) << 16)
        << 44;
    key.words[3] |= (std::uint64_t(vowels) | std::uint64_t(variant) << 8) << 44;
    return true;
}

int SubtreeMemo::variantOf(std::string_view words) {
    if (const auto at = m_variants.find(words); at != m_variants.end()) return at->second;
    if (m_variants.size() >= kMaxVariant) return -1;
    const int variant = static_cast<int>(m_variants.size()) + 1;
    m_variants.emplace(std::string(words), variant);
    return variant;
}

SubtreeMemo::Outcome SubtreeMemo::find(const Key& key) const {
    if (m_slots.empty()) return kUnknown;
    const std::uint64_t hash = hashOf(key);
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.entry == kUnknown) return kUnknown;
        if (slot.tag != tag) continue;
        const Key& stored = m_entries[slot.entry].key;
        if (stored.words[0] == key.words[0] && stored.words[1] == key.words[1] &&
            stored.words[2] == key.words[2] && stored.words[3] == key.words[3]) {
            return slot.entry;
        }
    }
}

void SubtreeMemo::insert(std::uint64_t hash, Outcome entry) {
    if (2 * m_entries.size() > m_slots.size()) {
        std::vector<Slot> old(m_slots.empty() ? 4096 : 2 * m_slots.size());
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.entry == kUnknown) continue;
            std::size_t i = hashOf(m_entries[slot.entry].key) & mask;
            while (m_slots[i].entry != kUnknown) i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    while (m_slots[i].entry != kUnknown) i = (i + 1) & mask;
    m_slots[i] = Slot{static_cast<std::uint32_t>(hash >> 32), entry};
}

bool SubtreeMemo::emitAll(const Entry& entry, MatchSink& results, char* phrase, int length) {
    for (std::uint32_t i = 0; i < entry.items; ++i) {
        const Item& item = m_items[entry.firstItem + i];
        std::memcpy(phrase + length, m_words.data() + item.text, item.length);
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

SubtreeMemo::Replay SubtreeMemo::replay(Outcome entry, MatchSink& results, char* phrase,
                                        int prefixLength, int capacity) {
    const Entry& stored = m_entries[entry];
    if (static_cast<std::int64_t>(prefixLength) + stored.longest > capacity)
        return Replay::kTooLong;
    if (!emitAll(stored, results, phrase, prefixLength)) return Replay::kStopped;
    Dictionary::addChecked(stored.checked);
    return Replay::kDone;
}

SubtreeMemo::Recording SubtreeMemo::begin(std::uint64_t checkedNow) {
    Recording recording;
    if (m_entries.size() >= kEntryLimit || m_items.size() >= kItemLimit ||
        m_words.size() >= kWordTextLimit) {
        return recording;
    }
    recording.active = true;
    recording.firstItem = m_pending.size();
    recording.checkedBefore = checkedNow;
    return recording;
}

void SubtreeMemo::add(Recording& recording, std::string_view word, Outcome below) {
    if (!recording.active || !recording.complete || below == kNothing) return;
    if (below == kUnknown) {
        recording.complete = false;
        return;
    }
    // A level below that produced no phrase only counts toward Checked, which is kept whole.
    if (below != kComplete && m_entries[below].items == 0) return;
    Item item;
    item.text = static_cast<std::uint32_t>(m_words.size());
    item.length = static_cast<std::uint8_t>(word.size());
    item.below = below;
    m_words.append(word);
    m_pending.push_back(item);
}

SubtreeMemo::Outcome SubtreeMemo::end(Recording& recording, const Key& key,
                                      std::uint64_t checkedNow, bool cancelled) {
    if (!recording.active) return kUnknown;
    Outcome stored = kUnknown;
    if (recording.complete && !cancelled) {
        Entry entry;
        entry.key = key;
        entry.firstItem = static_cast<std::uint32_t>(m_items.size());
        entry.items = static_cast<std::uint32_t>(m_pending.size() - recording.firstItem);
        entry.checked = checkedNow - recording.checkedBefore;
        entry.longest = 0;
        for (std::size_t i = recording.firstItem; i < m_pending.size(); ++i) {
            const Item& item = m_pending[i];
            std::uint32_t longest = item.length + 1u;
            if (item.below != kComplete) longest += m_entries[item.below].longest;
            if (longest > entry.longest) entry.longest = longest;
            m_items.push_back(item);
        }
        stored = static_cast<Outcome>(m_entries.size());
        m_entries.push_back(entry);
        insert(hashOf(key), stored);
    }
    m_pending.resize(recording.firstItem);
    recording.active = false;
    return stored;
}

}  // namespace zantric
