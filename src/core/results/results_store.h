// ResultsStore: the results store behind the results list. Each match of a search is appended at
// once to a pair of files (the match lines behind a ResultsHeader, and the offsets where they
// end; docs/results-format.md), and the list reads them back a row at a time, as many matches a
// row as the list lays out. Owns both open files, their write buffers and the one row buffer.
// append() runs on the search worker and count() may be read from any thread meanwhile; every other
// call belongs to the user-interface thread and never overlaps an append.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/results/results_header.h"
#include "core/shell/cancel_gate.h"
#include "core/shell/paths.h"

namespace zantric {

class Prompter;
class Settings;

inline constexpr int kMaxMatchesPerRow = 1024;  // keeps the row buffer bounded on any width

// Takes a search's match lines as the store gathers them: a block of whole lines at a time, on
// the search worker, in the order they were found (see ResultsStore::setLineSink).
class LineSink {
public:
    virtual void take(std::string_view lines) = 0;

protected:
    ~LineSink() = default;
};

// Why a store took no more matches.
enum class StoreStop {
    kNone,
    kFull,            // the next match would pass the pair's 4 GiB or 2,147,483,647 rows
    kDiskNearlyFull,  // the temporary folder's disk would fall below its reserve
    kLimit            // the match limit was reached
};

class ResultsStore {
public:
    // The process's temporary pair (the names the dictionary catalogue also gives, which the
    // programs delete at the end). Files that cannot be opened, read or deleted are told to
    // `prompter`.
    ResultsStore(const Settings& settings, Prompter& prompter);
    // A store whose temporary pair is the given two names.
    ResultsStore(std::filesystem::path tempDataName, std::filesystem::path tempIndexName,
                 Prompter& prompter);
    // Closes both files and deletes the temporary pair; a saved pair is never deleted.
    ~ResultsStore();
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;

    // Stores one match. With `addLineFeed` the line is the text and a line feed; without it the
    // text's last character (a phrase's trailing separator) becomes the line feed. The first
    // append after a reset creates the pair under the current names. If the pair cannot be
    // created that is reported once and the search's matches are dropped until the next reset.
    // Returns false when the store takes no more matches and the search must stop: the match
    // would not fit (stopped() is kFull), the disk of the pair is nearly full (checked when the
    // pair is made and every few megabytes; kDiskNearlyFull), or it was the limit's last
    // (stored; kLimit). Every few kilobytes it also asks the stop check (false when the
    // search was cancelled; see setStopCheck). Throws
    // ZantricException if a write fails.
    bool append(std::string_view text, bool addLineFeed);
    // What append looks at every few kilobytes: the search's cancel flag (append then gives
    // false) and pause gate (it waits while the gate is held). The search installs its readers'
    // gate; nullptr (the default) never stops. Kept across resets.
    void setStopCheck(CancelGate* gate) { m_gate = gate; }
    // From the next search on, every block of match lines also goes to `sink` (nullptr: none);
    // with `writePair` false the pair is not made at all, and a finished search leaves nothing
    // to read back, no disk space is asked for, no file is touched and the pair's limits do not
    // apply (the count goes on past 2,147,483,647). Kept across resets.
    void setLineSink(LineSink* sink, bool writePair) {
        m_sink = sink;
        m_writePair = writePair || sink == nullptr;
    }
    // Stop after this many matches; 0 for no limit. Kept across resets.
    void setMatchLimit(std::int64_t limit) { m_matchLimit = limit > 0 ? limit : 0; }
    std::int64_t matchLimit() const { return m_matchLimit; }
    // Why the last search's store took no more matches; kNone until then, and after a reset.
    StoreStop stopped() const { return m_stop; }
    // Whether the disk of the temporary pair has room for a search to start.
    bool roomToStart() const;
    // The most data bytes and rows a pair opened for writing after the call may hold, at most
    // (and by default) 4 GiB less one byte and 2,147,483,647. Kept across resets.
    void setCapacity(std::uint64_t dataBytes, std::int64_t rows);
    // Forgets the results shown (closes the files, nothing is deleted): count 0, longest 1,
    // current names the temporary pair. The row buffer stays.
    void reset();
    // Ends a search: when matches were stored, writes the header (Found is the store's count,
    // whatever summary.found says) with the phrase filters the search ran with, and reopens the
    // pair for reading.
    void finish(const SearchSummary& summary, const RecordedFilters& filters = {});
    // Shows a saved pair: the base name with its extension replaced by "ztr" and "zix", opened
    // for reading only. A file that cannot be opened, or a pair whose header and index disagree
    // with its files' sizes, is reported and the previous results stay in view. True when the
    // saved pair is now the current pair.
    bool openSaved(const std::filesystem::path& baseName);
    // The same for a pair of any two names (a finished temporary pair shown again).
    bool openPair(std::filesystem::path dataName, std::filesystem::path indexName);
    // Deletes the files of the current pair (the index only after its data file), reporting
    // each failure, then resets. True when nothing failed.
    bool deleteCurrent();
    // Flushes the data file, so a copy of it is complete.
    void flush();

    // A row of the list: the matches from match `first` on (counted from 0), `count` of them or
    // those left, each followed by a tab; `count` is kept between 1 and kMaxMatchesPerRow. Empty
    // when `first` is not a match, or unless a finished or saved pair is open. Never called while
    // a worker appends (the window's list shows nothing while any dictionary reader is open). The
    // text stays valid until the next call.
    std::string_view rowText(std::int64_t first, std::int32_t count);
    // Appends to `out` the lines of at most `count` matches from match `first` on (counted from
    // 0), each ending in a line feed, read from the data file a block at a time; returns how
    // many lines it appended. Nothing unless a finished or saved pair is open, as for rowText.
    std::int64_t appendMatchLines(std::int64_t first, std::int64_t count, std::string& out);

    // Matches stored (the Found counter); any thread.
    std::int64_t count() const { return m_count.load(std::memory_order_acquire); }
    // The length of the longest match (at least 1; a phrase's trailing separator counts), which
    // bounds the bytes of a row.
    std::int32_t longest() const { return m_longest; }
    // Whether a data file is open (results are being written or shown).
    bool isOpen() const { return m_data != nullptr; }
    const std::filesystem::path& dataName() const { return m_dataName; }
    const std::filesystem::path& indexName() const { return m_indexName; }
    // The header last written by finish() or read by openSaved(); the window shows its fields.
    const ResultsHeader& header() const { return m_header; }

private:
    enum class State { kIdle, kWriting, kReading, kDropping };

    void openForWriting();
    // Opens both files for reading with a report; checks that they make a consistent pair.
    bool openForReading(const std::filesystem::path& dataName,
                        const std::filesystem::path& indexName);
    void loadHeader();
    void measureFiles();
    void closeFiles();
    bool readIndexEntry(std::int64_t position, std::uint32_t& offset);
    // A line longer than a write buffer, written past it.
    void writeLongLine(std::string_view body);
    void writeFailed(const std::filesystem::path& name);
    // The slow path of append: whether a match ending at `end` may be stored.
    bool roomFor(std::uint64_t end);
    void stop(StoreStop why);

    bool stopRequested() const { return m_gate != nullptr && m_gate->stopRequested(); }

    Prompter& m_prompter;
    CancelGate* m_gate = nullptr;
    LineSink* m_sink = nullptr;
    bool m_writePair = true;
    // Writes what the write buffers hold (and hands the lines to the sink); returns the name of
    // a file whose write failed, or nullptr. append reports a failure; closing and finishing leave
    // it to show in the file's size, as a failed flush at fclose would.
    const std::filesystem::path* writeBuffers();

    // Lines and index entries not yet written to the files.
    std::unique_ptr<char[]> m_dataBuffer;
    std::unique_ptr<unsigned char[]> m_indexBuffer;
    std::size_t m_dataPending = 0;
    std::size_t m_indexPending = 0;
    FilePtr m_data;
    FilePtr m_index;
    State m_state = State::kIdle;
    std::int32_t m_longest = 1;
    std::string m_row;  // the text rowText returned last
    std::atomic<std::int64_t> m_count{0};
    std::int64_t m_stored = 0;  // m_count as the writing thread keeps it
    // Where the next line goes; a pair opened for writing starts it behind the header.
    std::uint64_t m_writeOffset = kResultsHeaderSize;
    std::uint64_t m_checkAt = 0;       // a match ending past this offset takes the slow path
    std::uint64_t m_spaceCheckAt = 0;  // a match ending past this offset looks at the disk
    std::uint64_t m_maxOffset = 0;     // the most data bytes of the pair being written
    std::int64_t m_maxRows = 0;        // the most rows of the pair being written
    // What setCapacity gave: 4 GiB less one byte (index entries are 32-bit offsets) and
    // 2,147,483,647 rows (the list counts them in 32 bits).
    std::uint64_t m_capacityBytes = 0xFFFFFFFFu;
    std::int64_t m_capacityRows = 0x7FFFFFFF;
    std::int64_t m_matchLimit = 0;
    StoreStop m_stop = StoreStop::kNone;
    std::uint64_t m_dataSize = 0;      // bytes of the open data file, while reading
    std::uint64_t m_indexEntries = 0;  // whole entries of the open index file, while reading
    std::filesystem::path m_tempDataName;
    std::filesystem::path m_tempIndexName;
    std::filesystem::path m_dataName;
    std::filesystem::path m_indexName;
    ResultsHeader m_header;
};

}  // namespace zantric
