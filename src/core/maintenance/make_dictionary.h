// Make Dictionary From File: a word list (one word a line) is validated, cut into runs of 3000
// sort records that are each sorted in place, the runs are merged, and the merged records are
// compiled into a new dictionary, optionally without the words that the selected dictionaries
// already hold. Three stages, each a ProgressWork run on a worker by the caller's StageRunner;
// the checks, questions and the final replacement of the dictionary run on the caller's (UI)
// thread. Each stage deletes its temporary files when it is cancelled or fails, and an existing
// dictionary is replaced only once its successor is complete.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/dictionary_format.h"
#include "core/shell/paths.h"
#include "core/shell/progress_work.h"

namespace zantric {

class DictionaryWriter;

// Runs one stage (the window's progress dialog, the command line's progress line, or runWork
// in tests) and returns its result: 1 done, 0 failed or cancelled.
using StageRunner = std::function<int(ProgressWork&)>;

// What a maintenance command came to.
enum class MaintenanceOutcome {
    kDone,     // the dictionary is in place and listed
    kStopped,  // a check failed or the user declined; its message was shown; nothing changed
    kFailed,   // a stage failed or was cancelled; nothing changed, no temporary file is left
};

// --- Word lists ----------------------------------------------------------------------------

inline constexpr int kWordListLineLimit = 23;  // longer lines are read in pieces of this size
inline constexpr int kRunSlots = 3000;         // lines of a word list that make one run
inline constexpr int kWordRoom = kMaxWordLetters + 2;  // a valid word: letters, hyphen, NUL

enum class LineKind { kEmpty, kInvalid, kWord };

// Decides, before the word rules, whether a line of a word list is read at all (the starter
// dictionary leaves some words out). Called on the stage's worker for every line.
using LineFilter = bool (*)(std::string_view line);

// Judges one line (without its line break): leading spaces are skipped; the word ends at the
// next space, after which only spaces may follow; it has only letters A-Z a-z and at most one
// hyphen, neither first nor last; at most 20 letters. A valid word is written to `word` (room for
// kWordRoom) with its first letter as it stands and every other letter in lower case.
// A line with no characters at all is kEmpty; a line of spaces is kInvalid.
LineKind validateWordLine(std::string_view line, char* word);

// Reads a word list in lines of at most 23 characters through one buffer; a longer line comes
// in pieces of 23, each a line of its own. A carriage return before a line feed is dropped.
class WordListReader {
public:
    explicit WordListReader(std::FILE* file) : m_file(file) {}

    // The next line, valid until the next call. At the end of the input it gives the
    // characters before the end (possibly none) and sets atEnd(). Throws ZantricException
    // "Unable to read File: " + name on a read error.
    std::string_view next(const std::string& name);
    bool atEnd() const { return m_atEnd; }
    // Bytes of the input consumed so far.
    std::uint64_t consumed() const { return m_consumed; }

private:
    // The byte `ahead` places on, or -1 past the end of the input.
    int peek(std::size_t ahead, const std::string& name);

    static constexpr std::size_t kBufferBytes = 1 << 16;

    std::FILE* m_file;
    std::unique_ptr<unsigned char[]> m_buffer{new unsigned char[kBufferBytes]};
    std::size_t m_position = 0;
    std::size_t m_end = 0;
    bool m_inputEnded = false;
    bool m_atEnd = false;
    std::uint64_t m_consumed = 0;
    char m_line[kWordListLineLimit];
};

// --- The three stages ------------------------------------------------------------------------

// The run files of this copy: the temporary folder + the process's temporary base name +
// "-tmp{{{." + a hexadecimal counter.
std::string runFileBase();
std::string runFilePattern();

// Stage 1, "Validating and Sorting": writes the valid words of the list as sort records into
// runs of up to 3000 line slots (a valid word or an empty line takes a slot) and sorts each run.
// A list without a valid word shows message 152 and fails. Deletes the runs when it fails.
class SortRunsStage : public ProgressWork {
public:
    // Lines that `keepLine` (when given) refuses are skipped as if they were not there.
    explicit SortRunsStage(std::string inputName, LineFilter keepLine = nullptr);
    ~SortRunsStage() override;
    void work() override;
    long validWords() const { return m_validWords; }

private:
    void showPercent(long sortPercent);

    std::string m_inputName;
    LineFilter m_keepLine;
    long m_validWords = 0;
    std::uint64_t m_inputSize = 0;
    std::uint64_t m_consumed = 0;  // input bytes read when the last run was complete
    std::uint64_t m_runStart = 0;  // input bytes read when the current run began
    std::atomic<long> m_sortPercent{0};
};

// Stage 2, "Rebuilding words": merges the runs into the merged file. Deletes the runs whatever
// happens, and the merged file when it fails.
class MergeRunsStage : public ProgressWork {
public:
    MergeRunsStage(std::string mergedName, long wordCount);
    ~MergeRunsStage() override;
    void work() override;

    // Called by the merge for every record it writes (worker thread): progress, the pause and
    // the cancel.
    void recordWritten();
    const std::string& mergedName() const { return m_mergedName; }

private:
    std::string m_mergedName;
    long m_wordCount;
    long m_estimate = 1;
    std::atomic<long> m_counter{0};
    std::function<void()> m_stopMerge;  // set while the merge runs
};

// Stage 3, "Creating Dictionary": compiles the merged file into a temporary dictionary; with
// `uniqueOnly`, a word is kept only when no selected dictionary other than the one at
// `dictionaryPath` holds it. install() then puts it in place. Deletes the merged file whatever
// happens, and the temporary dictionary unless it was installed.
class WriteDictionaryStage : public ProgressWork {
public:
    // Made on the caller's thread: takes the dictionaries to consult from the catalogue.
    WriteDictionaryStage(std::string mergedName, std::string dictionaryPath, bool uniqueOnly,
                         long wordCount);
    ~WriteDictionaryStage() override;
    void work() override;

    // After a successful work(), on the caller's thread: keeps the old dictionary as its "lxb"
    // backup, moves the new one into place and lists it. False (reported) when the move failed;
    // the old dictionary is then back in place.
    bool install();

    const std::string& temporaryName() const { return m_temporaryName; }
    const std::string& mergedName() const { return m_mergedName; }

private:
    // One pass over the records of `input`: each word that none of the `consult` dictionaries
    // holds goes to `records` when given, else to `writer`. False when cancelled.
    bool filterPass(const std::string& input, const std::vector<std::string>& consult,
                    DictionaryWriter* writer, std::FILE* records, long total);

    std::string m_mergedName;
    std::string m_dictionaryPath;
    long m_wordCount;
    std::string m_temporaryName;
    std::vector<std::string> m_consult;  // files of the dictionaries to check words against
    std::vector<std::string> m_passFiles;
    long m_processed = 0;
    bool m_installed = false;
};

// --- The command ------------------------------------------------------------------------------

// The file of the dictionary called `name` (dictionaryFileName) in the dictionaries folder; ""
// for a name the rule refuses.
std::string dictionaryPathFor(std::string_view name);

// Whether a typed dictionary name passes the rule of dictionaryFileName; when it does not, beeps
// and shows the rule's text, titled "Input Error".
bool checkDictionaryName(std::string_view name, const void* owner = nullptr);

// Whether a dictionary file is already there (under its catalogue path or, for a file the
// catalogue lists under a name of another case, that file).
bool dictionaryExists(const std::string& path);

// Before "Add Unique Words Only" can be used: with no dictionary selected shows message 153
// ("No Dictionaries Selected") and returns false.
bool uniqueWordsPossible();

// Replaces the dictionary at `path` by the complete dictionary `temporaryName`: the old one is
// kept as its "lxb" backup (a failure is reported and the work goes on), the new one flushed to
// the disk, renamed over the old one and listed anew; the path names one complete dictionary at
// every instant. If the move fails: message 330, the old dictionary stays, the temporary file is
// deleted, and the result is false.
bool installDictionary(const std::string& temporaryName, const std::string& path);

// The OK button of Make Dictionary From File: refuses while another copy runs (420), checks
// both names (message 73, the dictionary name rule), the word list
// (321), asks before overwriting a dictionary (322), then runs the three stages. The caller shows
// "Dictionary Created Successfully" (907) on kDone. `keepLine`, when given, leaves lines of the
// word list out before the word rules.
MaintenanceOutcome makeDictionary(const std::string& fileName, const std::string& dictionaryName,
                                  bool uniqueOnly, const StageRunner& run,
                                  LineFilter keepLine = nullptr);

}  // namespace zantric
