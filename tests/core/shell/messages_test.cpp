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
    const std::pair<Buttons, Answer> cases[] = {{Buttons::kOk, Answer::kOk},
                                                {Buttons::kYesNo, Answer::kNo},
                                                {Buttons::kYesNoDefaultNo, Answer::kNo},
                                                {Buttons::kOkCancel, Answer::kCancel}};
    ASSERT_EQ(installPresenter(nullptr), nullptr);  // every test put the presenter back
    for (auto [buttons, answer] : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(presenter().ask({"the text", "The Title", MessageKind::kWarning, buttons}),
                  answer);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "The Title: the text\n");
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(presenter().choose({"x exists", "Warning"}, {"&Overwrite", "&Append", "&Cancel"}), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: x exists\n");
}

TEST(Messages, WorkersMayShowMessagesConcurrently) {
    test::RecorderPresenter recorder;
    std::vector<std::thread> workers;
    workers.reserve(8);
    for (int t = 0; t < 8; ++t) {
        workers.emplace_back([&recorder] {
            for (int i = 0; i < 200; ++i) {
                recorder.ask(
                    Message{"from a worker", "t", MessageKind::kPlain, Buttons::kYesNo}.beeping());
            }
        });
    }
    for (std::thread& worker : workers) worker.join();
    EXPECT_EQ(recorder.count(), 8u * 200);
    EXPECT_EQ(recorder.beeps(), 8 * 200);
    EXPECT_EQ(recorder.last().beepsBefore, recorder.beeps());  // the tone comes before the box
}

}  // namespace
}  // namespace zantric
