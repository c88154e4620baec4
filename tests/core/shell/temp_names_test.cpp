#include "core/shell/temp_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <string>

namespace zantric {
namespace {

TEST(TempNames, BaseNameIsTheStartTimeAndTheProcessInLowerCaseBase36) {
    const struct {
        std::uint64_t value;
        unsigned base;
        const char* digits;
    } cases[] = {{0, 36, "0"},
                 {35, 36, "z"},
                 {36, 36, "10"},
                 {0, 16, "0"},
                 {255, 16, "ff"},
                 {4096, 16, "1000"},
                 {4294967295u, 36, "1z141z3"}};
    for (const auto& c : cases) EXPECT_EQ(lowerCaseDigits(c.value, c.base), c.digits) << c.value;

    const std::string base = tempBaseName();
    const std::size_t dash = base.find('-');
    ASSERT_EQ(base.substr(0, 2), "$$");
    ASSERT_NE(dash, std::string::npos);
    const std::uint64_t seconds = std::stoull(base.substr(2, dash - 2), nullptr, 36);
    const auto now = static_cast<std::uint64_t>(std::time(nullptr));
    EXPECT_EQ(lowerCaseDigits(seconds, 36), base.substr(2, dash - 2));
    EXPECT_TRUE(seconds <= now && seconds + 3600 > now) << seconds;
    EXPECT_EQ(base.substr(dash + 1), lowerCaseDigits(static_cast<std::uint64_t>(getpid()), 36));
    EXPECT_EQ(tempBaseName(), base) << "taken once per process";
}

}  // namespace
}  // namespace zantric
