#include "core/results/results_files.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "core/results/results_store.h"
#include "core/shell/file_replace.h"
#include "core/shell/folder_lock.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"

namespace zantric {
namespace {

constexpr const char* kMakingAsciiText = "Making ASCII File";
constexpr const char* kUnableToWrite = "Unable to write file: ";
constexpr const char* kUnableToRead = "Unable to read File: ";
// The export writes through a buffer of this size and reads the match lines in blocks of it.
constexpr std::size_t kExportBlock = 20480;

// printf's "%s" and "%<width>ld" over a text of the string table: each conversion takes the next
// argument (a number already written out), right-aligned in its width. "%%" is a percent sign.
std::string formatText(std::string_view pattern, const std::vector<std::string>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            out += pattern[i];
            continue;
        }
        if (pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        std::size_t width = 0;
        while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j]))) {
            width = width * 10 + static_cast<std::size_t>(pattern[j] - '0');
            ++j;
        }
        while (j < pattern.size() && pattern[j] == 'l') ++j;
        if (j == pattern.size() || (pattern[j] != 's' && pattern[j] != 'd')) {
            out += pattern[i];
            continue;
        }
        const std::string arg = next < args.size() ? args[next++] : std::string();
        if (arg.size() < width) out.append(width - arg.size(), ' ');
        out += arg;
        i = j;
    }
    return out;
}

void reportUnableToOpen(Prompter& prompter, const std::filesystem::path& name) {
    prompter.tell({loadString(kStrUnableToOpenFile) + shownPath(name),
                   loadString(kStrFileErrorTitle), MessageKind::kError});
}

std::uint64_t fileSize(const std::filesystem::path& name) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(name, error);
    return error ? 0 : size;
}

}  // namespace

std::filesystem::path withDefaultExtension(const std::filesystem::path& name,
                                           std::string_view ext) {
    std::string result = name.native();
    if (extensionOf(name).empty()) {
        if (result.empty() || result.back() != '.') result += '.';
        result += ext;
    }
    return result;
}

bool isResultsPairName(const std::filesystem::path& name) {
    const std::string ext = extensionOf(name);
    if (ext.size() != 3) return false;
    std::string lower;
    for (char c : ext) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "ztr";
}

bool confirmOverwrite(Prompter& prompter, const std::filesystem::path& name) {
    return prompter.ask({shownPath(name) + loadString(kStrOverwriteQuestion),
                         loadString(kStrWarningTitle), MessageKind::kPlain, Buttons::kYesNo}) ==
           Answer::kYes;
}

ExportChoice askOverwriteOrAppend(Prompter& prompter, const std::filesystem::path& name) {
    const int answer = prompter.choose(
        {shownPath(name) + loadString(kStrOverwriteOrAppendQuestion), loadString(kStrWarningTitle)},
        {loadString(kStrOverwriteCaption), loadString(kStrAppendCaption),
         loadString(kStrCancelCaption)});
    return answer == 0   ? ExportChoice::kOverwrite
           : answer == 1 ? ExportChoice::kAppend
                         : ExportChoice::kCancel;
}

bool saveResultsPair(Prompter& prompter, const Settings& settings, ResultsStore& results,
                     const std::filesystem::path& chosenName, const WorkRunner& run) {
    const std::filesystem::path targetData = replaceExtension(chosenName, "ztr");
    if (targetData.native() == results.dataName().native()) return true;
    const std::filesystem::path targetIndex = replaceExtension(chosenName, "zix");
    results.flush();

    // Both files are copied to the temporary folder first, so that a failed copy leaves an
    // existing pair of that name as it was; each then takes its name in one rename.
    std::error_code ignored;
    std::filesystem::create_directories(settings.tempFolder(), ignored);
    const std::filesystem::path stagedData = tempFileName(settings, "zsd");
    const std::filesystem::path stagedIndex = tempFileName(settings, "zsi");
    auto fail = [&](const std::filesystem::path& name) {
        for (const std::filesystem::path* staged : {&stagedData, &stagedIndex}) {
            if (fileExists(*staged)) removeFile(*staged);
        }
        reportUnableToOpen(prompter, name);
        return false;
    };
    FileCopyWork dataCopy(prompter, stagedData, results.dataName());
    run(dataCopy);
    if (dataCopy.transfer() != Transfer::kOk) {
        return fail(dataCopy.transfer() == Transfer::kCannotCreate ? targetData
                                                                   : results.dataName());
    }
    FileCopyWork indexCopy(prompter, stagedIndex, results.indexName());
    run(indexCopy);
    if (indexCopy.transfer() != Transfer::kOk) {
        return fail(indexCopy.transfer() == Transfer::kCannotCreate ? targetIndex
                                                                    : results.indexName());
    }
    // Both complete on the disk before either takes its name.
    if (!syncFile(stagedData)) return fail(targetData);
    if (!syncFile(stagedIndex)) return fail(targetIndex);
    // Another copy opening the pair meanwhile (openSaved) waits until both are in place; a
    // failure is told once the lock is given up.
    const std::filesystem::path* failed = nullptr;
    {
        const FolderLock lock(targetData.parent_path(), FolderLock::Mode::kExclusive);
        if (!replaceFile(stagedData, targetData)) {
            failed = &targetData;
        } else if (!replaceFile(stagedIndex, targetIndex)) {
            // The new data file with the old index would be no pair at all.
            removeFile(targetData);
            if (fileExists(targetIndex)) removeFile(targetIndex);
            failed = &targetIndex;
        }
    }
    return failed ? fail(*failed) : true;
}

std::string asciiExportHeader(const SearchSummary& summary, std::int64_t found,
                              const RecordedFilters& filters) {
    const SearchFields& fields = summary.fields;
    const std::string asterisks = loadString(kStrExportAsteriskLine);
    std::string block = asterisks;
    block += loadString(kStrExportTitle);
    block += formatText(loadString(kStrExportFields),
                        {fields.find, fields.from, fields.include, fields.exclude});
    // Every option has its line, whether it was on or off.
    block += loadString(fields.useAllFromLetters ? kStrExportUseAll : kStrExportUseAllOff);
    block += loadString(fields.suppressPermutations ? kStrExportSuppress : kStrExportSuppressOff);
    block += filters.minWordLength != 0 ? formatText(loadString(kStrExportMinWordLength),
                                                     {std::to_string(filters.minWordLength)})
                                        : loadString(kStrExportAnyWordLength);
    block += loadString(filters.eachWordOnce ? kStrExportEachWordOnce : kStrExportEachWordOnceOff);
    block += loadString(filters.stoplist ? kStrExportStoplist : kStrExportStoplistOff);
    // Lines of their own only when on, so that other exports read as they always have.
    if (filters.common != 0) {
        block += formatText(loadString(kStrExportCommonLevel), {std::to_string(filters.common)});
    }
    if (filters.ranked) block += loadString(kStrExportRanked);
    block += formatText(loadString(kStrExportCounts),
                        {std::to_string(summary.checked), std::to_string(found)});
    block += asterisks;
    return block;
}

ExportWork::ExportWork(Prompter& prompter, ResultsStore& results, SearchSummary fields,
                       std::filesystem::path destination, bool append)
    : CallingThreadWork(prompter),
      m_results(results),
      m_fields(std::move(fields)),
      m_destination(std::move(destination)),
      m_append(append) {
    setText(kMakingAsciiText);
}

void ExportWork::work() {
    setResult(WorkResult::kFailed);
    m_results.flush();
    const std::filesystem::path& dataName = m_results.dataName();
    const std::uint64_t total = fileSize(dataName) + 1;
    // The match lines are read first, so that a missing data file does not empty the destination.
    FilePtr data = fileOpenWithReport(prompter(), dataName, "rb");
    if (!data) return;
    FilePtr out = fileOpenWithReport(prompter(), m_destination, m_append ? "a" : "w");
    if (!out) return;
    // Where this export begins: a failure leaves the file as it was before it.
    const long begun = std::fseek(out.get(), 0, SEEK_END) == 0 ? std::ftell(out.get()) : -1;
    auto outBuffer = std::make_unique<char[]>(kExportBlock);
    std::setvbuf(out.get(), outBuffer.get(), _IOFBF, kExportBlock);

    // The filters are those of the search that made the results.
    const std::string header =
        asciiExportHeader(m_fields, m_results.count(), m_results.header().filters);
    bool written = std::fwrite(header.data(), 1, header.size(), out.get()) == header.size();
    bool read = std::fseek(data.get(), static_cast<long>(kResultsHeaderSize), SEEK_SET) == 0;
    if (written && read) {
        auto block = std::make_unique<char[]>(kExportBlock);
        std::uint64_t done = 0;
        std::size_t got;
        while (written && (got = std::fread(block.get(), 1, kExportBlock, data.get())) > 0) {
            done += got;
            blockDone(static_cast<int>(std::min<std::uint64_t>(done * 100 / total, 100)));
            written = std::fwrite(block.get(), 1, got, out.get()) == got;
        }
        read = !std::ferror(data.get());
    }
    // The stream goes before its buffer.
    written = std::fclose(out.release()) == 0 && written;
    if (!written || !read) {
        // No part of a failed export stays: an appended one is cut back to where it began.
        std::error_code ignored;
        if (m_append && begun >= 0) {
            std::filesystem::resize_file(m_destination, static_cast<std::uintmax_t>(begun),
                                         ignored);
        } else {
            removeFile(m_destination);
        }
        prompter().tell({(read ? kUnableToWrite + shownPath(m_destination)
                               : kUnableToRead + shownPath(dataName)),
                         loadString(kStrFileErrorTitle), MessageKind::kError});
        return;
    }
    setResult(WorkResult::kDone);
}

bool exportAsAscii(Prompter& prompter, ResultsStore& results, const SearchSummary& fields,
                   const std::filesystem::path& destination, bool append, const WorkRunner& run) {
    ExportWork work(prompter, results, fields, destination, append);
    return run(work) == WorkResult::kDone;
}

SaveAsOutcome saveResultsAs(Prompter& prompter, const Settings& settings, ResultsStore& results,
                            const SearchSummary& fields, const std::filesystem::path& chosenName,
                            SaveAsType type, const WorkRunner& run) {
    const bool pairType = type == SaveAsType::kZantricFiles;
    const std::filesystem::path name = withDefaultExtension(
        chosenName, pairType ? "ztr" : (type == SaveAsType::kAsciiFiles ? "asc" : "txt"));
    bool append = false;
    if (fileExists(name)) {
        if (pairType) {
            if (!confirmOverwrite(prompter, name)) return SaveAsOutcome::kCancelled;
        } else {
            const ExportChoice choice = askOverwriteOrAppend(prompter, name);
            if (choice == ExportChoice::kCancel) return SaveAsOutcome::kCancelled;
            append = choice == ExportChoice::kAppend;
        }
    }
    if (isResultsPairName(name)) {
        return saveResultsPair(prompter, settings, results, name, run) ? SaveAsOutcome::kSavedPair
                                                                       : SaveAsOutcome::kFailed;
    }
    return exportAsAscii(prompter, results, fields, name, append, run) ? SaveAsOutcome::kExported
                                                                       : SaveAsOutcome::kFailed;
}

}  // namespace zantric
