#include "core/shell/program_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// nullptr unsets the variable. Each test runs in its own process, so nothing is restored.
void setEnvironment(const char* name, const char* value) {
    if (value) setenv(name, value, 1);
    if (!value) unsetenv(name);
}

TEST(ProgramFolder, ChoosesTheFolderInOrder) {
    const struct {
        const char *dashC, *home, *xdg, *userHome;  // home: $ZANTRIC_HOME
        bool iniHere;                               // the current folder holds zantric.ini
        const char* expected;                       // "" for the current folder
        bool named;                                 // named by the user: never made
    } cases[] = {
        {"/opt/z", "/zh", "/xdg", "/home/u", true, "/opt/z", true},
        {"", "/zh", "/xdg", "/home/u", true, "/zh", true},
        {"", "", "/xdg", "/home/u", true, "", false},  // an empty ZANTRIC_HOME is unset
        {"", nullptr, "/xdg", "/home/u", true, "", false},
        {"", nullptr, "/xdg", "/home/u", false, "/xdg/zantric", false},
        {"", nullptr, nullptr, "/home/u", false, "/home/u/.local/share/zantric", false},
        {"", nullptr, "rel", "/home/u", false, "/home/u/.local/share/zantric", false},
        {"", nullptr, nullptr, nullptr, false, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dashC << c.home << c.xdg << c.iniHere);
        TempFolder folder;
        if (c.iniHere) TempFolder::write("zantric.ini", "");
        setEnvironment("ZANTRIC_HOME", c.home);
        setEnvironment("XDG_DATA_HOME", c.xdg);
        setEnvironment("HOME", c.userHome);
        const ChosenFolder chosen = resolveProgramFolder(c.dashC);
        EXPECT_EQ(chosen.path, *c.expected ? c.expected : fs::current_path().string());
        EXPECT_EQ(chosen.named, c.named);
    }
}

// Only the default folder is made: a mistyped -C makes nothing.
TEST(ProgramFolder, EntersTheFolderMakingOnlyTheDefault) {
    const struct {
        const char* folder;  // below the test's folder
        bool named;
        const char* error;  // "" when entered; else the reason begins with this
    } cases[] = {
        {"a/b", false, ""},  // made
        {"a/b", true, ""},   // there
        {"x/y", true, "No such folder: "},
        {"file", true, "cannot use the folder "},
        {"file/below", false, "cannot use the folder "},
    };
    TempFolder folder;
    TempFolder::write(folder.path() / "file", "");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        fs::current_path(folder.path());
        const std::string target = (folder.path() / c.folder).string();
        std::string error;
        const bool entered = enterProgramFolder({target, c.named}, &error);
        EXPECT_EQ(entered, *c.error == '\0') << error;
        EXPECT_EQ(fs::current_path(), entered ? fs::path(target) : folder.path());
        EXPECT_EQ(error.rfind(c.error + target, 0), entered ? std::string::npos : 0u) << error;
    }
    EXPECT_FALSE(fs::exists(folder.path() / "x"));
}

}  // namespace
}  // namespace zantric
