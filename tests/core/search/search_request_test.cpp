// The search fields: what FIND becomes or why it is refused, the order of Start's checks, INCLUDE
// against EXCLUDE at each keystroke, checks entered again while a box is open; one word against a
// pattern and the filters, the stoplist, the letters a match leaves over, the fields' histories.
#include "core/search/search_request.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "core/search/field_history.h"
#include "core/search/match_explanation.h"
#include "core/search/stoplist.h"
#include "core/shell/paths.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "support/dictionary_files.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

using test::RecorderPresenter;
using SearchRequestTest = test::ProgramFolderTest;
using Box = std::tuple<std::string, std::string, int, int>;

// No box when textId is 0; else one input error: a beep, then the text (with `named` for its %s),
// titled "Input Error", stop icon, no owner; or the warning of text after a '!', without a beep.
void expectInputError(const test::RecorderPresenter& shown, int textId,
                      const char* named = nullptr) {
    ASSERT_EQ(shown.count(), textId == 0 ? 0u : 1u);
    if (textId == 0) return;
    const auto& box = shown.last();
    const bool bang = textId == kStrTextAfterBang;
    std::string text = loadString(textId);
    if (named) text.replace(text.find("%s"), 2, named);
    EXPECT_EQ(Box(box.text, box.title, box.style, box.beepsBefore),
              Box(text, bang ? "Invalid Pattern Warning" : "Input Error",
                  bang ? test::kMbOkCancelQuestion : test::kMbOkStop, bang ? 0 : 1));
}

TEST_F(SearchRequestTest, SetFindNormalisesAndRefusesPatterns) {
    constexpr int kLong = kStrFindTooLong, kWord = kStrFindWordTooLong,
                  kUnknown = kStrFindUnknownCharacter;
    const struct {
        const char *text, *find;  // the pattern afterwards: "old" when refused
        int message, answer = 0;
        const char* named = nullptr;  // the character a refusal names
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
        // Text after a '!' is dropped only when the user agrees.
        {"Cat ! dog", "cat !", kStrTextAfterBang, test::kIdOk}, {"Cat ! dog", "old", kStrTextAfterBang, test::kIdCancel},
        // A character that no pattern knows is named, before the length checks and up to the '!'.
        {"c.t", "old", kUnknown, 0, "'.'"}, {"c#t 99", "old", kUnknown, 0, "'#'"},
        {"co-op", "old", kUnknown, 0, "'-'"}, {"c/t", "old", kUnknown, 0, "'/'"},
        {"e\tu", "old", kUnknown, 0, "U+0009"}, {"caf\xc3\xa9", "old", kUnknown, 0, "'\xc3\xa9' (U+00E9)"},
        {"a\xc2\xa0" "b", "old", kUnknown, 0, "'\xc2\xa0' (U+00A0)"}, {"\xf0\x9f\x98\x80", "old", kUnknown, 0, "'\xf0\x9f\x98\x80' (U+1F600)"},
        {"\xff\xfe", "old", kUnknown, 0, "the byte 0xFF"}, {"caf\xc3", "old", kUnknown, 0, "the byte 0xC3"},
        {"\xe0\xa4\x85", "old", kUnknown, 0, "'\xe0\xa4\x85' (U+0905)"}, {"\xe0\x80\xaf", "old", kUnknown, 0, "the byte 0xE0"},  // '/' in a longer form than it needs
        {"cat ! c.t", "cat !", kStrTextAfterBang, test::kIdOk},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RecorderPresenter recorder;
        if (c.answer != 0) recorder.script({c.answer});
        SearchRequest request{{settings(), catalogue(), recorder}};
        ASSERT_TRUE(request.setFind("old"));
        EXPECT_EQ(request.setFind(c.text), std::string(c.find) != "old");
        EXPECT_EQ(request.find(), c.find);
        expectInputError(recorder, c.message, c.named);
    }
}

TEST_F(SearchRequestTest, MultiWordAndTheCaseOfFrom) {
    const std::pair<const char*, bool> cases[] = {
        {"   ", false},        {"  cat", false}, {"cat   ", false}, {"c3t", false},
        {"  cat dog  ", true}, {"cat!", true},   {"a 0 b", true},   {"* *", true},
    };
    for (auto [text, multi] : cases) EXPECT_EQ(isMultiWord(text), multi) << text;
    // FROM keeps its case only for a single word without "use all".
    for (int i = 0; i < 4; ++i) {
        SearchRequest request{workspace()};
        request.setMultiWord((i & 1) != 0);
        request.setUseAllFromLetters((i & 2) != 0);
        EXPECT_TRUE(request.setFrom(" Ab? "));
        EXPECT_EQ(request.from(), i == 0 ? " Ab? " : " ab? ") << i;
    }
}

TEST_F(SearchRequestTest, StartChecksInOrderAndStopsAtTheFirstFailure) {
    const int kMulti = kStrMultiWordWithoutFrom, kNotIn = kStrFindLetterNotInFrom,
              kLonger = kStrFindLongerThanFrom;
    const struct {
        const char *find, *from;
        int message;  // 0 when the request is accepted
        const char *include = "", *exclude = "";
        bool useAll = true;
    } cases[] = {
        // clang-format off
        {"c?t", "", 0}, {"abcdefghijklmnopqrstu", "", kStrFindWordTooLong},
        {"41", "x", kStrFindTooLong, "a", "a"},  // before the conflict
        {"", "", kStrIncludeAndExclude, "ab", "XB"},  // before the empty FIND
        {"*", "", kStrIncludeAndExclude, "-", "-"}, {"   ", "abc", kStrFindEmpty},
        {"cat dog", "", kMulti}, {"cat!", "", kMulti, "", "", false},
        {"cat dog", " 1$ ", kMulti}, {"cat!", "   ", kMulti, "", "", false},  // no FROM letter
        {"cat", "ca", kNotIn}, {"tat", "tta", 0}, {"cat", "c?t", 0},
        {"tat", "tab", kNotIn},  // each letter once
        // Capitals never run out, unless all letters are to be used; spaces count as length; a
        // phrase ignores capitals.
        {"aaa", "AB", 0, "", "", false}, {"aaa", "AB", kNotIn}, {"???", "a b", 0},
        {"???", "ab", kLonger}, {"????", "A", 0, "", "", false}, {"?? ??", "A", kLonger, "", "", false},
        {"cat !", "cat", 0}, {"cat ?\?!", "cat", kLonger},
        // clang-format on
    };
    for (const auto& c : cases) {
        RecorderPresenter recorder;
        SearchRequest request{{settings(), catalogue(), recorder}};
        EXPECT_EQ(request.build({c.find, c.from, c.include, c.exclude, c.useAll, false}),
                  c.message == 0)
            << c.find << " from " << c.from;
        expectInputError(recorder, c.message);
    }
}

TEST_F(SearchRequestTest, IncludeAndExcludeAreCheckedAtEachKeystroke) {
    RecorderPresenter recorder;
    SearchRequest request{{settings(), catalogue(), recorder}};
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

protected:
    Answer answer(const Message& message) override {
        if (!innerResult) innerResult = inner();
        return RecorderPresenter::answer(message);
    }
};

TEST_F(SearchRequestTest, ChecksReenteredWhileTheirBoxIsOpenSucceedSilently) {
    using Check = std::function<bool(SearchRequest&)>;
    const std::pair<Check, Check> cases[] = {
        {[](SearchRequest& r) { return r.setFind("21"); },
         [](SearchRequest& r) { return r.setFind("abcdefghijklmnopqrstu"); }},
        {[](SearchRequest& r) { return r.setExclude("a"); },
         [](SearchRequest& r) { return r.setExclude("ab"); }},
    };
    for (const auto& checks : cases) {
        const Check& outerCheck = checks.first;
        const Check& innerCheck = checks.second;
        ReenteringPresenter presenter;
        SearchRequest request{{settings(), catalogue(), presenter}};
        request.setInclude("a");
        const auto outer = [&] { return outerCheck(request); };
        presenter.inner = [&] { return innerCheck(request); };
        EXPECT_FALSE(outer());
        EXPECT_EQ(std::pair(presenter.innerResult, presenter.count()),
                  std::pair(std::optional(true), 1ul));
    }
}

using Texts = std::vector<std::string>;

// A stoplist is read as the make command reads a word list: a byte-order mark is skipped, CRT
// becomes the dictionary's Crt, a line that is no word is skipped whole, however long, and a word
// strikes every word that differs from it only in case.
TEST(WordMatchingTest, StoplistTakesItsWordsWithTheWordRules) {
    test::TempFolder folder;
    test::RecorderPresenter messages;
    test::TempFolder::write(
        "stop.txt",
        "\xEF\xBB\xBF"
        "CRT\r\n  Ln  \nwell-to-do\nabcdefghijklmnopqrstu\nco-op\ncrt\nCRT\n\nit's\n"
        "abcdefghijklmnopqrstuvwxyz\nzebra");
    const Texts words = {"Crt", "Ln", "co-op", "zebra"};
    EXPECT_EQ(readStoplistWords("stop.txt"), words);
    const Stoplist stoplist = Stoplist::read(messages, "stop.txt");
    for (const char* word : {"Crt", "crt", "CRT", "ln", "Co-op", "Zebra"})
        EXPECT_TRUE(stoplist.contains(word)) << word;
    for (const char* word : {"coop", "co-o", "", "zebras", "Zebr", "xyz"})
        EXPECT_FALSE(stoplist.contains(word)) << word;
    EXPECT_EQ(stoplistWord(" APPLE ") + "|" + stoplistWord("apple pie"), "Apple|");
    // Case does not change what is struck; missing or empty, it strikes nothing.
    EXPECT_EQ(Stoplist(Texts{"CRT", "LN", "Co-op", "ZEBRA", "zebra"}).fingerprint(),
              stoplist.fingerprint());
    EXPECT_NE(Stoplist(Texts{"Crt"}).fingerprint(), stoplist.fingerprint());
    EXPECT_EQ(Stoplist::read(messages, "missing.txt").fingerprint(), 0u);
    EXPECT_EQ(messages.count(), 0u);
}

// An edit changes only the lines of the words it adds or removes (of any case); the other lines,
// their line ends and a byte-order mark stay as they were, and added lines end as the file's do.
TEST(WordMatchingTest, StoplistEditChangesOnlyItsOwnLines) {
    test::TempFolder folder;
    test::RecorderPresenter messages;
    struct Case {
        const char* before;  // nullptr: no file
        Texts add, remove;
        std::string after;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF# mine\r\nTOWNS\r\n\r\nCRT  \r\nlast",
         {"god", "Towns", "God"},
         {"crt", "emu"},
         "\xEF\xBB\xBF# mine\r\nTOWNS\r\n\r\nlast\r\ngod\r\n"},
        {nullptr, {"Ln"}, {}, "Ln\n"},
        {"zebra\n# zebra\nZEBRA\nx", {}, {"zebra"}, "# zebra\nx"},
        {"a\nb\n", {}, {"B", "a"}, ""},
        {"a\n", {"a"}, {"b"}, "a\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove("edit.txt");
        if (c.before) test::TempFolder::write("edit.txt", c.before);
        StoplistEdit edit;
        edit.add = c.add;
        edit.remove = c.remove;
        EXPECT_EQ(editStoplistFile("edit.txt", edit), StoplistEditResult::kDone);
        EXPECT_EQ(test::TempFolder::read("edit.txt"), c.after) << (c.before ? c.before : "none");
    }
    StoplistEdit edit;
    edit.add = {"god", "Towns", "God"};
    edit.remove = {"crt", "emu"};
    test::TempFolder::write("edit.txt", cases[0].before);
    ASSERT_EQ(editStoplistFile("edit.txt", edit), StoplistEditResult::kDone);
    EXPECT_EQ(edit.added, Texts{"god"});
    EXPECT_EQ(edit.present, Texts{"Towns"});
    EXPECT_EQ(edit.removed, Texts{"crt"});
    EXPECT_EQ(edit.absent, Texts{"emu"});
    // A folder in its place cannot be read: that is said, nothing is struck, nothing edited.
    std::filesystem::create_directory("folder.txt");
    EXPECT_TRUE(Stoplist::read(messages, "folder.txt").empty());
    ASSERT_EQ(messages.count(), 1u);
    EXPECT_EQ(messages.last().text,
              "Unable to Open File: " + shownPath("folder.txt") + " (a folder, not a file)");
    EXPECT_EQ(editStoplistFile("folder.txt", edit), StoplistEditResult::kUnreadable);
}

// What a match left over, worked out by hand: each letter uses its own FROM copy before a blank.
TEST(WordMatchingTest, ExplainNamesTheLettersLeftAndWhatBlanksStoodFor) {
    // FIND, FROM, use all, the match, the letters left, what the blanks stood for
    const std::tuple<const char*, const char*, bool, const char*, const char*, const char*>
        cases[] = {
            // clang-format off
        {"*", "cattle", false, "cat", "elt", ""}, {"*", "ca?t?", false, "tact", "?", "t"},
        {"*", "tea?rs", false, "test", "ar", "t"}, {"*", "ab?", true, "cab", "", "c"},
        {"*", "??", false, "At", "", "at"},
        {"*", "TAc", false, "tat", "AcT", ""},  // letters typed in capitals never run out
        {"*", "TAc?", true, "tact", "", "t"},   // ... unless all letters are to be used
        {"!", "acat?", true, "a a cat", "", "a"}, {"* *", "catdog??", false, "cat dog", "??", ""},
        {"* *", "coopt", false, "Co-op t", "", ""},
            // clang-format on
        };
    for (const auto& [find, from, useAll, match, left, blanks] : cases) {
        const MatchExplanation explanation =
            explainMatch(match, searchedFromLetters(find, from, useAll));
        EXPECT_EQ(explanation.left + "|" + explanation.blanks, std::string(left) + "|" + blanks)
            << match << " from " << from;
    }
}

// Ten distinct texts, the most recent first; a start records the fields that are not empty.
TEST(WordMatchingTest, FieldHistories) {
    FieldHistory history;
    for (int i = 0; i < 11; ++i) EXPECT_TRUE(history.push(std::to_string(i)));  // 0 drops out
    EXPECT_TRUE(history.push("5"));  // an existing text moves to the top
    EXPECT_FALSE(history.push(""));
    EXPECT_EQ(history.entries(), (Texts{"5", "10", "9", "8", "7", "6", "4", "3", "2", "1"}));
    EXPECT_TRUE(history.push("CAT"));
    EXPECT_TRUE(history.push("cat"));  // case counts
    EXPECT_EQ(std::pair(history.indexOf("CAT"), history.indexOf("0")), std::pair(1, -1));
    SearchHistories histories;
    histories.find.push("*");
    histories.update({"c?t", "", "a", "", true, false});
    histories.update({"*", "tac", "", "", true, false});
    EXPECT_EQ(std::tuple(histories.find.entries(), histories.from.entries(),
                         histories.include.entries(), histories.exclude.size()),
              std::tuple(Texts{"*", "c?t"}, Texts{"tac"}, Texts{"a"}, 0u));
}

}  // namespace
}  // namespace zantric
