#include "core/shell/program_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "core/shell/settings.h"
#include "core/shell/temp_names.h"
#include "support/recorder_presenter.h"
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

const char* g_accountHome = "";  // what the password database says, in the table below

TEST(ProgramFolder, ChoosesTheFolderInOrder) {
    const struct {
        const char *dashC, *home, *xdg, *userHome;  // home: $ZANTRIC_HOME
        const char* accountHome;                    // the password database's home of the user
        bool iniHere;                               // the current folder holds zantric.ini
        const char* expected;                       // "." for the current folder, "" for none
        bool named;                                 // named by the user: never made
    } cases[] = {
        {"/opt/z", "/zh", "/xdg", "/home/u", "/pw", true, "/opt/z", true},
        {"", "/zh", "/xdg", "/home/u", "/pw", true, "/zh", true},
        {"", "", "/xdg", "/home/u", "/pw", true, ".", false},  // an empty ZANTRIC_HOME is unset
        {"", nullptr, "/xdg", "/home/u", "/pw", true, ".", false},
        {"", nullptr, "/xdg", "/home/u", "/pw", false, "/xdg/zantric", false},
        {"", nullptr, nullptr, "/home/u", "/pw", false, "/home/u/.local/share/zantric", false},
        {"", nullptr, "rel", "/home/u", "/pw", false, "/home/u/.local/share/zantric", false},
        // No $HOME: the account's home, else no folder at all (not the current one).
        {"", nullptr, nullptr, nullptr, "/pw", false, "/pw/.local/share/zantric", false},
        {"", nullptr, "rel", "", "/pw", false, "/pw/.local/share/zantric", false},
        {"", nullptr, nullptr, nullptr, "", false, "", false},
        {"", nullptr, "/xdg", nullptr, "", false, "/xdg/zantric", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.dashC << c.home << c.xdg << c.iniHere << c.accountHome);
        TempFolder folder;
        if (c.iniHere) TempFolder::write("zantric.ini", "");
        setEnvironment("ZANTRIC_HOME", c.home);
        setEnvironment("XDG_DATA_HOME", c.xdg);
        setEnvironment("HOME", c.userHome);
        g_accountHome = c.accountHome;
        const ChosenFolder chosen =
            resolveProgramFolder(c.dashC, [] { return std::string(g_accountHome); });
        EXPECT_EQ(chosen.path,
                  std::string(c.expected) == "." ? fs::current_path().string() : c.expected);
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
    std::string error;
    EXPECT_FALSE(enterProgramFolder({}, &error));
    EXPECT_EQ(error.rfind("No home folder: ", 0), 0u) << error;
    EXPECT_EQ(fs::current_path(), folder.path());
}

// The temporary files' base name: the start time and the process in lower-case base 36.
TEST(TempNames, BaseNameIsTheStartTimeAndTheProcess) {
    TempFolder folder;
    test::RecorderPresenter recorder;
    const Settings settings(recorder);
    const std::string base = tempBaseName(settings);
    const std::size_t dash = base.find('-');
    ASSERT_EQ(base.substr(0, 2), "$$");
    ASSERT_NE(dash, std::string::npos);
    const std::uint64_t seconds = std::stoull(base.substr(2, dash - 2), nullptr, 36);
    const auto now = static_cast<std::uint64_t>(std::time(nullptr));
    EXPECT_EQ(lowerCaseDigits(seconds, 36), base.substr(2, dash - 2));
    EXPECT_TRUE(seconds <= now && seconds + 3600 > now) << seconds;
    EXPECT_EQ(base.substr(dash + 1), lowerCaseDigits(static_cast<std::uint64_t>(getpid()), 36));
    EXPECT_EQ(tempBaseName(settings), base) << "taken once per process";
}

}  // namespace
}  // namespace zantric
