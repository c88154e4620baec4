#include "core/search/field_history.h"

#include <algorithm>

namespace zantric {

bool FieldHistory::push(std::string_view text) {
    if (text.empty()) return false;
    auto it = std::find(m_entries.begin(), m_entries.end(), text);
    if (it != m_entries.end()) m_entries.erase(it);
    m_entries.insert(m_entries.begin(), std::string(text));
    if (m_entries.size() > kMaxEntries) m_entries.pop_back();
    return true;
}

int FieldHistory::indexOf(std::string_view text) const {
    auto it = std::find(m_entries.begin(), m_entries.end(), text);
    return it == m_entries.end() ? -1 : static_cast<int>(it - m_entries.begin());
}

void SearchHistories::update(const SearchFields& fields) {
    find.push(fields.find);
    from.push(fields.from);
    include.push(fields.include);
    exclude.push(fields.exclude);
}

}  // namespace zantric
