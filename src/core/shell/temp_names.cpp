#include "core/shell/temp_names.h"

#include <ctime>

#include "core/shell/config_data.h"
#include "core/shell/paths.h"

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
        const std::time_t now = std::time(nullptr);
        std::uint64_t seconds = now < 0 ? 0 : static_cast<std::uint64_t>(now);
        // A copy started in the same second as a running one would share its temporary files:
        // the second before is taken instead while a marker of that name is there.
        const ConfigData& config = ConfigData::instance();
        for (int tries = 0; tries < 100 && seconds > 0; ++tries, --seconds) {
            if (!fileExists(config.tempPath("$$" + lowerCaseDigits(seconds, 36) + ".zti"))) break;
        }
        return "$$" + lowerCaseDigits(seconds, 36);
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
