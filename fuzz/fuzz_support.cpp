#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/shell/settings.h"

namespace zantric::fuzz {

SilentPresenter& enterScratchFolder() {
    static test::TempFolder folder;
    static SilentPresenter presenter;
    static const bool entered = [] {
        for (const char* name : {"files", "lexicons", "temp"})
            std::filesystem::create_directory(name);
        installPresenter(&presenter);
        Settings::instance();  // writes the default zantric.ini
        return true;
    }();
    (void)entered;
    return presenter;
}

void expect(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz: expectation failed: %s\n", what);
    std::abort();
}

}  // namespace zantric::fuzz
