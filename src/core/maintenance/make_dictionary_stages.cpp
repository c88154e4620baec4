#include "core/maintenance/make_dictionary_stages.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"
#include "core/maintenance/new_dictionary.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"
#include "core/sort/file_sort.h"
#include "core/sort/merge_estimate.h"
#include "core/sort/run_file_name.h"
#include "core/sort/sort_record.h"
#include "core/sort/string_handler.h"

namespace zantric {
namespace {

constexpr int kRecordsPerRead = 1024;
// Words that compare equal in the word order but differ: the same letters with the hyphen in
// different places, at most 19 for 20 letters.
constexpr int kEqualWordsKept = kMaxWordLetters;

[[noreturn]] void cannotOpen(const std::filesystem::path& name) {
    throw ZantricException(writeFailureText(loadString(kStrUnableToOpenFile), name));
}
[[noreturn]] void cannotRead(const std::filesystem::path& name) {
    throw ZantricException("Unable to read File: " + shownPath(name));
}

void removeIfPresent(const std::filesystem::path& name) {
    if (!name.empty() && fileExists(name)) removeFile(name);
}

// A dictionary read in step with a stream of words in the word order: holds(word) tells whether
// the dictionary has the word, reading each of its words once. The words that compare equal to
// each other (hyphen in different places) are kept together, since either may be asked for.
class DictionaryCursor {
public:
    explicit DictionaryCursor(const std::filesystem::path& file)
        : m_reader(m_reads, file, false, kReadBuffer) {
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

    ReadControl m_reads;
    DictionaryReader m_reader;
    char m_next[kOutWordSize] = {};
    bool m_hasNext = false;
    char m_group[kEqualWordsKept][kOutWordSize] = {};
    int m_groupSize = 0;
};

}  // namespace

// --- Stage 1 -----------------------------------------------------------------------------------

SortRunsStage::SortRunsStage(Workspace workspace, std::filesystem::path inputName,
                             LineFilter keepLine, Language language)
    : ProgressWork(workspace.prompter),
      m_workspace(workspace),
      m_inputName(std::move(inputName)),
      m_keepLine(keepLine),
      m_language(language) {
    setText(loadString(kStrValidating));
}

SortRunsStage::~SortRunsStage() {
    if (result() != WorkResult::kDone) deleteMatching(runFilePattern(m_workspace.settings));
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

bool SortRunsStage::readRun(WordListReader& reader, unsigned char* block, std::size_t& records) {
    char word[kWordRoom];
    std::string_view written;
    for (int slot = 0; slot < kRunSlots && !reader.atEnd();) {
        if (poll()) return false;
        const std::string_view line = reader.next(m_inputName);
        // The end of the input right after a line break ends no line.
        const bool noLine = line.empty() && reader.atEnd();
        if (m_keepLine && !m_keepLine(line)) {
            ++m_report.leftOut;
            continue;
        }
        const WordFault fault = judgeWordLine(line, word, m_language, &written);
        if (fault == WordFault::kNone) {
            if (foldsLetters(m_language)) m_spellings.add(word, written);
            makeSortRecord(word, block + records * kSortRecordLength);
            ++records;
            ++m_validWords;
            ++m_report.wordLines;
        } else if (!noLine) {
            m_report.skip(fault, reader.lineNumber(), line, reader.cut());
        }
        // A word and an empty line each take a slot; a line of spaces or any other line that
        // is no word does not.
        if (fault == WordFault::kNone || line.empty()) ++slot;
    }
    return true;
}

void SortRunsStage::work() {
    FilePtr input = openFile(m_inputName, "rb");
    if (!input) cannotOpen(m_inputName);
    std::error_code error;
    const auto size = std::filesystem::file_size(m_inputName, error);
    m_inputSize = error ? 0 : static_cast<std::uint64_t>(size);
    m_validWords = 0;
    m_report = WordListReport();
    m_spellings = Spellings();
    m_consumed = m_runStart = 0;
    // Runs left behind by an earlier make of this copy that could not delete them would join
    // this list.
    deleteMatching(runFilePattern(m_workspace.settings));

    auto reader = std::make_unique<WordListReader>(input.get());
    auto block = std::make_unique<unsigned char[]>(kRunSlots * kSortRecordLength);
    const std::string runBase = runFileBase(m_workspace.settings);
    std::uint64_t runs = 0;
    for (;;) {
        if (reader->atEnd()) {
            m_report.readToEnd = true;
            m_spellings.finish();
            if (m_validWords == 0) {
                m_workspace.prompter.ask(Message::fromIds(kStrNoValidWords, kStrWarningTitle,
                                                          MessageKind::kInformation));
                setResult(WorkResult::kFailed);
            }
            return;
        }
        const std::filesystem::path runName =
            m_workspace.settings.tempPath(runFileName(runBase, ++runs));
        FilePtr run = openFile(runName, "wb");
        if (!run) cannotOpen(runName);
        m_runStart = m_consumed;
        std::size_t records = 0;
        if (!readRun(*reader, block.get(), records)) return;
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

MergeRunsStage::MergeRunsStage(Prompter& prompter, const Settings& settings,
                               std::filesystem::path mergedName, long wordCount)
    : MergeWork(prompter, settings, runMergeEstimate(wordCount)),
      m_settings(settings),
      m_mergedName(std::move(mergedName)) {
    setText(loadString(kStrRebuilding));
}

MergeRunsStage::~MergeRunsStage() {
    deleteMatching(runFilePattern(m_settings));
    if (result() != WorkResult::kDone) removeIfPresent(m_mergedName);
}

void MergeRunsStage::work() { mergeWith<StringHandler>(runFilePattern(m_settings), m_mergedName); }

// --- Stage 3 -----------------------------------------------------------------------------------

WriteDictionaryStage::WriteDictionaryStage(Workspace workspace, std::filesystem::path mergedName,
                                           std::filesystem::path dictionaryPath, bool uniqueOnly,
                                           long wordCount)
    : ProgressWork(workspace.prompter),
      m_workspace(workspace),
      m_mergedName(std::move(mergedName)),
      m_dictionaryPath(std::move(dictionaryPath)),
      m_wordCount(wordCount) {
    setText(loadString(kStrCreating));
    if (!uniqueOnly) return;
    for (const CatalogueEntry& entry : m_workspace.catalogue.entries()) {
        if (entry.selected() && entry.path().native() != m_dictionaryPath.native()) {
            m_consult.push_back(entry.filePath());
        }
    }
}

WriteDictionaryStage::~WriteDictionaryStage() {
    if (!m_installed) removeIfPresent(m_temporaryName);
    for (const std::filesystem::path& name : m_passFiles) removeIfPresent(name);
    removeIfPresent(m_mergedName);
}

void WriteDictionaryStage::work() {
    m_temporaryName = uniqueTempName(m_workspace.settings);
    DictionaryWriter writer(m_temporaryName);
    // Every open reader counts against the reader limit, so many selected dictionaries are
    // checked in several passes, each but the last writing the words still unique to a file of
    // records.
    const std::size_t perPass = static_cast<std::size_t>(kMaxReaders);
    const std::size_t passes = m_consult.empty() ? 1 : (m_consult.size() + perPass - 1) / perPass;
    const long total = std::max(1L, m_wordCount) * static_cast<long>(passes);
    m_processed = 0;
    m_written = m_repeated = m_held = 0;
    std::filesystem::path input = m_mergedName;
    for (std::size_t pass = 0; pass < passes; ++pass) {
        const std::size_t from = std::min(m_consult.size(), pass * perPass);
        const std::size_t to = std::min(m_consult.size(), from + perPass);
        const std::vector<std::filesystem::path> consult(
            m_consult.begin() + static_cast<std::ptrdiff_t>(from),
            m_consult.begin() + static_cast<std::ptrdiff_t>(to));
        const bool lastPass = pass + 1 == passes;
        std::filesystem::path recordsName;
        FilePtr records;
        if (!lastPass) {
            recordsName = uniqueTempName(m_workspace.settings);
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
        if (input.native() != m_mergedName.native()) removeIfPresent(input);
        input = recordsName;
    }
    if (!writer.close()) {
        throw ZantricException("Unable to create Dictionary: " + shownPath(m_temporaryName));
    }
    setPercent(100);
}

bool WriteDictionaryStage::filterPass(const std::filesystem::path& input,
                                      const std::vector<std::filesystem::path>& consult,
                                      DictionaryWriter* writer, std::FILE* records, long total) {
    FilePtr in = openFile(input, "rb");
    if (!in) cannotOpen(input);
    std::vector<std::unique_ptr<DictionaryCursor>> cursors;
    cursors.reserve(consult.size());
    for (const std::filesystem::path& file : consult)
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
            if (held) {
                ++m_held;
                continue;
            }
            if (records) {
                // A failed write leaves the stream's error set, which the caller checks.
                std::fwrite(record, kSortRecordLength, 1, records);
            } else if (once.firstTime(word)) {
                writer->addWord(word);
                ++m_written;
            } else {
                ++m_repeated;
            }
        }
        if (got < static_cast<std::size_t>(kRecordsPerRead)) return true;
    }
}

Status WriteDictionaryStage::install() {
    Status installed = installDictionary(m_workspace, m_temporaryName, m_dictionaryPath);
    m_installed = installed.ok();
    return installed;
}

}  // namespace zantric
