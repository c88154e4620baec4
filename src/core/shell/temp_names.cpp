#include "core/shell/temp_names.h"

#include <ctime>

#include "core/shell/config_data.h"

namespace zantric {

std::string lowerCaseDigits(std::uint64_t value, unsigned base) {
    constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string reversed;
    do {
        reversed += kDigits[value % base];
        value /= base;
    } while (value != 0);
    return std::string(reversed.rbegin(), reversed.rend());
}

std::string tempBaseName() {
    static const std::string base = [] {
        std::time_t now = std::time(nullptr);
        return "$$" + lowerCaseDigits(now < 0 ? 0 : static_cast<std::uint64_t>(now), 36);
    }();
    return base;
}

std::string tempFileName(std::string_view extension) {
    std::string name = tempBaseName();
    name += '.';
    name += extension;
    return ConfigData::instance().tempPath(name);
}

}  // namespace zantric
