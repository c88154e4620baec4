// The checks of the search fields: what FIND becomes or why it is refused, the order of Start's
// checks, INCLUDE against EXCLUDE at each keystroke, and checks entered again while a box is open.
#include "core/search/search_request.h"

#include <functional>
#include <optional>

#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "search_fixture.h"

namespace zantric {
namespace {

using test::fields;
using test::RecordingPresenter;
using Box = std::tuple<std::string, std::string, int, bool, int>;

// No box when textId is 0; else one input error: a beep, then the text, titled "Input Error",
// stop icon, no owner.
void expectInputError(const test::RecorderPresenter& shown, int textId) {
    ASSERT_EQ(shown.count(), textId == 0 ? 0u : 1u);
    if (textId == 0) return;
    const auto& box = shown.last();
    EXPECT_EQ(Box(box.text, box.title, box.style, box.hasOwner, box.beepsBefore),
              Box(loadString(textId), "Input Error", kMbOkStop, false, 1));
}

TEST(SearchRequestTest, SetFindNormalisesAndRefusesPatterns) {
    constexpr int kLong = kStrFindTooLong, kWord = kStrFindWordTooLong;
    const struct {
        const char* text;
        const char* find;  // the pattern afterwards: "old" when refused
        int message;
    } cases[] = {
        // clang-format off
        {" c3t  5 ", "c???t ?????", 0}, {"    ", "", 0}, {"cat !   ", "cat !", 0},
        {"a 0 b", "a  b", 0},  // the empty digit run keeps both space runs
        {"*********abcdefghi*", "*********abcdefghi*", 0},
        {"9 9 9 9*", "????????? ????????? ????????? ?????????*", 0},  // exactly 40
        {"9 9 9 9**", "old", kLong}, {"99999999999999999999999", "old", kLong},
        {"9                              9 9 9", "????????? ????????? ????????? ?????????", 0},
        {"40", "old", kWord},  // forty '?' fit, but make one word
        {"ab18", "ab??????????????????", 0}, {"ab19", "old", kWord},
        {"abcdefghijklmnopqrstu", "old", kWord}, {"cat abcdefghijklmnopqrstu", "old", kWord},
        {"*abcdefghij*klmnopqrst*", "*abcdefghij*klmnopqrst*", 0},
        {"ab!cdefghijklmnopqrst", "old", kWord},  // checked before the '!' cut
        {"abcdefghijklmnopqrst 19", "abcdefghijklmnopqrst ???????????????????", 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingPresenter recorder;
        SearchRequest request;
        ASSERT_TRUE(request.setFind("old"));
        EXPECT_EQ(request.setFind(c.text), c.message == 0);
        EXPECT_EQ(request.find(), c.find);
        expectInputError(recorder, c.message);
    }
    // Text after a '!' is dropped only when the user agrees to the warning (no beep).
    for (auto [answer, find] : {std::pair{kIdOk, "cat !"}, std::pair{kIdCancel, "old"}}) {
        RecordingPresenter recorder;
        recorder.script({answer});
        SearchRequest request;
        ASSERT_TRUE(request.setFind("old"));
        EXPECT_EQ(request.setFind("Cat ! dog"), answer == kIdOk);
        EXPECT_EQ(request.find(), find);
        ASSERT_EQ(recorder.count(), 1u);
        const auto& box = recorder.last();
        EXPECT_EQ(Box(box.text, box.title, box.style, box.hasOwner, box.beepsBefore),
                  Box(loadString(kStrTextAfterBang), "Invalid Pattern Warning", kMbOkCancelQuestion,
                      box.hasOwner, 0));
    }
}

TEST(SearchRequestTest, MultiWordAndTheCaseOfFrom) {
    const std::pair<const char*, bool> cases[] = {
        {"   ", false},        {"  cat", false}, {"cat   ", false}, {"c3t", false},
        {"  cat dog  ", true}, {"cat!", true},   {"a 0 b", true},   {"* *", true},
    };
    for (auto [text, multi] : cases) EXPECT_EQ(isMultiWord(text), multi) << text;
    // FROM keeps its case only for a single word without "use all".
    for (int i = 0; i < 4; ++i) {
        SearchRequest request;
        request.setMultiWord((i & 1) != 0);
        request.setUseAllFromLetters((i & 2) != 0);
        EXPECT_TRUE(request.setFrom(" Ab? "));
        EXPECT_EQ(request.from(), i == 0 ? " Ab? " : " ab? ") << i;
    }
}

TEST(SearchRequestTest, StartChecksInOrderAndStopsAtTheFirstFailure) {
    const struct {
        SearchFields fields;
        int message;  // 0 when the request is accepted
    } cases[] = {
        {fields("c?t", ""), 0},
        {fields("41", "x", true, false, "a", "a"), kStrFindTooLong},  // before the conflict
        {fields("abcdefghijklmnopqrstu", ""), kStrFindWordTooLong},
        {fields("", "", true, false, "ab", "XB"), kStrIncludeAndExclude},  // before the empty FIND
        {fields("*", "", true, false, "-", "-"), kStrIncludeAndExclude},
        {fields("   ", "abc"), kStrFindEmpty},
        {fields("cat dog", ""), kStrMultiWordWithoutFrom},
        {fields("cat!", "", false), kStrMultiWordWithoutFrom},
        {fields("cat dog", " 1$ "), kStrMultiWordWithoutFrom},  // no letter in FROM
        {fields("cat!", "   ", false), kStrMultiWordWithoutFrom},
        {fields("cat", "ca"), kStrFindLetterNotInFrom},
        {fields("tat", "tta"), 0},
        {fields("tat", "tab"), kStrFindLetterNotInFrom},  // each letter once
        {fields("cat", "c?t"), 0},
        {fields("aaa", "AB", false), 0},                 // capitals never run out...
        {fields("aaa", "AB"), kStrFindLetterNotInFrom},  // ...unless all letters are to be used
        {fields("???", "a b"), 0},                       // spaces count as length
        {fields("???", "ab"), kStrFindLongerThanFrom},
        {fields("????", "A", false), 0},
        {fields("?? ??", "A", false), kStrFindLongerThanFrom},  // a phrase ignores capitals
        {fields("cat !", "cat"), 0},
        {fields("cat ?\?!", "cat"), kStrFindLongerThanFrom},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields.find + " from " + c.fields.from);
        RecordingPresenter recorder;
        SearchRequest request;
        EXPECT_EQ(request.build(c.fields), c.message == 0);
        expectInputError(recorder, c.message);
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
    expectInputError(recorder, kStrIncludeAndExclude);
    EXPECT_FALSE(request.setInclude("ea"));  // still conflicting
    EXPECT_TRUE(request.setExclude("x"));
}

// A presenter whose first message box, while open, runs `inner` (the window calling the same
// check again from a focus change or keystroke): the inner check succeeds silently.
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
    request.setInclude("a");
    const std::pair<std::function<bool()>, std::function<bool()>> cases[] = {
        {[&] { return request.setFind("21"); },
         [&] { return request.setFind("abcdefghijklmnopqrstu"); }},
        {[&] { return request.setExclude("a"); }, [&] { return request.setExclude("ab"); }},
    };
    for (const auto& [outer, inner] : cases) {
        ReenteringPresenter presenter;
        test::ScopedPresenter scope(presenter);
        presenter.inner = inner;
        EXPECT_FALSE(outer());
        EXPECT_EQ(presenter.innerResult, true);
        EXPECT_EQ(presenter.count(), 1u);
    }
}

}  // namespace
}  // namespace zantric
