#include "core/shell/string_table.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace zantric {
namespace {

TEST(StringTable, BuiltInTexts) {
    struct Case {
        int id;
        std::string text;
    };
    const Case cases[] = {
        {17, "File Error."},
        {325, "Zantric Exception"},
        {320, "Unable to Open File: "},         // trailing space kept: the caller appends a name
        {407, " already contains the word '"},  // leading space kept
        {901, " "},
        {709,
         "If you delete these dictionaries you will permanently lose all access to the words "
         "they contain:\n"},
        {504, " already exists.\n Do you wish to overwrite it with a new dictionary."},
        {24335, "Connect to Zantric Web Site"},
        {2, "Exit Zantric"},
        // Ids the table does not hold.
        {0, ""},
        {-1, ""},
        {1, ""},
        {65535, ""},
        {99999, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(loadString(c.id), c.text) << "id " << c.id;
}

TEST(StringTable, LongestBuiltInTextFitsAndHoldsLineBreaks) {
    std::string text = loadString(801);
    EXPECT_LE(text.size(), kMaxStringLength);
    EXPECT_EQ(text.find("\\n"), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
}

TEST(StringTable, ParsesSourceText) {
    struct Case {
        const char* name;
        std::string source;
        std::vector<std::pair<int, std::string>> expected;
    };
    const Case cases[] = {
        {"plain", "5\tkStrFive\tfive\n3\t-\tthree\n", {{3, "three"}, {5, "five"}}},
        {"comments and blank lines", "# head\n\n7\t-\tseven\n#8\t-\tnot\n", {{7, "seven"}}},
        {"escapes", "1\t-\ta\\nb\\tc\\\\n\\x\n", {{1, "a\nb\tc\\n\\x"}}},
        {"trailing backslash stays", "1\t-\tend\\\n", {{1, "end\\"}}},
        {"spaces at both ends kept", "1\t-\t  two  \n", {{1, "  two  "}}},
        {"empty text", "1\t-\t\n", {{1, ""}}},
        {"CR LF lines", "1\t-\tone\r\n2\t-\ttwo\r\n", {{1, "one"}, {2, "two"}}},
        {"no final line feed", "1\t-\tone", {{1, "one"}}},
        {"first of a repeated id wins", "4\t-\tfirst\n4\t-\tsecond\n", {{4, "first"}}},
        {"malformed lines skipped",
         "x\t-\tno id\n12 - space not tab\n13\n\t-\tno id\n99999999999\t-\ttoo big\n"
         "15\tno name column\n14\t-\tok\n",
         {{14, "ok"}}},
        {"tab inside the text", "1\t-\ta\tb\n", {{1, "a\tb"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(parseStringTable(c.source), c.expected) << c.name;
}

TEST(StringTable, CutsTextsAt255Characters) {
    std::string longText(300, 'x');
    auto table = parseStringTable("1\t-\t" + longText + "\n2\t-\t" + std::string(255, 'y') + "\n");
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].second, std::string(255, 'x'));
    EXPECT_EQ(table[1].second, std::string(255, 'y'));
    // An escape counts as the one character it stands for.
    std::string escaped;
    for (int i = 0; i < 200; ++i) escaped += "\\n";
    EXPECT_EQ(parseStringTable("1\t-\t" + escaped)[0].second, std::string(200, '\n'));
}

TEST(StringTable, LoadsFromManyThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::vector<std::string> seen(8);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        threads.emplace_back([&seen, i] { seen[i] = loadString(17); });
    }
    for (std::thread& t : threads) t.join();
    for (const std::string& text : seen) EXPECT_EQ(text, "File Error.");
}

}  // namespace
}  // namespace zantric
