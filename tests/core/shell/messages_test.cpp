#include "core/shell/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/shell/string_table.h"
#include "support/recorder_presenter.h"

namespace zantric {
namespace {

TEST(StringTable, ParsesSourceText) {
    const struct {
        std::string source;
        std::vector<std::pair<int, std::string>> expected;
    } cases[] = {
        {"5\tkStrFive\tfive\n3\t-\tthree\n", {{3, "three"}, {5, "five"}}},
        {"# head\n\n7\t-\tseven\n#8\t-\tnot\n", {{7, "seven"}}},
        {"1\t-\ta\\nb\\tc\\\\n\\x\n", {{1, "a\nb\tc\\n\\x"}}},
        {"1\t-\tend\\\n", {{1, "end\\"}}},
        {"1\t-\t  two  \n", {{1, "  two  "}}},
        {"1\t-\t\n", {{1, ""}}},
        {"1\t-\tone\r\n2\t-\ttwo", {{1, "one"}, {2, "two"}}},
        {"4\t-\tfirst\n4\t-\tsecond\n", {{4, "first"}}},
        {"x\t-\tno id\n12 - no tab\n13\n\t-\tno id\n99999999999\t-\tbig\n15\tno name\n14\t-\tok\n",
         {{14, "ok"}}},
        {"1\t-\ta\tb\n", {{1, "a\tb"}}},
        {"1\t-\t" + std::string(300, 'x'), {{1, std::string(255, 'x')}}},
        {"1\t-\t" + std::string(200 * 2, '\\'), {{1, std::string(200, '\\')}}},  // 200 escapes
    };
    for (const auto& c : cases) EXPECT_EQ(parseStringTable(c.source), c.expected) << c.source;
    for (int id : {0, -1, 1, 65535, 99999}) EXPECT_EQ(loadString(id), "") << id;
    EXPECT_EQ(loadString(320), "Unable to Open File: ");
}

TEST(StringTable, LoadsFromManyThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::vector<std::string> seen(8);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&seen, i] { seen[i] = loadString(17); });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(seen, std::vector<std::string>(8, "File Error."));
}

TEST(Messages, DefaultPresenterWritesToStderrAndTakesTheDefaultAnswer) {
    const std::pair<int, int> cases[] = {
        {kMbOk, kIdOk},    {kMbOkStop, kIdOk},       {kMbOkExclamation, kIdOk},
        {kMbYesNo, kIdNo}, {kMbYesNo | 0x20, kIdNo}, {kMbOkCancelQuestion, kIdCancel},
        {3, kIdCancel}};                            // 3: Yes/No/Cancel
    ASSERT_EQ(installPresenter(nullptr), nullptr);  // every test put the presenter back
    for (auto [style, answer] : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(messageBoxText("the text", "The Title", style), answer) << style;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "The Title: the text\n");
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(threeButtonMessageBox("x exists", "Warning", "&Overwrite", "&Append", "&Cancel"), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: x exists\n");
}

TEST(Messages, WorkersMayShowMessagesConcurrently) {
    test::RecordingPresenter recorder;
    std::vector<std::thread> workers;
    for (int t = 0; t < 8; ++t) {
        workers.emplace_back([] {
            for (int i = 0; i < 200; ++i) {
                messageBoxText("from a worker", "t", kMbYesNo);
                beep();
            }
        });
    }
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(recorder.count(), 8u * 200);
    EXPECT_EQ(recorder.beeps(), 8 * 200);
}

}  // namespace
}  // namespace zantric
