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
        bool named;            // named by the user: never made
    };
    const Case cases[] = {
        {"-C wins", "/opt/z", "/zh", true, "/xdg", "/home/u", "/opt/z", true},
        {"then ZANTRIC_HOME", "", "/zh", true, "/xdg", "/home/u", "/zh", true},
        {"empty ZANTRIC_HOME is unset", "", "", true, "/xdg", "/home/u", "(here)", false},
        {"then a folder holding zantric.ini", "", std::nullopt, true, "/xdg", "/home/u", "(here)",
         false},
        {"then XDG_DATA_HOME", "", std::nullopt, false, "/xdg", "/home/u", "/xdg/zantric", false},
        {"then ~/.local/share", "", std::nullopt, false, std::nullopt, "/home/u",
         "/home/u/.local/share/zantric", false},
        {"relative XDG_DATA_HOME is ignored", "", std::nullopt, false, "rel", "/home/u",
         "/home/u/.local/share/zantric", false},
        {"no HOME at all", "", std::nullopt, false, std::nullopt, std::nullopt, "(here)", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        if (c.iniHere) TempFolder::write("zantric.ini", "");
        ScopedEnvironment home("ZANTRIC_HOME", c.home);
        ScopedEnvironment xdg("XDG_DATA_HOME", c.xdg);
        ScopedEnvironment user("HOME", c.userHome);
        std::string expected = c.expected == "(here)" ? fs::current_path().string() : c.expected;
        const ChosenFolder chosen = resolveProgramFolder(c.dashC);
        EXPECT_EQ(chosen.path, expected);
        EXPECT_EQ(chosen.named, c.named);
    }
}

// Only the default folder is made; a folder the user named must be there, so that a mistyped
// -C makes nothing.
TEST(ProgramFolder, EntersTheFolderMakingOnlyTheDefault) {
    struct Case {
        const char* name;
        const char* folder;  // below the test's folder
        bool named;
        const char* error;  // "" when entered; else the reason begins with this
    };
    const Case cases[] = {
        {"default folder is made", "a/b", false, ""},
        {"default folder there", "a/b", false, ""},
        {"named folder there", "a/b", true, ""},
        {"named folder missing", "x/y", true, "No such folder: "},
        {"a file", "file", true, "cannot use the folder "},
        {"below a file", "file/below", false, "cannot use the folder "},
    };
    TempFolder folder;
    TempFolder::write(folder.path() / "file", "");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::current_path(folder.path());
        const std::string target = (folder.path() / c.folder).string();
        std::string error;
        const bool entered = enterProgramFolder({target, c.named}, &error);
        EXPECT_EQ(entered, *c.error == '\0') << error;
        if (entered) {
            EXPECT_EQ(fs::current_path(), fs::path(target));
        } else {
            EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
            EXPECT_NE(error.find(target), std::string::npos);
            EXPECT_EQ(fs::current_path(), folder.path());  // a failure stays where it was
        }
    }
    EXPECT_FALSE(fs::exists(folder.path() / "x"));
}

}  // namespace
}  // namespace zantric
