#include "core/shell/progress_work.h"

#include <gtest/gtest.h>

#include "core/shell/zantric_exception.h"
#include "support/recorder_presenter.h"

namespace zantric {
namespace {

class ThrowingWork : public ProgressWork {
public:
    using ProgressWork::ProgressWork;
    void work() override { throw ZantricException("Unable to create Dictionary: x.lex"); }
};

TEST(ProgressWork, AnExceptionIsReportedAndFails) {
    test::RecorderPresenter messages;
    ThrowingWork work(messages);
    EXPECT_EQ(runWork(work), WorkResult::kFailed);
    ASSERT_EQ(messages.count(), 1u);
    EXPECT_EQ(messages.last().text, "Unable to create Dictionary: x.lex");
    EXPECT_EQ(messages.last().title, "Zantric Exception");
}

}  // namespace
}  // namespace zantric
