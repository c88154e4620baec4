#include "core/shell/messages.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/shell/string_table.h"
#include "support/recorder_presenter.h"

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

}  // namespace
}  // namespace zantric
