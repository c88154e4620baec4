#include "core/maintenance/run_file_name.h"

#include "core/shell/temp_names.h"

namespace zantric {

std::string runFileName(std::string base, std::uint64_t number) {
    if (base.empty() || base.back() != '.') base += '.';
    return base + lowerCaseDigits(number, 16);
}

}  // namespace zantric
