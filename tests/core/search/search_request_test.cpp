#include "core/search/search_request.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "support/recorder_presenter.h"

namespace zantric {
namespace {

using test::RecordedMessage;
using test::RecordingPresenter;

const std::string kInputError = "Input Error";
const std::string kFindTooLong =
    "Your FIND field exceeded the maximum permitted length of 40 characters.\n\nPlease Amend Your "
    "Entry";
const std::string kWordTooLong =
    "Your FIND field contained a pattern for a word exceeding the maximum length supported.";
const std::string kAfterBang =
    "Zantric will ignore any part of the FIND pattern defined after the ! wildcard. If you select "
    "OK Zantric will continue its search but will ignore these characters.\n\nSelect CANCEL to "
    "edit your FIND field.";
const std::string kConflict =
    "You cannot Include and Exclude the same letter(s).\n\nPlease alter your entry.";
const std::string kFindEmpty = "You have not supplied a FIND pattern.\n\nPlease Amend Your Entry.";
const std::string kNoFrom = "Multiple Word Searches must contain an entry in the FROM field.";
const std::string kNotInFrom =
    "Your FIND includes letters not found in your FROM field.\n\nThere can be no matches for this "
    "search definition.";
const std::string kLongerThanFrom =
    "Your FIND length exceeds that of the FROM field.\n\nThere can be no matches for this search "
    "definition.";

// An input error: a beep, then the text titled "Input Error", stop icon, no owner.
void expectInputError(const RecordedMessage& m, const std::string& text) {
    EXPECT_EQ(m.text, text);
    EXPECT_EQ(m.title, kInputError);
    EXPECT_EQ(m.style, kMbOkStop);
    EXPECT_FALSE(m.hasOwner);
    EXPECT_EQ(m.beepsBefore, 1);
}

struct FindCase {
    const char* text;
    bool ok;
    const char* find;     // the pattern after a success
    const char* message;  // "" when no box is shown
};

TEST(SearchRequestTest, SetFindNormalisesAndRefusesPatterns) {
    const FindCase cases[] = {
        {" c3t  5 ", true, "c???t ?????", ""},
        {"CaT", true, "cat", ""},
        {"", true, "", ""},
        {"    ", true, "", ""},
        {"9", true, "?????????", ""},
        {"a 0 b", true, "a  b", ""},  // the empty digit run keeps both space runs
        {"007", true, "???????", ""},
        {"cat!", true, "cat!", ""},
        {"cat !   ", true, "cat !", ""},
        {"*********abcdefghi*", true, "*********abcdefghi*", ""},
        {"9 9 9 9*", true, "????????? ????????? ????????? ?????????*", ""},  // exactly 40
        {"9 9 9 9**", false, "", kFindTooLong.c_str()},
        {"9                              9 9 9", true,  // a space run counts once
         "????????? ????????? ????????? ?????????", ""},
        {"41", false, "", kFindTooLong.c_str()},
        {"99999999999999999999999", false, "", kFindTooLong.c_str()},
        {"40", false, "", kWordTooLong.c_str()},  // forty '?' fit, but make one word
        {"ab18", true, "ab??????????????????", ""},
        {"ab19", false, "", kWordTooLong.c_str()},
        {"abcdefghijklmnopqrst", true, "abcdefghijklmnopqrst", ""},
        {"abcdefghijklmnopqrstu", false, "", kWordTooLong.c_str()},
        {"*abcdefghij*klmnopqrst*", true, "*abcdefghij*klmnopqrst*", ""},
        {"ab!cdefghijklmnopqrst", false, "", kWordTooLong.c_str()},  // checked before the '!' cut
        {"cat abcdefghijklmnopqrstu", false, "", kWordTooLong.c_str()},
        {"abcdefghijklmnopqrst 19", true, "abcdefghijklmnopqrst ???????????????????", ""},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingPresenter recorder;
        SearchRequest request;
        ASSERT_TRUE(request.setFind("old"));
        EXPECT_EQ(request.setFind(c.text), c.ok);
        EXPECT_EQ(request.find(), c.ok ? std::string(c.find) : std::string("old"));
        if (*c.message == '\0') {
            EXPECT_EQ(recorder.count(), 0u);
        } else {
            ASSERT_EQ(recorder.count(), 1u);
            expectInputError(recorder.last(), c.message);
        }
    }
}

TEST(SearchRequestTest, TextAfterBangIsDroppedOnlyWhenTheUserAgrees) {
    struct Case {
        int answer;
        bool ok;
        const char* find;
    };
    for (Case c : {Case{kIdOk, true, "cat !"}, Case{kIdCancel, false, "old"}}) {
        RecordingPresenter recorder;
        recorder.script({c.answer});
        SearchRequest request;
        ASSERT_TRUE(request.setFind("old"));
        EXPECT_EQ(request.setFind("Cat ! dog"), c.ok);
        EXPECT_EQ(request.find(), c.find);
        ASSERT_EQ(recorder.count(), 1u);
        RecordedMessage m = recorder.last();
        EXPECT_EQ(m.text, kAfterBang);
        EXPECT_EQ(m.title, "Invalid Pattern Warning");
        EXPECT_EQ(m.style, kMbOkCancelQuestion);
        EXPECT_FALSE(m.hasOwner);
        EXPECT_EQ(m.beepsBefore, 0);  // a warning, not an input error
    }
}

TEST(SearchRequestTest, IsMultiWordLooksAtTheRawText) {
    const std::pair<const char*, bool> cases[] = {
        {"", false},       {"   ", false}, {"cat", false},    {"  cat", false},
        {"cat   ", false}, {"c3t", false}, {"cat dog", true}, {"  cat dog  ", true},
        {"cat!", true},    {"!", true},    {"a 0 b", true},   {"* *", true},
    };
    for (auto [text, multi] : cases) EXPECT_EQ(isMultiWord(text), multi) << text;
}

TEST(SearchRequestTest, FromKeepsItsCaseOnlyForSingleWordWithoutUseAll) {
    struct Case {
        bool multiWord;
        bool useAll;
        const char* from;
    };
    for (Case c : {Case{false, false, " Ab? "}, Case{false, true, " ab? "},
                   Case{true, false, " ab? "}, Case{true, true, " ab? "}}) {
        SearchRequest request;
        request.setMultiWord(c.multiWord);
        request.setUseAllFromLetters(c.useAll);
        EXPECT_TRUE(request.setFrom(" Ab? "));
        EXPECT_EQ(request.from(), c.from);
    }
}

struct StartCase {
    const char* name;
    SearchFields fields;
    const char* message;  // "" when the request is accepted
};

TEST(SearchRequestTest, StartChecksInOrderAndStopsAtTheFirstFailure) {
    const StartCase cases[] = {
        {"plain word", {"c?t", "", "", "", true, false}, ""},
        {"too long before conflict", {"41", "x", "a", "a", true, false}, kFindTooLong.c_str()},
        {"word too long", {"abcdefghijklmnopqrstu", "", "", "", true, false}, kWordTooLong.c_str()},
        {"conflict before empty find", {"", "", "ab", "XB", true, false}, kConflict.c_str()},
        {"hyphen conflict", {"*", "", "-", "-", true, false}, kConflict.c_str()},
        {"spaces only", {"   ", "abc", "", "", true, false}, kFindEmpty.c_str()},
        {"phrase without from", {"cat dog", "", "", "", true, false}, kNoFrom.c_str()},
        {"bang without from", {"cat!", "", "", "", false, false}, kNoFrom.c_str()},
        {"phrase with no letter in from",
         {"cat dog", " 1$ ", "", "", true, false},
         kNoFrom.c_str()},
        {"bang with spaces for from", {"cat!", "   ", "", "", false, false}, kNoFrom.c_str()},
        {"letter missing", {"cat", "ca", "", "", true, false}, kNotInFrom.c_str()},
        {"each letter once", {"tat", "tta", "", "", true, false}, ""},
        {"letter used up", {"tat", "tab", "", "", true, false}, kNotInFrom.c_str()},
        {"blank supplies letter", {"cat", "c?t", "", "", true, false}, ""},
        {"upper case unlimited", {"aaa", "AB", "", "", false, false}, ""},
        {"upper case lowered by use all", {"aaa", "AB", "", "", true, false}, kNotInFrom.c_str()},
        {"spaces count as length", {"???", "a b", "", "", true, false}, ""},
        {"longer than from", {"???", "ab", "", "", true, false}, kLongerThanFrom.c_str()},
        {"upper case lifts length", {"????", "A", "", "", false, false}, ""},
        {"phrase ignores upper case",
         {"?? ??", "A", "", "", false, false},
         kLongerThanFrom.c_str()},
        {"bang not counted", {"cat !", "cat", "", "", true, false}, ""},
        {"letters before bang count",
         {"cat ?\?!", "cat", "", "", true, false},
         kLongerThanFrom.c_str()},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPresenter recorder;
        SearchRequest request;
        bool expectOk = *c.message == '\0';
        EXPECT_EQ(request.build(c.fields), expectOk);
        if (expectOk) {
            EXPECT_EQ(recorder.count(), 0u);
        } else {
            ASSERT_EQ(recorder.count(), 1u);
            expectInputError(recorder.last(), c.message);
        }
    }
}

TEST(SearchRequestTest, IncludeAndExcludeAreCheckedAtEachKeystroke) {
    RecordingPresenter recorder;
    SearchRequest request;
    EXPECT_TRUE(request.setInclude("E"));
    EXPECT_EQ(request.include(), "e");
    EXPECT_TRUE(request.setExclude("x"));
    EXPECT_FALSE(request.setExclude("xE"));  // the 'e' typed into EXCLUDE
    EXPECT_EQ(request.exclude(), "xe");      // stored even though refused
    ASSERT_EQ(recorder.count(), 1u);
    expectInputError(recorder.last(), kConflict);
    EXPECT_FALSE(request.setInclude("ea"));  // still conflicting
    EXPECT_TRUE(request.setExclude("x"));
}

TEST(SearchRequestTest, PrepareHoldsFindLettersInReserve) {
    RecordingPresenter recorder;
    SearchRequest request;
    ASSERT_TRUE(request.build({"c?t *", "cattle", "", "", true, false}));
    const LetterPool& work = request.workLetters();
    EXPECT_EQ(work.total(), 4);  // 6 letters, c and t reserved
    EXPECT_EQ(work.available('c' - 'a'), 0);
    EXPECT_EQ(work.available('t' - 'a'), 1);
    EXPECT_EQ(work.available('a' - 'a'), 1);
    EXPECT_EQ(work.reserved('c' - 'a'), 1);
    EXPECT_EQ(work.reserved('t' - 'a'), 1);
    EXPECT_EQ(request.fromLetters().total(), 6);
    EXPECT_EQ(request.fromLetters().reserved('c' - 'a'), 0);
    EXPECT_TRUE(request.hasFromLetters());

    ASSERT_TRUE(request.build({"*", "  ", "", "", true, false}));
    EXPECT_FALSE(request.hasFromLetters());  // spaces are not letters
    EXPECT_EQ(request.workLetters().reserved('c' - 'a'), 0);
}

TEST(SearchRequestTest, AnalysisIsNeededOnlyForNewFromLetters) {
    RecordingPresenter recorder;
    SearchRequest request;
    EXPECT_EQ(request.readBufferSize(), 5120u);

    ASSERT_TRUE(request.build({"* *", "catdog", "", "", true, false}));
    EXPECT_TRUE(request.multiWord());
    EXPECT_TRUE(request.analysisNeeded());
    EXPECT_EQ(request.readBufferSize(), 2048u);

    ASSERT_TRUE(request.build({"* !", "dogcat", "", "", true, false}));  // same multiset
    EXPECT_FALSE(request.analysisNeeded());

    request.clearAnalysedLetters();
    ASSERT_TRUE(request.build({"* !", "dogcat", "", "", true, false}));
    EXPECT_TRUE(request.analysisNeeded());

    // Set before the letter check fails, and the buffer size is never set back.
    EXPECT_FALSE(request.build({"x *", "dogcats", "", "", true, false}));
    EXPECT_TRUE(request.analysisNeeded());
    ASSERT_TRUE(request.build({"cat", "", "", "", true, false}));
    EXPECT_FALSE(request.multiWord());
    EXPECT_EQ(request.readBufferSize(), 2048u);
}

// A presenter whose first message box, while open, runs `inner` (the window calling the same
// check again from a focus change or keystroke).
class ReenteringPresenter : public test::RecorderPresenter {
public:
    std::function<bool()> inner;
    std::optional<bool> innerResult;

    int show(const std::string& text, const std::string& title, int style, bool hasOwner) override {
        if (!innerResult) innerResult = inner();
        return RecorderPresenter::show(text, title, style, hasOwner);
    }
};

TEST(SearchRequestTest, ChecksReenteredWhileTheirBoxIsOpenSucceedSilently) {
    SearchRequest request;
    ReenteringPresenter presenter;
    test::ScopedPresenter scope(presenter);

    presenter.inner = [&] { return request.setFind("abcdefghijklmnopqrstu"); };
    EXPECT_FALSE(request.setFind("21"));
    EXPECT_EQ(presenter.innerResult, true);
    EXPECT_EQ(presenter.count(), 1u);

    presenter.clear();
    presenter.innerResult.reset();
    presenter.inner = [&] { return request.setExclude("ab"); };
    request.setInclude("a");
    EXPECT_FALSE(request.setExclude("a"));
    EXPECT_EQ(presenter.innerResult, true);
    EXPECT_EQ(presenter.count(), 1u);
}

}  // namespace
}  // namespace zantric
