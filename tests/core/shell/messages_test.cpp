#include "core/shell/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "support/recorder_presenter.h"

namespace zantric {
namespace {

using test::RecordingPresenter;

TEST(Messages, DefaultPresenterWritesToStderrAndTakesTheDefaultAnswer) {
    const std::pair<int, int> cases[] = {
        {kMbOk, kIdOk},
        {kMbOkStop, kIdOk},
        {kMbOkExclamation, kIdOk},
        {kMbYesNo, kIdNo},
        {kMbYesNo | 0x20, kIdNo},
        {kMbOkCancelQuestion, kIdCancel},
        {3, kIdCancel} /* Yes/No/Cancel */,
    };
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
    RecordingPresenter recorder;
    constexpr int kThreads = 8;
    constexpr int kEach = 200;
    std::vector<std::thread> workers;
    workers.reserve(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        workers.emplace_back([] {
            for (int i = 0; i < kEach; ++i) {
                messageBoxText("from a worker", "t", kMbYesNo);
                beep();
            }
        });
    }
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(recorder.count(), std::size_t{kThreads * kEach});
    EXPECT_EQ(recorder.beeps(), kThreads * kEach);
}

}  // namespace
}  // namespace zantric
