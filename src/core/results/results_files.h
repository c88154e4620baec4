// Save As without its dialog: the results pair copied under a chosen name, or the text export,
// with every question and message they show (View and Delete Results are ResultsStore::openSaved
// and ResultsStore::deleteCurrent). The caller owns the ResultsStore and passes the fields the
// window shows. User-interface thread; the copies and the export run on it through a WorkRunner.
// docs/results-format.md describes the pair and the export.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/results/file_transfer.h"
#include "core/results/results_header.h"
#include "core/shell/messages.h"

namespace zantric {

class ResultsStore;
class Settings;

// The file types of the Save As dialog, in the order of its filter.
enum class SaveAsType {
    kZantricFiles = 0,  // "Zantric Files (*.ztr)"
    kTextFiles = 1,     // "Text Files (*.txt)"
    kAsciiFiles = 2,    // "ASCII Files (*.asc)"
    kAllFiles = 3       // "All Files (*)"
};

// The answer to "overwrite or append?": its three buttons in order.
enum class ExportChoice { kOverwrite = 0, kAppend = 1, kCancel = 2 };

// What a Save As did: the window reloads its list after kSavedPair.
enum class SaveAsOutcome { kCancelled, kSavedPair, kExported, kFailed };

// The name with `ext` added when it has none (nothing after its last dot, or no dot).
std::filesystem::path withDefaultExtension(const std::filesystem::path& name, std::string_view ext);
// Whether the name's extension is "ztr", ignoring case: such a name is saved as a pair.
bool isResultsPairName(const std::filesystem::path& name);

// The question before a results pair replaces a file: the name and "\nThis file already
// exists\n\nDo you wish to overwrite? (Y/N)", "Warning", Yes/No, asked through `prompter`. True
// for Yes.
bool confirmOverwrite(Prompter& prompter, const std::filesystem::path& name);
// The question before a text export meets an existing file: the name and " already exists\nDo
// you wish to overwrite or append to the end of this file?", "Warning", buttons "&Overwrite",
// "&Append", "&Cancel"; Escape is Cancel.
ExportChoice askOverwriteOrAppend(Prompter& prompter, const std::filesystem::path& name);

// Copies the current pair to the chosen name with the extensions "ztr" and "zix"; nothing is
// copied when the data file would be copied onto itself. The copies are made in the temporary
// folder of `settings` and then renamed into place, so that a failed copy leaves a pair of that
// name as it was. A failure tells `prompter` "Unable to Open File: " with the file that failed
// ("File Error.", stop icon) and leaves no half-saved pair. The store goes on showing the same
// pair. True when saved.
bool saveResultsPair(Prompter& prompter, const Settings& settings, ResultsStore& results,
                     const std::filesystem::path& chosenName, const WorkRunner& run = runHere);

// The export's block before the match lines (items 1 to 7 of the format): the asterisk lines,
// the title, the four fields, a line for each of the two options and the three phrase filters
// saying whether it was on, Checked (from `fields`) and Found (`found`).
std::string asciiExportHeader(const SearchSummary& fields, std::int64_t found,
                              const RecordedFilters& filters = {});

// The text export: the header block and then every byte of the results data file from its match
// lines to its end, appended to the destination or replacing it. "Making ASCII File". Result 1,
// or 0 when a file cannot be opened, read or written (told to the work's prompter); an
// export that fails part way removes the file it wrote, or cuts an appended one back to where it
// began.
class ExportWork final : public CallingThreadWork {
public:
    // `fields` are the window's fields and the search's Checked count; Found is the store's count.
    // The store must outlive the work.
    ExportWork(Prompter& prompter, ResultsStore& results, SearchSummary fields,
               std::filesystem::path destination, bool append);
    void work() override;

private:
    ResultsStore& m_results;
    SearchSummary m_fields;
    std::filesystem::path m_destination;
    bool m_append;
};

// Runs the text export; true when it wrote the file.
bool exportAsAscii(Prompter& prompter, ResultsStore& results, const SearchSummary& fields,
                   const std::filesystem::path& destination, bool append,
                   const WorkRunner& run = runHere);

// Save As after its dialog: the chosen name and the file type selected. Adds the extension
// ("ztr" for the results pair, "asc" for ASCII files, else "txt") when the name has none; asks
// before replacing an existing file (the Yes/No question for the first type, overwrite-or-append
// for the others, through `prompter`); then saves a pair when the extension is "ztr" (any case),
// else exports the text.
SaveAsOutcome saveResultsAs(Prompter& prompter, const Settings& settings, ResultsStore& results,
                            const SearchSummary& fields, const std::filesystem::path& chosenName,
                            SaveAsType type, const WorkRunner& run = runHere);

}  // namespace zantric
