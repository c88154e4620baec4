#include "core/maintenance/merge_dictionaries.h"

#include <algorithm>
#include <utility>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_language.h"
#include "core/maintenance/delete_dictionaries.h"
#include "core/session/program_session.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"
#include "core/sort/dictionary_merge_handler.h"
#include "core/sort/merge_estimate.h"

namespace zantric {

MergeDictionariesWork::MergeDictionariesWork(Prompter& prompter, const Settings& settings,
                                             std::vector<std::filesystem::path> inputs,
                                             const std::vector<long>& wordCounts,
                                             std::filesystem::path outputName)
    : MergeWork(prompter, settings, mergeRecordEstimate(wordCounts, kMergeFanIn)),
      m_inputs(std::move(inputs)),
      m_outputName(std::move(outputName)) {
    setText("Merging Files");
}

void MergeDictionariesWork::work() { mergeWith<DictionaryMergeHandler>(m_inputs, m_outputName); }

namespace {

// The first language other than English among the merged dictionaries, and every spelling of
// every one of them.
std::pair<Language, Spellings> mergedLanguage(const std::vector<std::filesystem::path>& inputs) {
    std::pair<Language, Spellings> merged{Language::kEnglish, {}};
    for (const std::filesystem::path& input : inputs) {
        if (!foldsLetters(merged.first)) merged.first = dictionaryLanguage(input);
        merged.second.addAll(dictionarySpellings(input));
    }
    merged.second.finish();
    return merged;
}

// Deletes the merged dictionaries but the one of the new name, which has just been replaced.
void deleteMergedRows(Workspace workspace, const std::vector<std::string>& rows,
                      const std::filesystem::path& path) {
    const std::filesystem::path& folder = workspace.settings.dictionariesFolder();
    std::vector<std::string> merged;
    for (const std::string& row : rows) {
        if ((folder / row).native() != path.native()) merged.push_back(row);
    }
    if (!merged.empty()) deleteHighlighted(workspace, merged, 0);
}

}  // namespace

MaintenanceOutcome mergeDictionaries(Workspace workspace, const std::vector<std::string>& names,
                                     const std::string& newName, bool deleteMerged,
                                     const StageRunner& run) {
    Prompter& prompter = workspace.prompter;
    if (!onlyCopyRunning(workspace.settings, prompter)) return MaintenanceOutcome::kStopped;
    // The same dictionary twice is one input: a merge of a single file would move that file.
    std::vector<std::string> rows;
    for (const std::string& name : names) {
        if (std::find(rows.begin(), rows.end(), name) == rows.end()) rows.push_back(name);
    }
    if (rows.size() < 2) {
        prompter.ask(Message::fromIds(kStrSelectTwo, kStrIncompleteTitle, MessageKind::kPlain));
        return MaintenanceOutcome::kStopped;
    }
    if (newName.empty()) {
        prompter.ask(
            Message::fromIds(kStrMergeNameMissing, kStrIncompleteTitle, MessageKind::kPlain));
        return MaintenanceOutcome::kStopped;
    }
    if (!checkDictionaryName(prompter, newName)) return MaintenanceOutcome::kStopped;
    const std::filesystem::path path = dictionaryPathFor(workspace.settings, newName);
    if (dictionaryExists(workspace.catalogue, path) &&
        prompter.ask({loadString(kStrTheDictionary) + path.filename().string() +
                          loadString(kStrAlreadyExistsOverwrite),
                      loadString(kStrConfirmTitle), MessageKind::kPlain, Buttons::kYesNo}) !=
            Answer::kYes) {
        return MaintenanceOutcome::kStopped;
    }

    const Catalogue& catalogue = workspace.catalogue;
    const std::filesystem::path& folder = workspace.settings.dictionariesFolder();
    std::vector<std::filesystem::path> inputs;
    std::vector<long> counts;
    for (const std::string& row : rows) {
        const std::filesystem::path inputPath = folder / row;
        const CatalogueEntry* entry = catalogue.find(inputPath);
        inputs.push_back(entry ? entry->filePath() : inputPath);
        counts.push_back(entry ? static_cast<long>(entry->header().wordCount) : 0);
    }
    const auto [language, spellings] = mergedLanguage(inputs);
    const std::filesystem::path output = uniqueTempName(workspace.settings);
    WorkResult result;
    {
        MergeDictionariesWork merging(workspace.prompter, workspace.settings, std::move(inputs),
                                      counts, output);
        result = run(merging);
    }
    if (result != WorkResult::kDone) {
        if (fileExists(output)) removeFile(output);
        return MaintenanceOutcome::kFailed;
    }
    // The new dictionary goes in place before any merged one is deleted, so that a failure or a
    // crash in between loses nothing; a merged dictionary of the new name has been replaced.
    if (!installDictionary(workspace, output, path).report(prompter))
        return MaintenanceOutcome::kFailed;
    keepLanguage(workspace, path, language, &spellings);
    if (deleteMerged) deleteMergedRows(workspace, rows, path);
    return MaintenanceOutcome::kDone;
}

}  // namespace zantric
