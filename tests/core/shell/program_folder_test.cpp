#include "core/shell/program_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// Sets or unsets an environment variable for its lifetime.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (m_old) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(ProgramFolder, ChoosesTheFolderInOrder) {
    using Env = std::optional<std::string>;
    struct Case {
        const char* name;
        std::string dashC;
        Env home;              // $ZANTRIC_HOME
        bool iniHere;          // the current folder holds zantric.ini
        Env xdg;               // $XDG_DATA_HOME
        Env userHome;          // $HOME
        std::string expected;  // "(here)" for the current folder
    };
    const Case cases[] = {
        {"-C wins", "/opt/z", "/zh", true, "/xdg", "/home/u", "/opt/z"},
        {"then ZANTRIC_HOME", "", "/zh", true, "/xdg", "/home/u", "/zh"},
        {"empty ZANTRIC_HOME is unset", "", "", true, "/xdg", "/home/u", "(here)"},
        {"then a folder holding zantric.ini", "", std::nullopt, true, "/xdg", "/home/u", "(here)"},
        {"then XDG_DATA_HOME", "", std::nullopt, false, "/xdg", "/home/u", "/xdg/zantric"},
        {"then ~/.local/share", "", std::nullopt, false, std::nullopt, "/home/u",
         "/home/u/.local/share/zantric"},
        {"relative XDG_DATA_HOME is ignored", "", std::nullopt, false, "rel", "/home/u",
         "/home/u/.local/share/zantric"},
        {"no HOME at all", "", std::nullopt, false, std::nullopt, std::nullopt, "(here)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        if (c.iniHere) TempFolder::write("zantric.ini", "");
        ScopedEnvironment home("ZANTRIC_HOME", c.home);
        ScopedEnvironment xdg("XDG_DATA_HOME", c.xdg);
        ScopedEnvironment user("HOME", c.userHome);
        std::string expected = c.expected == "(here)" ? fs::current_path().string() : c.expected;
        EXPECT_EQ(resolveProgramFolder(c.dashC), expected);
    }
}

TEST(ProgramFolder, EntersTheFolderCreatingIt) {
    TempFolder folder;
    std::string error;
    const std::string target = (folder.path() / "a" / "b").string();
    ASSERT_TRUE(enterProgramFolder(target, &error)) << error;
    EXPECT_EQ(fs::current_path(), fs::path(target));
    ASSERT_TRUE(enterProgramFolder(target, nullptr));  // already there

    TempFolder::write(folder.path() / "file", "");
    EXPECT_FALSE(enterProgramFolder((folder.path() / "file").string(), &error));
    EXPECT_NE(error.find("file"), std::string::npos);
    EXPECT_FALSE(enterProgramFolder((folder.path() / "file" / "below").string(), nullptr));
    EXPECT_EQ(fs::current_path(), fs::path(target));  // a failure stays where it was
}

}  // namespace
}  // namespace zantric
