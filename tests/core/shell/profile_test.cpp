#include "core/shell/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/shell/settings.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

const std::string kIni = "./zantric.ini";

TEST(Profile, ReadsStrings) {
    TempFolder folder;
    TempFolder::write("zantric.ini",
                      "; comment=line\norphan=before any section\n[PATHS]\nFILES=./files\n"
                      "  Spaced Key  =   spaced value   \nQuoted=\"  in quotes  \"\nSingle='x'\n"
                      "Unbalanced=\"x\nEmpty=\nNoEquals\nTwice=first\nTwice=second\nInner=a=b\n"
                      "[ Settings ]\nTab Size=6\n[paths]\nLater=only the first PATHS counts\n"
                      "[Broken\nk=v\n");
    // clang-format off
    const struct { const char *section, *key, *expected; } cases[] = {
        {"paths", "files", "./files"}, {"PATHS", "Spaced Key", "spaced value"},
        {"PATHS", "Quoted", "  in quotes  "}, {"PATHS", "Single", "x"}, {"PATHS", "Empty", ""},
        {"PATHS", "Unbalanced", "\"x"}, {"PATHS", "NoEquals", "-"}, {"PATHS", "Twice", "first"},
        {"PATHS", "Inner", "a=b"}, {"PATHS", "Tab Size", "-"}, {"PATHS", "Later", "-"},
        {"PATHS", "orphan", "-"}, {"PATHS", "; comment", "-"}, {"SETTINGS", "tab size", "6"},
        {"Broken", "k", "v"}, {"MISSING", "FILES", "-"}, {"", "", "-"}};
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(profileString(c.section, c.key, "-", kIni), c.expected) << c.section << c.key;
    }
    EXPECT_EQ(profileString("PATHS", "FILES", "-", "./missing.ini"), "-");
    EXPECT_EQ(profileString("PATHS", "FILES", "-", "./nofolder/zantric.ini"), "-");
    // Texts are cut to the 259 characters of the original buffer, defaults too.
    TempFolder::write("zantric.ini", "[S]\nlong=" + std::string(1000, 'v') + "\n");
    EXPECT_EQ(profileString("S", "long", "", kIni), std::string(259, 'v'));
    EXPECT_EQ(profileString("S", "missing", std::string(300, 'd'), kIni), std::string(259, 'd'));
}

TEST(Profile, ReadsIntegers) {
    // nullptr: no key at all; a number beyond an int is its nearest end, never a wrapped one.
    // clang-format off
    const std::pair<const char*, int> cases[] = {{"6", 6}, {"-11", -11}, {"+7", 7}, {"  42  ", 42},
        {"12px", 12}, {"abc", 0}, {"-", 0}, {"0x10", 0}, {"", 99}, {nullptr, 99},
        {"2147483647", 2147483647}, {"4294967295", 2147483647}, {"4294967297", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"-99999999999999999999999", -2147483647 - 1}};
    // clang-format on
    TempFolder folder;
    for (auto [value, expected] : cases) {
        TempFolder::write("zantric.ini", value ? std::string("[FONT]\nHeight=") + value : "[FONT]");
        EXPECT_EQ(profileInt("FONT", "Height", 99, kIni), expected) << (value ? value : "no key");
    }
    EXPECT_EQ(profileInt("FONT", "Height", -13, "./missing.ini"), -13);
}

TEST(Profile, DamagedFilesReadWithoutHarm) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 131 + 7) % 256);
    const std::pair<std::string, const char*> cases[] = {
        {junk, "-"},
        {std::string("[PATHS]\nFILES=./fi\0les\n", 22), "./fi"},  // NUL inside the value
        {std::string("[PA\0THS]\nFILES=x\n", 17), "-"},
        {"[PATHS]\n" + std::string(200000, '=') + "\nFILES=after a long line\n",
         "after a long line"},
        {"[PATHS]\r\nFILES=crlf\r\n", "crlf"},
        {"\xEF\xBB\xBF[PATHS]\nFILES=after a byte-order mark", "after a byte-order mark"},
        {std::string(100000, '['), "-"},
        {"[[[]]]\n=\n==\n[PATHS", "-"},
    };
    for (const auto& [file, expected] : cases) {
        SCOPED_TRACE(expected);
        TempFolder folder;
        TempFolder::write("zantric.ini", file);
        EXPECT_EQ(profileString("PATHS", "FILES", "-", kIni), expected);
        EXPECT_EQ(profileInt("PATHS", "FILES", 5, kIni), *expected == '-' ? 5 : 0);
        EXPECT_TRUE(writeProfileString("PATHS", "FILES", "fixed", kIni));
        EXPECT_EQ(profileString("PATHS", "FILES", "-", kIni), "fixed");
    }
}

TEST(Profile, WritesKeepEverythingElse) {
    const struct {
        std::string before;  // "(none)": the file does not exist
        const char *section, *key, *value;
        std::string after;
    } cases[] = {
        {"(none)", "PATHS", "FILES", "./files", "[PATHS]\nFILES=./files\n"},
        {"[A]\nx=1\n", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
        {"[A]\nx=1", "B", "y", "2", "[A]\nx=1\n\n[B]\ny=2\n"},
        {"[A]\nx=1\n\n[B]\ny=2\n", "a", "z", "3", "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
        {"[A]\n[B]\n", "A", "k", "v", "[A]\nk=v\n[B]\n"},
        {"; top\n[WINDOW POSITION]\n  Top = 43\nbottom=440\n", "window position", "TOP", "50",
         "; top\n[WINDOW POSITION]\n  Top =50\nbottom=440\n"},  // the key keeps its spelling
        {"[A]\nk=1\nk=2\n", "A", "k", "9", "[A]\nk=9\nk=2\n"},
        {"[A]\r\nx=1\r\n", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
        {"[A]\r\nx=1", "A", "x", "2", "[A]\r\nx=2\r\n"},  // the file's line end, not "\n"
        // A last line without a line feed ending in a stray carriage return reads the same.
        {"[A]\nx=1\r\r", "B", "y", "2", "[A]\nx=1\r\r\n\n[B]\ny=2\n"},
        {"[A]\r\nx=1\r\r", "B", "y", "2", "[A]\r\nx=1\r\r\n\r\n[B]\r\ny=2\r\n"},
        {"[A]\n", "A", "k", "one\ntwo", "[A]\nk=one\n"},
        {"[A]\nk=1\n", "A", "k", "", "[A]\nk=\n"},
        {std::string("junk\0line\n[A]\n", 14), "A", "k", "v",
         std::string("junk\0line\n[A]\nk=v\n", 18)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        TempFolder folder;
        const auto kept = fs::perms::owner_read | fs::perms::owner_write;
        if (c.before != "(none)") {
            TempFolder::write("zantric.ini", c.before);
            fs::permissions("zantric.ini", kept);
        }
        EXPECT_TRUE(writeProfileString(c.section, c.key, c.value, kIni));
        EXPECT_EQ(TempFolder::read("zantric.ini"), c.after);
        EXPECT_TRUE(c.before == "(none)" || fs::status("zantric.ini").permissions() == kept);
        EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
    }
    TempFolder folder;
    EXPECT_FALSE(writeProfileString("A", "k", "v", "./no folder/zantric.ini"));
    fs::create_directory("a folder.ini");
    EXPECT_FALSE(writeProfileString("A", "k", "v", "./a folder.ini"));
    EXPECT_TRUE(fs::is_directory("a folder.ini"));
}

TEST(Profile, ConcurrentWritersLoseNothing) {
    TempFolder folder;
    test::RecorderPresenter messages;
    const Settings settings(messages);
    std::vector<std::thread> writers;
    writers.reserve(4);
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([t, &settings] {
            for (int i = 0; i < 25; ++i) {
                settings.writeString("S", "key" + std::to_string(t * 25 + i), "v");
            }
        });
    }
    for (std::thread& writer : writers) writer.join();
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(profileString("S", "key" + std::to_string(i), "", kIni), "v") << i;
    }
}

}  // namespace
}  // namespace zantric
