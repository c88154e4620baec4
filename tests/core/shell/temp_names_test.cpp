// The process's temporary base name and the digits it is written with.
#include "core/shell/temp_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <string>

namespace zantric {
namespace {

TEST(TempNames, LowerCaseDigits) {
    struct Case {
        std::uint64_t value;
        unsigned base;
        const char* digits;
    };
    for (const Case& c :
         {Case{0, 36, "0"}, Case{35, 36, "z"}, Case{36, 36, "10"}, Case{1700000000, 36, "s44we8"},
          Case{4294967295u, 36, "1z141z3"}, Case{0, 16, "0"}, Case{10, 16, "a"},
          Case{255, 16, "ff"}, Case{4096, 16, "1000"}}) {
        EXPECT_EQ(lowerCaseDigits(c.value, c.base), c.digits) << c.value << " base " << c.base;
    }
}

TEST(TempNames, BaseNameIsTheStartTimeAndTheProcessInBase36) {
    const std::string base = tempBaseName();
    ASSERT_EQ(base.substr(0, 2), "$$");
    const std::size_t dash = base.find('-');
    ASSERT_NE(dash, std::string::npos);
    const std::string time = base.substr(2, dash - 2);
    std::uint64_t seconds = std::stoull(time, nullptr, 36);
    EXPECT_EQ(lowerCaseDigits(seconds, 36), time) << "lower-case digits only";
    EXPECT_LE(seconds, static_cast<std::uint64_t>(std::time(nullptr)));
    EXPECT_GT(seconds + 3600, static_cast<std::uint64_t>(std::time(nullptr)));
    EXPECT_EQ(base.substr(dash + 1), lowerCaseDigits(static_cast<std::uint64_t>(getpid()), 36));
    EXPECT_EQ(tempBaseName(), base) << "taken once per process";
}

}  // namespace
}  // namespace zantric
