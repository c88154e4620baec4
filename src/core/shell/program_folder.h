// The program's folder: both programs change into it first and then work as if started there,
// so the ini file and the folders it names are relative to it. Called once at start-up, before
// any other thread exists and before Settings is first used.
#pragma once

#include <filesystem>
#include <string>

namespace zantric {

struct ChosenFolder {
    std::filesystem::path path;
    // Only the default folder under $XDG_DATA_HOME is made on first use; a folder the user named
    // (-C or $ZANTRIC_HOME) must exist, so that a mistyped name makes nothing.
    bool named = false;
};

// The account's home folder from the password database; "" when it names none, or none that is
// an absolute path.
std::string passwordDatabaseHome();

// The folder to work in: `dashC` (the -C DIR option) when given, else $ZANTRIC_HOME when set,
// else the current folder when it holds zantric.ini, else $XDG_DATA_HOME/zantric (an unset,
// empty or relative $XDG_DATA_HOME counts as ~/.local/share). An unset or empty $HOME is the
// account's home (`accountHome`); without one either the path is empty: there is no folder.
ChosenFolder resolveProgramFolder(const std::filesystem::path& dashC,
                                  std::string (*accountHome)() = passwordDatabaseHome);

// Makes the folder the current folder, creating it (with its parents) first unless it was named.
// On failure returns false and, when `error` is given, a one-line reason naming the folder:
// "No such folder: DIR" for a named folder that is not there; an empty path (no home folder)
// says how to name one.
bool enterProgramFolder(const ChosenFolder& folder, std::string* error);

}  // namespace zantric
