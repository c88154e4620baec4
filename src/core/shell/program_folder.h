// The program's folder: both programs change into it first and then work as if started there,
// so the ini file and the folders it names are relative to it. Called once at start-up, before
// any other thread exists and before ConfigData is first used.
#pragma once

#include <string>

namespace zantric {

// The folder to work in: `dashC` (the -C DIR option) when given, else $ZANTRIC_HOME when set,
// else the current folder when it holds zantric.ini, else $XDG_DATA_HOME/zantric (an unset,
// empty or relative $XDG_DATA_HOME counts as ~/.local/share), else the current folder when
// there is no $HOME either.
std::string resolveProgramFolder(const std::string& dashC);

// Creates the folder (with its parents) if needed and makes it the current folder. On failure
// returns false and, when `error` is given, a one-line reason naming the folder.
bool enterProgramFolder(const std::string& folder, std::string* error);

}  // namespace zantric
