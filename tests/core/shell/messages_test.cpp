#include "core/shell/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/shell/string_table.h"
#include "support/recorder_presenter.h"

namespace zantric {
namespace {

TEST(StringTable, UnknownIdsAreEmpty) {
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

// The three-button question answers 0, 1 or 2; anything else (a box closed otherwise) is the third.
TEST(Messages, ThreeButtonAnswers) {
    test::RecordingPresenter recorder;
    recorder.script({0, 1, 2, 7});
    for (int expected : {0, 1, 2, 2})
        EXPECT_EQ(threeButtonMessageBox("x exists", "Warning", "a", "b", "c"), expected);
}

TEST(Messages, WorkersMayShowMessagesConcurrently) {
    test::RecordingPresenter recorder;
    std::vector<std::thread> workers;
    workers.reserve(8);
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
