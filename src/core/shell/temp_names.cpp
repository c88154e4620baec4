#include "core/shell/temp_names.h"

#include <ctime>
#include <random>

#include "core/shell/paths.h"
#include "core/shell/settings.h"

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif

namespace zantric {

namespace {

// What tells this process from every other one running: its id, or where there is none to ask
// for, a random number.
std::uint64_t processNumber() {
#if defined(__unix__) || defined(__APPLE__)
    return static_cast<std::uint64_t>(::getpid());
#else
    std::random_device random;
    return (std::uint64_t{random()} << 32) | random();
#endif
}

}  // namespace

std::string lowerCaseDigits(std::uint64_t value, unsigned base) {
    constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string reversed;
    do {
        reversed += kDigits[value % base];
        value /= base;
    } while (value != 0);
    return std::string(reversed.rbegin(), reversed.rend());
}

std::string tempBaseName(const Settings& settings) {
    static const std::string base = [&settings] {
        const std::time_t now = std::time(nullptr);
        std::uint64_t seconds = now < 0 ? 0 : static_cast<std::uint64_t>(now);
        const std::string process = "-" + lowerCaseDigits(processNumber(), 36);
        // A marker of this name can only be a leftover of a copy that ended (a process id is
        // reused): the second before is taken, so that this copy's files are its own.
        for (int tries = 0; tries < 100 && seconds > 0; ++tries, --seconds) {
            const std::string marker = "$$" + lowerCaseDigits(seconds, 36) + process + ".zti";
            if (!fileExists(settings.tempPath(marker))) break;
        }
        return "$$" + lowerCaseDigits(seconds, 36) + process;
    }();
    return base;
}

std::filesystem::path tempFileName(const Settings& settings, std::string_view extension) {
    std::string name = tempBaseName(settings);
    name += '.';
    name += extension;
    return settings.tempPath(name);
}

std::filesystem::path uniqueTempName(const Settings& settings) {
    // The process's base name, which no other running copy has, and the session's counter; "$$"
    // first, so a leftover is removed by the start-up clean-up.
    const std::string prefix = tempBaseName(settings) + "_";
    for (;;) {
        std::filesystem::path name =
            settings.tempPath(prefix + lowerCaseDigits(settings.nextTempNumber(), 36) + ".tmp");
        if (!fileExists(name)) return name;
    }
}

}  // namespace zantric
