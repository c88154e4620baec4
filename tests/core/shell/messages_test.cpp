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
    struct Case {
        int style;
        int answer;
    };
    const Case cases[] = {
        {kMbOk, kIdOk},
        {kMbOkStop, kIdOk},
        {kMbOkExclamation, kIdOk},
        {kMbOkInformation, kIdOk},
        {kMbYesNo, kIdNo},
        {kMbOkCancelQuestion, kIdCancel},
        {kMbYesNo | 0x20, kIdNo},
        {3, kIdCancel} /* Yes/No/Cancel */,
    };
    ASSERT_EQ(installPresenter(nullptr), nullptr);  // no test left its presenter behind
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        int answer = messageBoxText("the text", "The Title", c.style);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "The Title: the text\n");
        EXPECT_EQ(answer, c.answer) << "style " << c.style;
        EXPECT_EQ(defaultAnswer(c.style), c.answer) << "style " << c.style;
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(threeButtonMessageBox("x exists", "Warning", "&Overwrite", "&Append", "&Cancel"), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: x exists\n");
}

TEST(Messages, RoutesEveryKindOfBoxToThePresenter) {
    RecordingPresenter recorder;
    int window = 0;
    messageBox(329, 17, kMbOkStop);
    messageBox(702, 703, kMbOkInformation, &window);
    messageBox(1, 65000, kMbOk);  // ids the table does not hold show empty texts
    messageBoxText("literal", "Title", kMbYesNo, &window);
    reportException("Unable to Open File: x.lex");
    beep();
    threeButtonMessageBox("q", "Warning", "&Overwrite", "&Append", "&Cancel");

    auto shown = recorder.messages();
    ASSERT_EQ(shown.size(), 6u);
    struct Expected {
        std::string text, title;
        int style;
        bool hasOwner;
    };
    const Expected expected[] = {
        {"Zantric was unable to delete this file: ", "File Error.", kMbOkStop, false},
        {"Total Words: ", "Information on: ", kMbOkInformation, true},
        {"", "", kMbOk, false},
        {"literal", "Title", kMbYesNo, true},
        {"Unable to Open File: x.lex", "Zantric Exception", kMbOk, false},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(shown[i].text, expected[i].text) << i;
        EXPECT_EQ(shown[i].title, expected[i].title) << i;
        EXPECT_EQ(shown[i].style, expected[i].style) << i;
        EXPECT_EQ(shown[i].hasOwner, expected[i].hasOwner) << i;
        EXPECT_FALSE(shown[i].threeButton) << i;
    }
    EXPECT_TRUE(shown[5].threeButton);
    EXPECT_EQ(shown[5].captions[1], "&Append");
    EXPECT_EQ(shown[5].beepsBefore, 1);
    EXPECT_EQ(recorder.beeps(), 1);
}

TEST(Messages, RecorderAnswersFromItsScriptThenByDefault) {
    RecordingPresenter recorder;
    recorder.script({kIdYes, 1, 7 /* out of range for three buttons */});
    EXPECT_EQ(messageBoxText("a", "b", kMbYesNo), kIdYes);
    EXPECT_EQ(threeButtonMessageBox("a", "b", "1", "2", "3"), 1);
    EXPECT_EQ(threeButtonMessageBox("a", "b", "1", "2", "3"), 2);  // any other close is button 3
    EXPECT_EQ(messageBoxText("a", "b", kMbYesNo), kIdNo);
    EXPECT_EQ(messageBoxText("a", "b", kMbOkCancelQuestion), kIdCancel);
    EXPECT_EQ(threeButtonMessageBox("a", "b", "1", "2", "3"), 2);
    EXPECT_EQ(recorder.unusedAnswers(), 0u);
}

TEST(Messages, InstallingNestsAndRestores) {
    test::RecorderPresenter outer;
    test::RecorderPresenter inner;
    {
        test::ScopedPresenter outerScope(outer);
        {
            test::ScopedPresenter innerScope(inner);
            EXPECT_EQ(&presenter(), &inner);
            messageBoxText("to inner", "t", kMbOk);
        }
        EXPECT_EQ(&presenter(), &outer);
        messageBoxText("to outer", "t", kMbOk);
    }
    EXPECT_EQ(inner.last().text, "to inner");
    EXPECT_EQ(outer.last().text, "to outer");
    EXPECT_EQ(installPresenter(nullptr), nullptr);  // back to the default
}

TEST(Messages, WorkersMayShowMessagesConcurrently) {
    RecordingPresenter recorder;
    constexpr int kThreads = 8;
    constexpr int kEach = 200;
    std::vector<std::thread> workers;
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
