#include "core/maintenance/run_file_name.h"

#include <utility>

#include "core/shell/temp_names.h"

namespace zantric {

runFileName::runFileName(std::string base, int first)
    : m_base(std::move(base)), m_counter(static_cast<unsigned>(first)) {
    if (m_base.empty() || m_base.back() != '.') m_base += '.';
}

std::string runFileName::next() {
    ++m_counter;
    return current();
}

std::string runFileName::current() const { return m_base + lowerCaseDigits(m_counter, 16); }

}  // namespace zantric
