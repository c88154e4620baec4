#include "core/shell/progress_work.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/shell/zantric_exception.h"
#include "support/recorder_presenter.h"

namespace zantric {
namespace {

class CountingWork : public ProgressWork {
public:
    void work() override {
        while (!poll()) {
            ++steps;
            std::this_thread::yield();
        }
    }
    std::atomic<long> steps{0};
};

class ThrowingWork : public ProgressWork {
public:
    void work() override { throw ZantricException("Unable to create Dictionary: x.lex"); }
};

TEST(ProgressWork, PauseHoldsTheWorkAndCancelEndsIt) {
    CountingWork work;
    WorkerThread thread;
    thread.start(work);
    while (work.steps.load() == 0) std::this_thread::yield();
    work.pause();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const long held = work.steps.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_LE(work.steps.load(), held + 1);  // at most the step under way when it paused
    work.cancelWork();
    work.resume();
    thread.join();
    EXPECT_TRUE(thread.finished());
    EXPECT_EQ(work.result(), 0);
}

TEST(ProgressWork, AnExceptionIsReportedAndFails) {
    test::RecordingPresenter messages;
    ThrowingWork work;
    EXPECT_EQ(runWork(work), 0);
    ASSERT_EQ(messages.count(), 1u);
    EXPECT_EQ(messages.last().text, "Unable to create Dictionary: x.lex");
    EXPECT_EQ(messages.last().title, "Zantric Exception");
}

}  // namespace
}  // namespace zantric
