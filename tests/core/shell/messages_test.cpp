#include "core/shell/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/shell/string_table.h"

namespace zantric {
namespace {

TEST(StringTable, LoadsFromManyThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::vector<std::string> seen(8);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&seen, i] { seen[i] = loadString(17); });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(seen, std::vector<std::string>(8, "File Error."));
}

}  // namespace
}  // namespace zantric
