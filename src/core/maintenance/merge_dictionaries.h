// Merge Dictionaries: two or more dictionaries of the catalogue are merged, in the word order and
// each word once, into a new dictionary, optionally deleting the merged ones. The merge runs as a
// ProgressWork on a worker (the caller's StageRunner) into a temporary file, which replaces an
// existing dictionary of the new name only once it is complete. Checks, questions, deletion and
// the catalogue update run on the caller's (UI) thread.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/maintenance/new_dictionary.h"
#include "core/sort/merge_work.h"

namespace zantric {

// "Merging Files": merges the dictionaries `inputs` (files, in order) into `outputName`.
// `wordCounts` (one per input, 0 when unknown) give the progress estimate. Leaves no
// intermediate file; on failure or cancel the caller deletes the output if it exists.
class MergeDictionariesWork : public MergeWork {
public:
    MergeDictionariesWork(Prompter& prompter, const Settings& settings,
                          std::vector<std::filesystem::path> inputs,
                          const std::vector<long>& wordCounts, std::filesystem::path outputName);
    void work() override;

    const std::filesystem::path& outputName() const { return m_outputName; }

private:
    std::vector<std::filesystem::path> m_inputs;
    std::filesystem::path m_outputName;
};

// The Merge button of Merge Dictionaries. `names` are the selected dictionaries' file names as
// the list shows them ("english.lex"), in list order. Checks: another copy running (420), fewer
// than two (501), an empty new
// name (502), an existing new dictionary (503, 504: overwrite?). Then merges, puts the new one in
// place, and only then deletes the merged dictionaries if asked (all but one of the new name,
// which has just been replaced). The new dictionary keeps the first language other than English
// among the merged ones (their words are already folded). The caller shows "Dictionaries Merged
// Successfully" (902) on kDone.
MaintenanceOutcome mergeDictionaries(Workspace workspace, const std::vector<std::string>& names,
                                     const std::string& newName, bool deleteMerged,
                                     const StageRunner& run);

}  // namespace zantric
