#include "core/shell/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

const std::string kIni = ".\\zantric.ini";

TEST(Profile, ReadsStrings) {
    const std::string file =
        "; comment=line\n"
        "orphan=before any section\n"
        "[PATHS]\n"
        "FILES=.\\files\n"
        "  Spaced Key  =   spaced value   \n"
        "Quoted=\"  in quotes  \"\n"
        "Single='x'\n"
        "Unbalanced=\"x\n"
        "Empty=\n"
        "NoEquals\n"
        "Twice=first\n"
        "Twice=second\n"
        "Inner=a=b\n"
        "[ Settings ]\n"
        "Tab Size=6\n"
        "[paths]\n"
        "Later=not read: only the first PATHS counts\n"
        "[Broken\n"
        "k=v\n";
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"PATHS", "FILES", ".\\files"},
        {"paths", "files", ".\\files"},  // names ignore case
        {"PATHS", "Spaced Key", "spaced value"},
        {"PATHS", "Quoted", "  in quotes  "},
        {"PATHS", "Single", "x"},
        {"PATHS", "Unbalanced", "\"x"},
        {"PATHS", "Empty", ""},
        {"PATHS", "NoEquals", "default"},
        {"PATHS", "Twice", "first"},
        {"PATHS", "Inner", "a=b"},
        {"PATHS", "Tab Size", "default"},  // in another section
        {"PATHS", "Later", "default"},
        {"PATHS", "orphan", "default"},
        {"PATHS", "; comment", "default"},
        {"SETTINGS", "tab size", "6"},
        {"Broken", "k", "v"},
        {"MISSING", "FILES", "default"},
        {"", "", "default"},
    };
    TempFolder folder;
    TempFolder::write("zantric.ini", file);
    for (const Case& c : cases) {
        EXPECT_EQ(profileString(c.section, c.key, "default", kIni), c.expected)
            << c.section << "/" << c.key;
    }
    EXPECT_EQ(profileString("PATHS", "FILES", "default", ".\\missing.ini"), "default");
    EXPECT_EQ(profileString("PATHS", "FILES", "default", ".\\nofolder\\zantric.ini"), "default");
}

TEST(Profile, ReadsIntegers) {
    struct Case {
        const char* value;  // nullptr: no key at all
        int expected;
    };
    const Case cases[] = {
        {"6", 6},
        {"-11", -11},
        {"+7", 7},
        {"  42  ", 42},
        {"12px", 12},
        {"abc", 0},
        {"-", 0},
        {"0x10", 0},
        {"", 99},
        {nullptr, 99},
        {"2147483647", 2147483647},
        {"4294967295", -1} /* wraps at 32 bits, like the original call */,
    };
    for (const Case& c : cases) {
        TempFolder folder;
        TempFolder::write("zantric.ini",
                          c.value ? std::string("[FONT]\nHeight=") + c.value + "\n" : "[FONT]\n");
        EXPECT_EQ(profileInt("FONT", "Height", 99, kIni), c.expected)
            << (c.value ? c.value : "(no key)");
    }
    EXPECT_EQ(profileInt("FONT", "Height", -13, ".\\missing.ini"), -13);
}

TEST(Profile, TextsFitTheOriginalBuffer) {
    TempFolder folder;
    TempFolder::write("zantric.ini", "[S]\nlong=" + std::string(1000, 'v') +
                                         "\nfit=" + std::string(259, 'f') + "\n");
    EXPECT_EQ(profileString("S", "long", "", kIni), std::string(259, 'v'));
    EXPECT_EQ(profileString("S", "fit", "", kIni), std::string(259, 'f'));
    EXPECT_EQ(profileString("S", "missing", std::string(300, 'd'), kIni), std::string(259, 'd'));
}

TEST(Profile, DamagedFilesReadWithoutHarm) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 131 + 7) % 256);
    const std::string files[] = {
        junk,
        std::string("[PATHS]\nFILES=.\\fi\0les\n", 24),  // NUL inside the value
        std::string("[PA\0THS]\nFILES=x\n", 17),
        "[PATHS]\n" + std::string(200000, '=') + "\nFILES=after a long line\n",
        "[PATHS]\r\nFILES=crlf\r\n",
        "\xEF\xBB\xBF[PATHS]\nFILES=after a byte-order mark",  // no final line feed either
        std::string(100000, '['),
        "[[[]]]\n=\n==\n[PATHS",
        "",
    };
    const char* expected[] = {
        "default", ".\\fi",   "default", "after a long line", "crlf", "after a byte-order mark",
        "default", "default", "default",
    };
    for (std::size_t i = 0; i < std::size(files); ++i) {
        TempFolder folder;
        TempFolder::write("zantric.ini", files[i]);
        EXPECT_EQ(profileString("PATHS", "FILES", "default", kIni), expected[i]) << "file " << i;
        EXPECT_EQ(profileInt("PATHS", "FILES", 5, kIni), expected[i][0] == 'd' ? 5 : 0);
        // A write still works, and the value reads back.
        EXPECT_TRUE(writeProfileString("PATHS", "FILES", "fixed", kIni)) << "file " << i;
        EXPECT_EQ(profileString("PATHS", "FILES", "default", kIni), "fixed") << "file " << i;
    }
}

TEST(Profile, WritesKeepEverythingElse) {
    struct Case {
        const char* name;
        std::string before;  // "(none)": the file does not exist
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    };
    const Case cases[] = {
        {"creates the file", "(none)", "PATHS", "FILES", ".\\files", "[PATHS]\nFILES=.\\files\n"},
        {"adds a section after a blank line", "[A]\nx=1\n", "B", "y", "2",
         "[A]\nx=1\n\n[B]\ny=2\n"},
        {"adds a section to a file without final line feed", "[A]\nx=1", "B", "y", "2",
         "[A]\nx=1\n\n[B]\ny=2\n"},
        {"adds a key after the section's last entry", "[A]\nx=1\n\n[B]\ny=2\n", "a", "z", "3",
         "[A]\nx=1\nz=3\n\n[B]\ny=2\n"},
        {"adds a key to an empty section", "[A]\n[B]\n", "A", "k", "v", "[A]\nk=v\n[B]\n"},
        {"replaces a value in place, keeping the key's spelling",
         "; top\n[WINDOW POSITION]\n  Top = 43\nbottom=440\n", "window position", "TOP", "50",
         "; top\n[WINDOW POSITION]\n  Top =50\nbottom=440\n"},
        {"changes only the first of twin keys", "[A]\nk=1\nk=2\n", "A", "k", "9",
         "[A]\nk=9\nk=2\n"},
        {"keeps CR LF line ends", "[A]\r\nx=1\r\n", "A", "y", "2", "[A]\r\nx=1\r\ny=2\r\n"},
        // A last line without a line feed ending in a stray carriage return reads the same.
        {"ends a last line with a stray CR in a LF file", "[A]\nx=1\r\r", "B", "y", "2",
         "[A]\nx=1\r\r\n\n[B]\ny=2\n"},
        {"ends a last line with a stray CR in a CR LF file", "[A]\r\nx=1\r\r", "B", "y", "2",
         "[A]\r\nx=1\r\r\n\r\n[B]\r\ny=2\r\n"},
        {"cuts the value at a line break", "[A]\n", "A", "k", "one\ntwo", "[A]\nk=one\n"},
        {"writes an empty value", "[A]\nk=1\n", "A", "k", "", "[A]\nk=\n"},
        {"keeps lines it cannot read", std::string("junk\0line\n[A]\n", 14), "A", "k", "v",
         std::string("junk\0line\n[A]\nk=v\n", 18)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const auto kept = fs::perms::owner_read | fs::perms::owner_write;
        if (c.before != "(none)") {
            TempFolder::write("zantric.ini", c.before);
            fs::permissions("zantric.ini", kept);
        }
        EXPECT_TRUE(writeProfileString(c.section, c.key, c.value, kIni));
        EXPECT_EQ(TempFolder::read("zantric.ini"), c.after);
        if (c.before != "(none)") {  // the rewritten file keeps the old one's permission bits
            EXPECT_EQ(fs::status("zantric.ini").permissions(), kept);
        }
        // Nothing but the ini file is left behind.
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(".")) {
            names.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(names, std::vector<std::string>{"zantric.ini"});
    }
}

TEST(Profile, RoundTrips) {
    TempFolder folder;
    const std::pair<const char*, const char*> entries[] = {
        {"Weight", "700"}, {"Height", "-13"}, {"Font Set", "1"}, {"Weight", "400"}};
    for (auto [key, value] : entries) {
        ASSERT_TRUE(writeProfileString("FONT", key, value, kIni));
        EXPECT_EQ(profileString("FONT", key, "", kIni), value);
    }
    EXPECT_EQ(profileInt("FONT", "Weight", 0, kIni), 400);
    EXPECT_EQ(profileInt("FONT", "Height", 0, kIni), -13);
    EXPECT_EQ(TempFolder::read("zantric.ini"), "[FONT]\nWeight=400\nHeight=-13\nFont Set=1\n");
}

TEST(Profile, WriteFailures) {
    TempFolder folder;
    EXPECT_FALSE(writeProfileString("A", "k", "v", ".\\no folder\\zantric.ini"));
    fs::create_directory("a folder.ini");
    EXPECT_FALSE(writeProfileString("A", "k", "v", ".\\a folder.ini"));
    EXPECT_TRUE(fs::is_directory("a folder.ini"));
}

TEST(Profile, ConcurrentWritersLoseNothing) {
    TempFolder folder;
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([t] {
            for (int i = 0; i < 25; ++i) {
                writeProfileString("S", "key" + std::to_string(t * 25 + i), "v", kIni);
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
