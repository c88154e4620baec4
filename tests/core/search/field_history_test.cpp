#include "core/search/field_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zantric {
namespace {

using Texts = std::vector<std::string>;

TEST(FieldHistoryTest, KeepsTenDistinctTextsMostRecentFirst) {
    FieldHistory history;
    for (int i = 0; i < 11; ++i) EXPECT_TRUE(history.push(std::to_string(i)));  // 0 drops out
    EXPECT_TRUE(history.push("5"));  // an existing text moves to the top
    EXPECT_FALSE(history.push(""));
    EXPECT_EQ(history.entries(), (Texts{"5", "10", "9", "8", "7", "6", "4", "3", "2", "1"}));
    EXPECT_TRUE(history.push("CAT"));
    EXPECT_TRUE(history.push("cat"));  // case counts
    EXPECT_EQ(history.indexOf("CAT"), 1);
    EXPECT_EQ(history.indexOf("0"), -1);
    SearchHistories histories;  // a start records the fields that are not empty
    histories.find.push("*");
    histories.update({"c?t", "", "a", "", true, false});
    histories.update({"*", "tac", "", "", true, false});
    EXPECT_EQ(histories.find.entries(), (Texts{"*", "c?t"}));
    EXPECT_EQ(histories.from.entries(), Texts{"tac"});
    EXPECT_EQ(histories.include.entries(), Texts{"a"});
    EXPECT_EQ(histories.exclude.size(), 0u);
}

}  // namespace
}  // namespace zantric
