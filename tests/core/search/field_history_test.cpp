#include "core/search/field_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zantric {
namespace {

TEST(FieldHistoryTest, KeepsTenDistinctTextsMostRecentFirst) {
    FieldHistory history;
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(history.push(std::to_string(i)));
    EXPECT_EQ(history.size(), 10u);

    EXPECT_TRUE(history.push("10"));  // an eleventh text drops the oldest
    EXPECT_EQ(history.size(), 10u);
    EXPECT_EQ(history[0], "10");
    EXPECT_EQ(history.indexOf("0"), -1);
    EXPECT_EQ(history[9], "1");

    EXPECT_TRUE(history.push("5"));  // an existing text moves to the top
    EXPECT_EQ(history.size(), 10u);
    EXPECT_EQ(history[0], "5");
    EXPECT_EQ(history[1], "10");
    EXPECT_EQ(history.indexOf("5"), 0);
    EXPECT_EQ(history[9], "1");

    EXPECT_FALSE(history.push(""));
    EXPECT_TRUE(history.push("CAT"));
    EXPECT_TRUE(history.push("cat"));  // case counts
    EXPECT_EQ(history.indexOf("CAT"), 1);
}

TEST(FieldHistoryTest, StartRecordsTheNonEmptyFields) {
    SearchHistories histories;
    histories.find.push("*");
    histories.update({"c?t", "", "a", "", true, false});
    histories.update({"*", "tac", "", "", true, false});
    EXPECT_EQ(histories.find.entries(), (std::vector<std::string>{"*", "c?t"}));
    EXPECT_EQ(histories.from.entries(), (std::vector<std::string>{"tac"}));
    EXPECT_EQ(histories.include.entries(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(histories.exclude.size(), 0u);
}

}  // namespace
}  // namespace zantric
