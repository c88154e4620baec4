#include "core/maintenance/make_dictionary.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"
#include "core/maintenance/file_sort.h"
#include "core/maintenance/merge_estimate.h"
#include "core/maintenance/merge_file.h"
#include "core/maintenance/merge_progress.h"
#include "core/maintenance/program_session.h"
#include "core/maintenance/run_file_name.h"
#include "core/maintenance/sort_record.h"
#include "core/maintenance/string_handler.h"
#include "core/shell/file_replace.h"
#include "core/shell/messages.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"

namespace zantric {
namespace {

constexpr int kRecordsPerRead = 1024;
// Words that compare equal in the word order but differ: the same letters with the hyphen in
// different places, at most 19 for 20 letters.
constexpr int kEqualWordsKept = kMaxWordLetters;

[[noreturn]] void cannotOpen(const std::string& name) {
    throw ZantricException(loadString(kStrUnableToOpenFile) + shownPath(name));
}
[[noreturn]] void cannotRead(const std::string& name) {
    throw ZantricException("Unable to read File: " + shownPath(name));
}

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

void removeIfPresent(const std::string& name) {
    if (!name.empty() && fileExists(name)) removeFile(name);
}

// A dictionary read in step with a stream of words in the word order: holds(word) tells whether
// the dictionary has the word, reading each of its words once. The words that compare equal to
// each other (hyphen in different places) are kept together, since either may be asked for.
class DictionaryCursor {
public:
    explicit DictionaryCursor(const std::string& file) : m_reader(file, false, kReadBuffer) {
        m_hasNext = m_reader.nextMatch(m_next, "*") == kMatchFound;
        loadGroup();
    }

    // `word` must not come before the word of the previous call.
    bool holds(const char* word) {
        while (m_groupSize > 0 && compareWords(m_group[0], word) < 0) loadGroup();
        if (m_groupSize == 0 || compareWords(m_group[0], word) != 0) return false;
        for (int i = 0; i < m_groupSize; ++i) {
            if (std::strcmp(m_group[i], word) == 0) return true;
        }
        return false;
    }

private:
    static constexpr std::size_t kReadBuffer = 5120;

    void loadGroup() {
        m_groupSize = 0;
        if (!m_hasNext) return;
        std::memcpy(m_group[m_groupSize++], m_next, kOutWordSize);
        for (;;) {
            m_hasNext = m_reader.nextMatch(m_next, nullptr) == kMatchFound;
            if (!m_hasNext || compareWords(m_next, m_group[0]) != 0) return;
            // A damaged file may repeat a word without end: the group stays bounded.
            if (m_groupSize < kEqualWordsKept)
                std::memcpy(m_group[m_groupSize++], m_next, kOutWordSize);
        }
    }

    DictionaryReader m_reader;
    char m_next[kOutWordSize] = {};
    bool m_hasNext = false;
    char m_group[kEqualWordsKept][kOutWordSize] = {};
    int m_groupSize = 0;
};

using RunHandler = ReportingHandler<StringHandler, MergeRunsStage>;

}  // namespace

// --- Word lists ----------------------------------------------------------------------------

LineKind validateWordLine(std::string_view line, char* word) {
    if (line.empty()) return LineKind::kEmpty;
    std::size_t at = 0;
    while (at < line.size() && line[at] == ' ') ++at;
    std::size_t end = at;
    while (end < line.size() && line[end] != ' ') ++end;
    for (std::size_t rest = end; rest < line.size(); ++rest) {
        if (line[rest] != ' ') return LineKind::kInvalid;
    }
    const std::string_view candidate = line.substr(at, end - at);
    if (candidate.empty() || candidate.size() > static_cast<std::size_t>(kSortWordPlaces)) {
        return LineKind::kInvalid;
    }
    int hyphens = 0;
    for (char c : candidate) {
        if (c == '-') {
            ++hyphens;
        } else if (!isLetter(c)) {
            return LineKind::kInvalid;
        }
    }
    if (hyphens > 1 || candidate.front() == '-' || candidate.back() == '-') {
        return LineKind::kInvalid;
    }
    if (hyphens == 0 && candidate.size() > static_cast<std::size_t>(kSortWordPlaces - 1)) {
        return LineKind::kInvalid;
    }
    word[0] = candidate[0];
    for (std::size_t i = 1; i < candidate.size(); ++i) word[i] = lower(candidate[i]);
    word[candidate.size()] = '\0';
    return LineKind::kWord;
}

int WordListReader::peek(std::size_t ahead, const std::string& name) {
    if (m_position + ahead >= m_end && !m_inputEnded) {
        const std::size_t left = m_end - m_position;
        std::memmove(m_buffer.get(), m_buffer.get() + m_position, left);
        m_position = 0;
        m_end = left;
        const std::size_t got = std::fread(m_buffer.get() + m_end, 1, kBufferBytes - m_end, m_file);
        if (std::ferror(m_file)) cannotRead(name);
        m_end += got;
        if (got == 0) m_inputEnded = true;
    }
    return m_position + ahead < m_end ? m_buffer[m_position + ahead] : -1;
}

std::string_view WordListReader::next(const std::string& name) {
    std::size_t length = 0;
    for (;;) {
        const int c = peek(0, name);
        if (c < 0) {
            m_atEnd = true;
            break;
        }
        // A line break: "\n", or "\r\n" as a text-mode read sees it.
        const int breakLength = c == '\n' ? 1 : (c == '\r' && peek(1, name) == '\n') ? 2 : 0;
        if (breakLength > 0) {
            m_position += breakLength;
            m_consumed += breakLength;
            break;
        }
        // A full piece of a longer line ends here; its rest is the next line.
        if (length == static_cast<std::size_t>(kWordListLineLimit)) break;
        m_line[length++] = static_cast<char>(c);
        ++m_position;
        ++m_consumed;
    }
    return std::string_view(m_line, length);
}

// --- Stage 1 -----------------------------------------------------------------------------------

// This copy's own runs: a make of another copy, or one that ended abnormally, has runs of its own.
std::string runFileBase() { return tempBaseName() + "-tmp{{{."; }

std::string runFilePattern() {
    return Settings::instance().tempFolder() + "\\" + runFileBase() + "*";
}

SortRunsStage::SortRunsStage(std::string inputName, LineFilter keepLine)
    : m_inputName(std::move(inputName)), m_keepLine(keepLine) {
    setText(loadString(kStrValidating));
}

SortRunsStage::~SortRunsStage() {
    if (result() != 1) deleteMatching(runFilePattern());
}

void SortRunsStage::showPercent(long sortPercent) {
    if (m_inputSize == 0) {
        setPercent(0);
        return;
    }
    const std::uint64_t done =
        m_runStart + (m_consumed - m_runStart) * static_cast<std::uint64_t>(sortPercent) / 100;
    setPercent(static_cast<int>(std::min<std::uint64_t>(done * 100 / m_inputSize, 100)));
}

void SortRunsStage::work() {
    FilePtr input = openFile(m_inputName, "rb");
    if (!input) cannotOpen(m_inputName);
    std::error_code error;
    const auto size = std::filesystem::file_size(nativePath(m_inputName), error);
    m_inputSize = error ? 0 : static_cast<std::uint64_t>(size);
    m_validWords = 0;
    m_consumed = m_runStart = 0;
    // Runs left behind by an earlier make of this copy that could not delete them would join
    // this list.
    deleteMatching(runFilePattern());

    auto reader = std::make_unique<WordListReader>(input.get());
    auto block = std::make_unique<unsigned char[]>(kRunSlots * kSortRecordLength);
    const std::string runBase = runFileBase();
    std::uint64_t runs = 0;
    char word[kWordRoom];
    for (;;) {
        if (reader->atEnd()) {
            if (m_validWords == 0) {
                messageBox(kStrNoValidWords, kStrWarningTitle, kMbOkInformation);
                setResult(0);
            }
            return;
        }
        const std::string runName = Settings::instance().tempPath(runFileName(runBase, ++runs));
        FilePtr run = openFile(runName, "wb");
        if (!run) cannotOpen(runName);
        m_runStart = m_consumed;
        std::size_t records = 0;
        for (int slot = 0; slot < kRunSlots && !reader->atEnd();) {
            if (poll()) return;
            const std::string_view line = reader->next(m_inputName);
            if (m_keepLine && !m_keepLine(line)) continue;
            switch (validateWordLine(line, word)) {
                case LineKind::kEmpty:
                    ++slot;
                    break;
                case LineKind::kInvalid:
                    break;
                case LineKind::kWord:
                    makeSortRecord(word, block.get() + records * kSortRecordLength);
                    ++records;
                    ++m_validWords;
                    ++slot;
                    break;
            }
        }
        const std::size_t bytes = records * kSortRecordLength;
        const bool written = std::fwrite(block.get(), 1, bytes, run.get()) == bytes;
        if (std::fclose(run.release()) != 0 || !written) cannotOpen(runName);
        m_consumed = reader->consumed();
        showPercent(0);
        FileSort(runName, kSortRecordLength, compareSortRecords, &m_sortPercent).sort();
        showPercent(100);
    }
}

// --- Stage 2 -----------------------------------------------------------------------------------

MergeRunsStage::MergeRunsStage(std::string mergedName, long wordCount)
    : m_mergedName(std::move(mergedName)), m_wordCount(wordCount) {
    setText(loadString(kStrRebuilding));
}

MergeRunsStage::~MergeRunsStage() {
    deleteMatching(runFilePattern());
    if (result() != 1) removeIfPresent(m_mergedName);
}

void MergeRunsStage::recordWritten() {
    const long written = m_counter.load(std::memory_order_relaxed);
    if ((written & 0xFF) == 0) setPercent(mergePercent(written, m_estimate));
    if (poll() && m_stopMerge) m_stopMerge();
}

void MergeRunsStage::work() {
    MergeFile<RunHandler> merge(runFilePattern(), m_mergedName, &m_counter);
    m_estimate = runMergeEstimate(m_wordCount);
    m_stopMerge = [&merge] { merge.cancel(); };
    bool merged = false;
    if (!poll()) {
        ReportingScope<RunHandler, MergeRunsStage> scope(this);
        merged = merge.merge();
    }
    m_stopMerge = nullptr;
    setResult(merged && !cancelRequested() ? 1 : 0);
}

// --- Stage 3 -----------------------------------------------------------------------------------

WriteDictionaryStage::WriteDictionaryStage(std::string mergedName, std::string dictionaryPath,
                                           bool uniqueOnly, long wordCount)
    : m_mergedName(std::move(mergedName)),
      m_dictionaryPath(std::move(dictionaryPath)),
      m_wordCount(wordCount) {
    setText(loadString(kStrCreating));
    if (!uniqueOnly) return;
    for (const CatalogueEntry& entry : Catalogue::instance().entries()) {
        if (entry.selected() && entry.path() != m_dictionaryPath) {
            m_consult.push_back(entry.filePath());
        }
    }
}

WriteDictionaryStage::~WriteDictionaryStage() {
    if (!m_installed) removeIfPresent(m_temporaryName);
    for (const std::string& name : m_passFiles) removeIfPresent(name);
    removeIfPresent(m_mergedName);
}

void WriteDictionaryStage::work() {
    m_temporaryName = uniqueTempName();
    DictionaryWriter writer(m_temporaryName);
    // Every open reader counts against the reader limit, so many selected dictionaries are
    // checked in several passes, each but the last writing the words still unique to a file of
    // records.
    const std::size_t perPass = static_cast<std::size_t>(kMaxReaders);
    const std::size_t passes = m_consult.empty() ? 1 : (m_consult.size() + perPass - 1) / perPass;
    const long total = std::max(1L, m_wordCount) * static_cast<long>(passes);
    m_processed = 0;
    std::string input = m_mergedName;
    for (std::size_t pass = 0; pass < passes; ++pass) {
        const std::size_t from = std::min(m_consult.size(), pass * perPass);
        const std::size_t to = std::min(m_consult.size(), from + perPass);
        const std::vector<std::string> consult(
            m_consult.begin() + static_cast<std::ptrdiff_t>(from),
            m_consult.begin() + static_cast<std::ptrdiff_t>(to));
        const bool lastPass = pass + 1 == passes;
        std::string recordsName;
        FilePtr records;
        if (!lastPass) {
            recordsName = uniqueTempName();
            m_passFiles.push_back(recordsName);
            records = openFile(recordsName, "wb");
            if (!records) cannotOpen(recordsName);
        }
        if (!filterPass(input, consult, lastPass ? &writer : nullptr, records.get(), total)) {
            return;  // cancelled: the destructor deletes what was written
        }
        if (records) {
            const bool flushed = std::fflush(records.get()) == 0 && !std::ferror(records.get());
            if (std::fclose(records.release()) != 0 || !flushed) cannotOpen(recordsName);
        }
        if (input != m_mergedName) removeIfPresent(input);
        input = recordsName;
    }
    if (!writer.close()) {
        throw ZantricException("Unable to create Dictionary: " + shownPath(m_temporaryName));
    }
    setPercent(100);
}

bool WriteDictionaryStage::filterPass(const std::string& input,
                                      const std::vector<std::string>& consult,
                                      DictionaryWriter* writer, std::FILE* records, long total) {
    FilePtr in = openFile(input, "rb");
    if (!in) cannotOpen(input);
    std::vector<std::unique_ptr<DictionaryCursor>> cursors;
    cursors.reserve(consult.size());
    for (const std::string& file : consult)
        cursors.push_back(std::make_unique<DictionaryCursor>(file));
    auto block = std::make_unique<unsigned char[]>(kRecordsPerRead * kSortRecordLength);
    OnceEach once;
    char word[kWordRoom];
    for (;;) {
        const std::size_t got =
            std::fread(block.get(), kSortRecordLength, kRecordsPerRead, in.get());
        if (std::ferror(in.get())) cannotRead(input);
        for (std::size_t i = 0; i < got; ++i) {
            if (poll()) return false;
            if ((++m_processed & 0xFF) == 0) setPercent(mergePercent(m_processed, total));
            const unsigned char* record = block.get() + i * kSortRecordLength;
            sortRecordWord(record, word);
            const bool held = std::any_of(cursors.begin(), cursors.end(),
                                          [&](const auto& cursor) { return cursor->holds(word); });
            if (held) continue;
            if (records) {
                // A failed write leaves the stream's error set, which the caller checks.
                std::fwrite(record, kSortRecordLength, 1, records);
            } else if (once.firstTime(word)) {
                writer->addWord(word);
            }
        }
        if (got < static_cast<std::size_t>(kRecordsPerRead)) return true;
    }
}

bool WriteDictionaryStage::install() {
    m_installed = installDictionary(m_temporaryName, m_dictionaryPath);
    return m_installed;
}

// --- The command ------------------------------------------------------------------------------

std::string dictionaryPathFor(std::string_view name) {
    const std::string file = dictionaryFileName(name);
    return file.empty() ? file : Settings::instance().dictionaryPath(file);
}

bool checkDictionaryName(std::string_view name, const void* owner) {
    std::string refusal;
    if (!dictionaryFileName(name, &refusal).empty()) return true;
    beep();
    messageBoxText(refusal, loadString(kStrInputErrorTitle), kMbOk, owner);
    return false;
}

bool dictionaryExists(const std::string& path) {
    if (fileExists(path)) return true;
    const CatalogueEntry* entry = Catalogue::instance().find(path);
    return entry && fileExists(entry->filePath());
}

bool uniqueWordsPossible() {
    if (Catalogue::instance().selectedCount() > 0) return true;
    messageBox(kStrCannotCheckUnique, kStrNoDictionarySelectedTitle, kMbOk);
    return false;
}

bool installDictionary(const std::string& temporaryName, const std::string& path) {
    Catalogue& catalogue = Catalogue::instance();
    // The catalogue may list the dictionary under a file whose name differs in case.
    std::string listedFile;
    if (const CatalogueEntry* entry = catalogue.find(path); entry && entry->filePath() != path) {
        listedFile = entry->filePath();
    }
    // A fresh program folder has no dictionaries folder yet.
    if (const std::string folder = folderPart(path); !folder.empty() && !fileExists(folder)) {
        std::error_code ignored;
        std::filesystem::create_directories(nativePath(folder), ignored);
    }
    // The old dictionary keeps its name until the new one takes it in one rename.
    if (!replaceFile(temporaryName, path, true)) {
        messageBoxText(loadString(kStrUnableToRename) + shownPath(temporaryName),
                       loadString(kStrFileErrorTitle), kMbOkStop);
        removeIfPresent(temporaryName);
        return false;
    }
    std::error_code error;
    if (!listedFile.empty() && fileExists(listedFile) &&
        !std::filesystem::equivalent(nativePath(listedFile), nativePath(path), error)) {
        keepBackup(listedFile);
    }
    catalogue.remove(path);
    catalogue.add(path);
    return true;
}

MaintenanceOutcome makeDictionary(const std::string& fileName, const std::string& dictionaryName,
                                  bool uniqueOnly, const StageRunner& run, LineFilter keepLine) {
    if (!ProgramSession::onlyCopyRunning()) return MaintenanceOutcome::kStopped;
    if (fileName.empty() || dictionaryName.empty()) {
        messageBox(kStrNamesMissing, kStrErrorTitle, kMbOk);
        return MaintenanceOutcome::kStopped;
    }
    // Before any work: a name that cannot make a file would fail only at the very end.
    if (!checkDictionaryName(dictionaryName)) return MaintenanceOutcome::kStopped;
    const std::string path = dictionaryPathFor(dictionaryName);
    // A word list is read to its end: a folder, a FIFO or a device is not one.
    if (!isRegularFile(fileName)) {
        messageBoxText(loadString(kStrUnableToFindFile) + shownPath(fileName),
                       loadString(kStrErrorTitle), kMbOk);
        return MaintenanceOutcome::kStopped;
    }
    if (dictionaryExists(path) &&
        messageBox(kStrDictionaryExists, kStrWarningTitle, kMbYesNo) != kIdYes) {
        return MaintenanceOutcome::kStopped;
    }

    long words = 0;
    {
        SortRunsStage sorting(fileName, keepLine);
        if (run(sorting) != 1) return MaintenanceOutcome::kFailed;
        words = sorting.validWords();
    }
    const std::string merged = uniqueTempName();
    {
        MergeRunsStage building(merged, words);
        if (run(building) != 1) return MaintenanceOutcome::kFailed;
    }
    WriteDictionaryStage creating(merged, path, uniqueOnly, words);
    if (run(creating) != 1) return MaintenanceOutcome::kFailed;
    return creating.install() ? MaintenanceOutcome::kDone : MaintenanceOutcome::kFailed;
}

}  // namespace zantric
