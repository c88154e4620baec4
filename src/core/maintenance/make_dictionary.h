// Make Dictionary From File, the command: the checks and questions before any work, then the
// three stages (make_dictionary_stages.h) run by the caller's StageRunner, and the new
// dictionary put in place only once it is complete. Optionally it leaves out the words that the
// selected dictionaries already hold. Called on the user-interface thread.
#pragma once

#include <filesystem>
#include <string>

#include "core/maintenance/new_dictionary.h"
#include "core/sort/word_list_reader.h"

namespace zantric {

// Before "Add Unique Words Only" can be used: with no dictionary selected shows message 153
// ("No Dictionaries Selected") and returns false.
bool uniqueWordsPossible(Workspace workspace);

// The OK button of Make Dictionary From File: refuses while another copy runs (420), checks
// both names (message 73, the dictionary name rule), the word list
// (321), asks before overwriting a dictionary (322), then runs the three stages. The caller shows
// "Dictionary Created Successfully" (907) on kDone. `keepLine`, when given, leaves lines of the
// word list out before the word rules. `report`, when given, receives what the word list's lines
// came to once they have all been read (its `written` part once the dictionary is in place).
// The words are read in `language`, which folds their accented letters, and the dictionary
// keeps it in its language file.
MaintenanceOutcome makeDictionary(Workspace workspace, const std::filesystem::path& fileName,
                                  const std::string& dictionaryName, bool uniqueOnly,
                                  const StageRunner& run, LineFilter keepLine = nullptr,
                                  WordListReport* report = nullptr,
                                  Language language = Language::kEnglish);

}  // namespace zantric
