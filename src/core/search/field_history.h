// FieldHistory: the drop-down history of one search field: at most ten distinct texts, most
// recent first. SearchHistories holds the four of the main window, which owns it; the window's
// combo boxes show the entries. User-interface thread only.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/search_fields.h"

namespace zantric {

class FieldHistory {
public:
    static constexpr std::size_t kMaxEntries = 10;

    // Puts the text first: an equal entry (exact, case-sensitive) moves up instead of being
    // repeated, and the oldest entry drops out beyond ten. Empty text is not recorded (false).
    bool push(std::string_view text);
    // The index of the entry equal to the text, or -1.
    int indexOf(std::string_view text) const;

    const std::vector<std::string>& entries() const { return m_entries; }
    std::size_t size() const { return m_entries.size(); }
    const std::string& operator[](std::size_t i) const { return m_entries[i]; }
    void clear() { m_entries.clear(); }

private:
    std::vector<std::string> m_entries;  // most recent first
};

struct SearchHistories {
    FieldHistory find;
    FieldHistory from;
    FieldHistory include;
    FieldHistory exclude;

    // Records the four field texts at Start, in the order FIND, FROM, INCLUDE, EXCLUDE.
    void update(const SearchFields& fields);
};

}  // namespace zantric
