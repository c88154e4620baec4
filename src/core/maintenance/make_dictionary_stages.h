// The three stages of Make Dictionary From File, each a ProgressWork whose work() runs on a
// worker (the caller's StageRunner) while text(), percent() and cancelWork() may be called from
// the user-interface thread: a word list is cut into sorted runs of 3000 sort records, the runs
// are merged, and the merged records are compiled into a new dictionary. Each stage deletes its
// temporary files when it is cancelled or fails; constructors, destructors and install() run on
// the caller's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/dictionary/spellings.h"
#include "core/dictionary/workspace.h"
#include "core/shell/progress_work.h"
#include "core/sort/merge_work.h"
#include "core/sort/word_list_reader.h"

namespace zantric {

class DictionaryWriter;

inline constexpr int kRunSlots = 3000;  // lines of a word list that make one run

// Stage 1, "Validating and Sorting": writes the valid words of the list as sort records into
// runs of up to 3000 line slots (a valid word or an empty line takes a slot) and sorts each run,
// noting in its report what each line came to. A list without a valid word shows message 152
// and fails. Deletes the runs when it fails.
class SortRunsStage : public ProgressWork {
public:
    // Lines that `keepLine` (when given) refuses are skipped as if they were not there.
    // The words are read in `language` (judgeWordLine).
    SortRunsStage(Workspace workspace, std::filesystem::path inputName,
                  LineFilter keepLine = nullptr, Language language = Language::kEnglish);
    ~SortRunsStage() override;
    void work() override;
    long validWords() const { return m_validWords; }
    // What the lines came to; readToEnd tells whether all were read (a list without a word
    // fails after it has been read to its end, a cancel or a read error on the way).
    const WordListReport& report() const { return m_report; }
    // In a language that folds, after work(): every word line's spelling, finished.
    Spellings takeSpellings() { return std::move(m_spellings); }

private:
    void showPercent(long sortPercent);
    // Reads the lines of one run, up to its 3000 slots or the end of the input, writing the
    // words' sort records to `block` and counting them in `records`. False when cancelled.
    bool readRun(WordListReader& reader, unsigned char* block, std::size_t& records);

    Workspace m_workspace;
    std::filesystem::path m_inputName;
    LineFilter m_keepLine;
    Language m_language;
    long m_validWords = 0;
    WordListReport m_report;
    Spellings m_spellings;
    std::uint64_t m_inputSize = 0;
    std::uint64_t m_consumed = 0;  // input bytes read when the last run was complete
    std::uint64_t m_runStart = 0;  // input bytes read when the current run began
    std::atomic<long> m_sortPercent{0};
};

// Stage 2, "Rebuilding words": merges the runs of `wordCount` words into the merged file.
// Deletes the runs whatever happens, and the merged file when it fails.
class MergeRunsStage : public MergeWork {
public:
    MergeRunsStage(Prompter& prompter, const Settings& settings, std::filesystem::path mergedName,
                   long wordCount);
    ~MergeRunsStage() override;
    void work() override;

    const std::filesystem::path& mergedName() const { return m_mergedName; }

private:
    const Settings& m_settings;
    std::filesystem::path m_mergedName;
};

// Stage 3, "Creating Dictionary": compiles the merged file into a temporary dictionary; with
// `uniqueOnly`, a word is kept only when no selected dictionary other than the one at
// `dictionaryPath` holds it. install() then puts it in place. Deletes the merged file whatever
// happens, and the temporary dictionary unless it was installed.
class WriteDictionaryStage : public ProgressWork {
public:
    // Made on the caller's thread: takes the dictionaries to consult from the catalogue.
    WriteDictionaryStage(Workspace workspace, std::filesystem::path mergedName,
                         std::filesystem::path dictionaryPath, bool uniqueOnly, long wordCount);
    ~WriteDictionaryStage() override;
    void work() override;

    // After a successful work(), on the caller's thread: keeps the old dictionary as its "lxb"
    // backup, moves the new one into place and lists it. A failure leaves the old dictionary in
    // place.
    Status install();

    const std::filesystem::path& temporaryName() const { return m_temporaryName; }
    const std::filesystem::path& mergedName() const { return m_mergedName; }
    // After work(): the words written, the repeats of a word, and the records that a selected
    // dictionary holds.
    std::uint64_t written() const { return m_written; }
    std::uint64_t repeated() const { return m_repeated; }
    std::uint64_t held() const { return m_held; }

private:
    // One pass over the records of `input`: each word that none of the `consult` dictionaries
    // holds goes to `records` when given, else to `writer`. False when cancelled.
    bool filterPass(const std::filesystem::path& input,
                    const std::vector<std::filesystem::path>& consult, DictionaryWriter* writer,
                    std::FILE* records, long total);

    Workspace m_workspace;
    std::filesystem::path m_mergedName;
    std::filesystem::path m_dictionaryPath;
    long m_wordCount;
    std::filesystem::path m_temporaryName;
    std::vector<std::filesystem::path>
        m_consult;  // files of the dictionaries to check words against
    std::vector<std::filesystem::path> m_passFiles;
    long m_processed = 0;
    std::uint64_t m_written = 0;
    std::uint64_t m_repeated = 0;
    std::uint64_t m_held = 0;
    bool m_installed = false;
};

}  // namespace zantric
