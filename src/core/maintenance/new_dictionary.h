// What making and merging a dictionary share: how a command runs its stages and what it came to,
// the checks of the new dictionary's name, and putting the complete new dictionary in place of
// an old one (which stays as its "lxb" backup). Called on the user-interface thread, before and
// after the stages' work.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/dictionary/letter_fold.h"
#include "core/dictionary/spellings.h"
#include "core/dictionary/workspace.h"
#include "core/shell/outcome.h"
#include "core/shell/progress_work.h"

namespace zantric {

// Runs one stage (the window's progress dialog, the command line's progress line, or runWork
// in tests) and returns its result.
using StageRunner = std::function<WorkResult(ProgressWork&)>;

// What a maintenance command came to.
enum class MaintenanceOutcome {
    kDone,     // the dictionary is in place and listed
    kStopped,  // a check failed or the user declined; its message was shown; nothing changed
    kFailed,   // a stage failed or was cancelled; nothing changed, no temporary file is left
};

// The file of the dictionary called `name` (dictionaryFileName) in the dictionaries folder; ""
// for a name the rule refuses.
std::filesystem::path dictionaryPathFor(const Settings& settings, std::string_view name);

// Whether a typed dictionary name passes the rule of dictionaryFileName; when it does not, beeps
// and shows the rule's text, titled "Input Error".
bool checkDictionaryName(Prompter& prompter, std::string_view name);

// Whether a dictionary file is already there (under its catalogue path or, for a file the
// catalogue lists under a name of another case, that file).
bool dictionaryExists(const Catalogue& catalogue, const std::filesystem::path& path);

// Replaces the dictionary at `path` by the complete dictionary `temporaryName`: the old one is
// kept as its "lxb" backup (a failure is reported and the work goes on), the new one flushed to
// the disk, renamed over the old one and listed anew; the path names one complete dictionary at
// every instant. A new dictionary in the place of a selected one is selected, in its header
// before it moves. If marking it or the move fails, the old dictionary stays, the temporary file
// is deleted, and the failure is the exception's text or message 330.
Status installDictionary(Workspace workspace, const std::filesystem::path& temporaryName,
                         const std::filesystem::path& path);

// Once the new dictionary at `path` is in place: puts its language file with `spellings` beside
// it (placeLanguageFile). When that fails the dictionary stays, read as English, and the user is
// told so.
void keepLanguage(Workspace workspace, const std::filesystem::path& path, Language language,
                  const Spellings* spellings = nullptr);

}  // namespace zantric
