#include "core/maintenance/make_dictionary.h"

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_language.h"
#include "core/maintenance/make_dictionary_stages.h"
#include "core/session/program_session.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"

namespace zantric {

bool uniqueWordsPossible(Workspace workspace) {
    if (workspace.catalogue.selectedCount() > 0) return true;
    workspace.prompter.ask(Message::fromIds(kStrCannotCheckUnique, kStrNoDictionarySelectedTitle,
                                            MessageKind::kPlain));
    return false;
}

MaintenanceOutcome makeDictionary(Workspace workspace, const std::filesystem::path& fileName,
                                  const std::string& dictionaryName, bool uniqueOnly,
                                  const StageRunner& run, LineFilter keepLine,
                                  WordListReport* report, Language language) {
    Prompter& prompter = workspace.prompter;
    if (!onlyCopyRunning(workspace.settings, prompter)) return MaintenanceOutcome::kStopped;
    if (fileName.empty() || dictionaryName.empty()) {
        prompter.ask(Message::fromIds(kStrNamesMissing, kStrErrorTitle, MessageKind::kPlain));
        return MaintenanceOutcome::kStopped;
    }
    // Before any work: a name that cannot make a file would fail only at the very end.
    if (!checkDictionaryName(prompter, dictionaryName)) return MaintenanceOutcome::kStopped;
    const std::filesystem::path path = dictionaryPathFor(workspace.settings, dictionaryName);
    // A word list is read to its end: a folder, a FIFO or a device is not one.
    if (!isRegularFile(fileName)) {
        prompter.ask({fileExists(fileName) ? loadString(kStrUnableToOpenFile) +
                                                 shownPath(fileName) + notAFileText(fileName)
                                           : loadString(kStrUnableToFindFile) + shownPath(fileName),
                      loadString(kStrErrorTitle), MessageKind::kPlain});
        return MaintenanceOutcome::kStopped;
    }
    if (dictionaryExists(workspace.catalogue, path) &&
        prompter.ask(Message::fromIds(kStrDictionaryExists, kStrWarningTitle, MessageKind::kPlain,
                                      Buttons::kYesNo)) != Answer::kYes) {
        return MaintenanceOutcome::kStopped;
    }

    long words = 0;
    Spellings spellings;
    {
        SortRunsStage sorting(workspace, fileName, keepLine, language);
        const WorkResult result = run(sorting);
        if (report) *report = sorting.report();
        if (result != WorkResult::kDone) return MaintenanceOutcome::kFailed;
        words = sorting.validWords();
        spellings = sorting.takeSpellings();
    }
    const std::filesystem::path merged = uniqueTempName(workspace.settings);
    {
        MergeRunsStage building(workspace.prompter, workspace.settings, merged, words);
        if (run(building) != WorkResult::kDone) return MaintenanceOutcome::kFailed;
    }
    WriteDictionaryStage creating(workspace, merged, path, uniqueOnly, words);
    if (run(creating) != WorkResult::kDone) return MaintenanceOutcome::kFailed;
    if (!creating.install().report(prompter)) return MaintenanceOutcome::kFailed;
    keepLanguage(workspace, path, language, &spellings);
    if (report) {
        report->stored = creating.written();
        report->repeated = creating.repeated();
        report->held = creating.held();
        report->written = true;
    }
    return MaintenanceOutcome::kDone;
}

}  // namespace zantric
