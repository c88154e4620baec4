#include "core/results/results_store.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>
#include <utility>

#include "core/shell/folder_lock.h"
#include "core/shell/little_endian.h"
#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"

namespace zantric {
namespace {

constexpr const char* kUnableToDelete = "Unable to delete file: ";
constexpr const char* kNotResultsFile = " is not a Zantric results file.";
constexpr const char* kUnableToWrite = "Unable to write file: ";

// Matches are gathered in these and written a block at a time, so that a search makes a system
// call only every few thousand matches.
constexpr std::size_t kDataWriteBuffer = 64 * 1024;
constexpr std::size_t kIndexWriteBuffer = 16 * 1024;
constexpr std::int32_t kMaxLongest = std::numeric_limits<std::int16_t>::max();
// Index entries are unsigned 32-bit offsets; the list counts rows in 32 bits.
constexpr std::uint64_t kMaxOffset = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t kMaxRows = std::numeric_limits<std::int32_t>::max();

// Matches that come without any word read (the replay of a remembered sub-search) would pass
// no reader's look at the cancel flag and the pause gate: the store looks at them whenever
// another kPollEvery bytes of match lines have been written, well within 100 ms.
constexpr std::uint64_t kPollEvery = 64 << 10;
// The free space of the pair's disk is looked at when the pair is made and whenever another
// kSpaceCheckEvery bytes of match lines have been written, or sooner when the reserve is near.
constexpr std::uint64_t kSpaceCheckEvery = 2 << 20;
// The disk keeps this much free: 512 MiB, or 5 % of a smaller file system.
constexpr std::uint64_t kDiskReserve = std::uint64_t{512} << 20;
constexpr std::uint64_t kDiskReservePercent = 5;
// What the files take beyond their bytes: the header written last, and the part-used last block
// of each file.
constexpr std::uint64_t kFileSlack = 16 << 10;

// The bytes that may still be written to the disk holding `folder` before its free space falls
// below the reserve. A disk whose free space cannot be read is taken to have room.
std::uint64_t roomAboveReserve(const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::space_info space =
        std::filesystem::space(folder.empty() ? std::filesystem::path(".") : folder, error);
    if (error) return std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t reserve =
        std::min<std::uint64_t>(kDiskReserve, space.capacity / 100 * kDiskReservePercent);
    return space.available > reserve ? space.available - reserve : 0;
}

std::uint64_t fileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return 0;
    long size = std::ftell(file);
    return static_cast<std::uint64_t>(std::max(size, 0L));
}

// Whether a pair's header and index agree with the sizes of its files, as in every pair this
// program writes: the marker, one index entry more than Found, at least a line feed's byte of
// data for each match, and entries that start at the lines and end at the end of the data file.
// A pair that claims more than its files hold is refused before a single row is read.
bool consistentPair(std::FILE* data, std::FILE* index) {
    const std::uint64_t dataSize = fileSize(data);
    const std::uint64_t indexSize = fileSize(index);
    unsigned char head[kFoundOffset + 4];
    if (dataSize < kResultsHeaderSize || std::fseek(data, 0, SEEK_SET) != 0 ||
        std::fread(head, 1, sizeof head, data) != sizeof head ||
        readU32(head + kMarkerOffset) != kResultsMarker) {
        return false;
    }
    const auto found = static_cast<std::int32_t>(readU32(head + kFoundOffset));
    if (found < 0 || indexSize % kIndexEntrySize != 0 ||
        indexSize / kIndexEntrySize != std::uint64_t(found) + 1 ||
        std::uint64_t(found) > dataSize - kResultsHeaderSize) {
        return false;
    }
    unsigned char first[kIndexEntrySize];
    unsigned char last[kIndexEntrySize];
    return std::fseek(index, 0, SEEK_SET) == 0 &&
           std::fread(first, 1, sizeof first, index) == sizeof first &&
           std::fseek(index, static_cast<long>(indexSize - kIndexEntrySize), SEEK_SET) == 0 &&
           std::fread(last, 1, sizeof last, index) == sizeof last &&
           readU32(first) == kResultsHeaderSize && readU32(last) == dataSize;
}

}  // namespace

ResultsStore::ResultsStore(const Settings& settings, Prompter& prompter)
    : ResultsStore(tempFileName(settings, kResultsDataExtension),
                   tempFileName(settings, kResultsIndexExtension), prompter) {}

ResultsStore::ResultsStore(std::filesystem::path tempDataName, std::filesystem::path tempIndexName,
                           Prompter& prompter)
    : m_prompter(prompter),
      m_dataBuffer(std::make_unique_for_overwrite<char[]>(kDataWriteBuffer)),
      m_indexBuffer(std::make_unique_for_overwrite<unsigned char[]>(kIndexWriteBuffer)),
      m_tempDataName(std::move(tempDataName)),
      m_tempIndexName(std::move(tempIndexName)),
      m_dataName(m_tempDataName),
      m_indexName(m_tempIndexName) {}

ResultsStore::~ResultsStore() {
    closeFiles();
    if (fileExists(m_tempDataName)) removeFile(m_tempDataName);
    if (fileExists(m_tempIndexName)) removeFile(m_tempIndexName);
}

const std::filesystem::path* ResultsStore::writeBuffers() {
    const std::size_t data = std::exchange(m_dataPending, 0);
    const std::size_t index = std::exchange(m_indexPending, 0);
    const std::filesystem::path* failed = nullptr;
    if (data != 0 && m_sink) m_sink->take(std::string_view(m_dataBuffer.get(), data));
    if (data != 0 && m_data && std::fwrite(m_dataBuffer.get(), 1, data, m_data.get()) != data) {
        failed = &m_dataName;
    }
    if (index != 0 && m_index &&
        std::fwrite(m_indexBuffer.get(), 1, index, m_index.get()) != index && !failed) {
        failed = &m_indexName;
    }
    return failed;
}

void ResultsStore::closeFiles() {
    writeBuffers();
    m_data.reset();
    m_index.reset();
}

void ResultsStore::setCapacity(std::uint64_t dataBytes, std::int64_t rows) {
    m_capacityBytes = std::min(dataBytes, kMaxOffset);
    m_capacityRows = std::min(rows, kMaxRows);
}

bool ResultsStore::roomToStart() const {
    return !m_writePair || roomAboveReserve(m_tempDataName.parent_path()) > kFileSlack;
}

void ResultsStore::reset() {
    closeFiles();
    m_state = State::kIdle;
    m_stop = StoreStop::kNone;
    m_longest = 1;
    m_stored = 0;
    m_count.store(0, std::memory_order_release);
    m_dataSize = 0;
    m_indexEntries = 0;
    m_dataName = m_tempDataName;
    m_indexName = m_tempIndexName;
}

void ResultsStore::openForWriting() {
    m_stored = 0;
    m_count.store(0, std::memory_order_release);
    m_stop = StoreStop::kNone;
    m_maxOffset = m_capacityBytes;
    m_maxRows = m_capacityRows;
    m_checkAt = 0;  // the first match looks at the disk
    m_spaceCheckAt = 0;
    m_state = State::kDropping;
    m_dataPending = 0;
    m_indexPending = 0;
    if (!m_writePair) {
        // Only the sink takes the lines: no disk is written to, so none can fill up, and no
        // 32-bit index or row count has to hold them.
        m_writeOffset = kResultsHeaderSize;
        m_maxOffset = std::numeric_limits<std::uint64_t>::max();
        m_maxRows = std::numeric_limits<std::int64_t>::max();
        m_spaceCheckAt = std::numeric_limits<std::uint64_t>::max();
        m_state = State::kWriting;
        return;
    }
    m_data = fileOpenWithReport(m_prompter, m_dataName, "w+b");
    if (!m_data) return;
    // The store buffers its writes itself (writeBuffers), a block at a time.
    std::setvbuf(m_data.get(), nullptr, _IONBF, 0);
    // The header is written by finish(); the lines start behind its place.
    std::fseek(m_data.get(), static_cast<long>(kResultsHeaderSize), SEEK_SET);
    m_writeOffset = kResultsHeaderSize;
    m_index = fileOpenWithReport(m_prompter, m_indexName, "w+b");
    if (!m_index) {
        m_data.reset();
        return;
    }
    std::setvbuf(m_index.get(), nullptr, _IONBF, 0);
    unsigned char entry[kIndexEntrySize];
    writeU32(entry, static_cast<std::uint32_t>(m_writeOffset));
    if (std::fwrite(entry, 1, sizeof entry, m_index.get()) != sizeof entry) {
        writeFailed(m_indexName);
    }
    m_state = State::kWriting;
}

void ResultsStore::writeFailed(const std::filesystem::path& name) {
    m_state = State::kDropping;
    throw ZantricException(writeFailureText(kUnableToWrite, name));
}

void ResultsStore::stop(StoreStop why) {
    m_stop = why;
    m_checkAt = 0;  // every later match takes the slow path, which refuses it
}

bool ResultsStore::roomFor(std::uint64_t end) {
    if (m_stop != StoreStop::kNone) return false;
    if (end > m_maxOffset || m_stored >= m_maxRows) {
        stop(StoreStop::kFull);
        return false;
    }
    if (end <= m_checkAt) return true;
    // Cancelled: the search unwinds, storing nothing more. Not a stop of the store's own.
    if (stopRequested()) return false;
    if (end > m_spaceCheckAt) {
        // Until the next look the disk takes what the write buffers hold, the lines up to it
        // and an index entry for each line, at most twice its bytes (a line has at least two).
        const std::uint64_t room = roomAboveReserve(m_dataName.parent_path());
        const std::uint64_t unwritten = m_dataPending + m_indexPending + kFileSlack;
        const std::uint64_t lines = room > unwritten ? (room - unwritten) / 3 : 0;
        if (end - m_writeOffset > lines) {
            stop(StoreStop::kDiskNearlyFull);
            return false;
        }
        m_spaceCheckAt = m_writeOffset + std::min(kSpaceCheckEvery, lines);
    }
    m_checkAt = std::min({m_maxOffset, m_spaceCheckAt, m_writeOffset + kPollEvery});
    return true;
}

bool ResultsStore::append(std::string_view text, bool addLineFeed) {
    // A search appends only after a reset; appending to a pair being shown would change it.
    assert(m_state != State::kReading && "results: append without reset");
    if (m_state == State::kIdle) openForWriting();
    if (m_state != State::kWriting) {
        return m_state == State::kDropping && !stopRequested();
    }

    // Bytes of the text that go before the line feed.
    std::size_t body = addLineFeed || text.empty() ? text.size() : text.size() - 1;
    const std::uint64_t end = m_writeOffset + body + 1;
    if ((end > m_checkAt || m_stored >= m_maxRows) && !roomFor(end)) return false;
    std::size_t length = std::min<std::size_t>(text.size(), kMaxLongest);
    m_longest = std::max(m_longest, static_cast<std::int32_t>(length));
    if (body + 1 > kDataWriteBuffer - m_dataPending ||
        kIndexEntrySize > kIndexWriteBuffer - m_indexPending) {
        if (const std::filesystem::path* failed = writeBuffers()) writeFailed(*failed);
    }
    if (body + 1 <= kDataWriteBuffer) {
        char* line = m_dataBuffer.get() + m_dataPending;
        std::memcpy(line, text.data(), body);
        line[body] = '\n';
        m_dataPending += body + 1;
    } else {
        writeLongLine(text.substr(0, body));
    }
    m_writeOffset += body + 1;
    writeU32(m_indexBuffer.get() + m_indexPending, static_cast<std::uint32_t>(m_writeOffset));
    m_indexPending += kIndexEntrySize;
    m_count.store(++m_stored, std::memory_order_release);
    if (m_stored == m_matchLimit) {
        stop(StoreStop::kLimit);
        return false;
    }
    return true;
}

void ResultsStore::writeLongLine(std::string_view body) {
    if (m_sink) m_sink->take(std::string(body) + '\n');
    if (m_data && (std::fwrite(body.data(), 1, body.size(), m_data.get()) != body.size() ||
                   std::fputc('\n', m_data.get()) == EOF)) {
        writeFailed(m_dataName);
    }
}

void ResultsStore::finish(const SearchSummary& summary, const RecordedFilters& filters) {
    // After a failed write the lines stored before it are still worth showing.
    if (count() == 0 || (m_state != State::kWriting && m_state != State::kDropping)) return;

    writeBuffers();
    if (!m_writePair) {
        m_state = State::kIdle;  // nothing to read back
        return;
    }
    m_data.reset();
    m_data = fileOpenWithReport(m_prompter, m_dataName, "r+b");
    if (m_data) {
        SearchSummary stored = summary;
        stored.found = count();
        m_header = ResultsHeader::fromSummary(stored, m_longest);
        m_header.filters = filters;
        std::array<unsigned char, kResultsHeaderSize> bytes;
        m_header.toBytes(bytes);
        std::fseek(m_data.get(), 0, SEEK_SET);
        std::fwrite(bytes.data(), 1, bytes.size(), m_data.get());
        std::fflush(m_data.get());
    }
    m_index.reset();
    m_index = fileOpenWithReport(m_prompter, m_indexName, "r+b");
    // Rows need both files; the matches stay counted, and shown empty, without them.
    if (m_data && m_index) {
        m_state = State::kReading;
        measureFiles();
    } else {
        closeFiles();
        m_state = State::kIdle;
    }
}

void ResultsStore::measureFiles() {
    m_dataSize = fileSize(m_data.get());
    m_indexEntries = fileSize(m_index.get()) / kIndexEntrySize;
}

bool ResultsStore::openForReading(const std::filesystem::path& dataName,
                                  const std::filesystem::path& indexName) {
    // Showing a pair writes nothing, so a read-only pair can be shown.
    FilePtr data = fileOpenWithReport(m_prompter, dataName, "rb");
    if (!data) return false;
    FilePtr index = fileOpenWithReport(m_prompter, indexName, "rb");
    if (!index) return false;
    if (!consistentPair(data.get(), index.get())) {
        m_prompter.tell({shownPath(dataName) + kNotResultsFile, loadString(kStrFileErrorTitle),
                         MessageKind::kError});
        return false;
    }
    m_data = std::move(data);
    m_index = std::move(index);
    return true;
}

void ResultsStore::loadHeader() {
    measureFiles();
    std::array<unsigned char, kResultsHeaderSize> bytes{};
    std::fseek(m_data.get(), 0, SEEK_SET);
    if (std::fread(bytes.data(), 1, bytes.size(), m_data.get()) != bytes.size()) {
        closeFiles();
        m_state = State::kIdle;
        return;
    }
    m_header = ResultsHeader::fromBytes(bytes);
    m_longest = std::max<std::int32_t>(m_header.longest, 1);
    // A header may claim more matches than the index holds; only those with both ends listed
    // can be shown.
    std::uint64_t listed = m_indexEntries > 0 ? m_indexEntries - 1 : 0;
    std::int64_t found = std::max<std::int32_t>(m_header.found, 0);
    m_count.store(static_cast<std::int64_t>(std::min<std::uint64_t>(found, listed)),
                  std::memory_order_release);
    m_writeOffset = m_dataSize;
    m_state = State::kReading;
}

bool ResultsStore::openSaved(const std::filesystem::path& baseName) {
    return openPair(replaceExtension(baseName, "ztr"), replaceExtension(baseName, "zix"));
}

bool ResultsStore::openPair(std::filesystem::path dataName, std::filesystem::path indexName) {
    const bool hadData = m_data != nullptr;
    closeFiles();
    m_state = State::kIdle;

    bool opened;
    {
        // A copy saving over the pair replaces its two files under the folder's lock: both
        // are opened before either can change, so that the pair is the old one or the new one.
        const FolderLock lock(dataName.parent_path(), FolderLock::Mode::kShared);
        opened = openForReading(dataName, indexName);
    }
    if (opened) {
        m_dataName = std::move(dataName);
        m_indexName = std::move(indexName);
    } else if (hadData) {
        openForReading(m_dataName, m_indexName);
    }
    if (m_data) {
        loadHeader();
    } else {
        m_count.store(0, std::memory_order_release);
    }
    return opened && m_state == State::kReading;
}

bool ResultsStore::deleteCurrent() {
    closeFiles();
    m_state = State::kIdle;
    // The pair goes as one under the folder's lock (see openSaved); a failure is told after.
    const std::filesystem::path* failed = nullptr;
    {
        const FolderLock lock(m_dataName.parent_path(), FolderLock::Mode::kExclusive);
        if (fileExists(m_dataName)) {
            if (!removeFile(m_dataName)) {
                failed = &m_dataName;
            } else if (fileExists(m_indexName) && !removeFile(m_indexName)) {
                failed = &m_indexName;
            }
        }
    }
    if (failed) {
        m_prompter.tell({kUnableToDelete + shownPath(*failed), loadString(kStrFileErrorTitle),
                         MessageKind::kWarning});
    }
    reset();
    return failed == nullptr;
}

void ResultsStore::flush() {
    writeBuffers();
    if (m_data) std::fflush(m_data.get());
}

bool ResultsStore::readIndexEntry(std::int64_t position, std::uint32_t& offset) {
    if (position < 0 || static_cast<std::uint64_t>(position) >= m_indexEntries) return false;
    unsigned char entry[kIndexEntrySize];
    if (std::fseek(m_index.get(), static_cast<long>(position * kIndexEntrySize), SEEK_SET) != 0 ||
        std::fread(entry, 1, sizeof entry, m_index.get()) != sizeof entry) {
        return false;
    }
    offset = readU32(entry);
    return true;
}

std::string_view ResultsStore::rowText(std::int64_t first, std::int32_t count) {
    const std::int64_t matches = this->count();
    if (m_state != State::kReading || first < 0 || first >= matches) return {};
    count = std::clamp(count, 1, kMaxMatchesPerRow);
    // The most bytes the row may hold: each match and its line feed, at most the longest.
    const std::size_t limit = static_cast<std::size_t>(m_longest + 1) * count;
    m_row.resize(limit);
    char* buffer = m_row.data();
    const std::int64_t last = std::min<std::int64_t>(first + count, matches);
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    if (!readIndexEntry(first, start) || !readIndexEntry(last, end)) return {};
    // Offsets come from a file: keep them inside the match lines and the row inside the buffer.
    std::uint64_t stop = std::min<std::uint64_t>(end, m_dataSize);
    if (start < kResultsHeaderSize || start >= stop) return {};
    std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(stop - start, limit));
    if (std::fseek(m_data.get(), static_cast<long>(start), SEEK_SET) != 0) return {};
    std::size_t got = std::fread(buffer, 1, wanted, m_data.get());
    std::replace(buffer, buffer + got, '\n', '\t');
    return std::string_view(buffer, got);
}

std::int64_t ResultsStore::appendMatchLines(std::int64_t first, std::int64_t count,
                                            std::string& out) {
    const std::int64_t matches = this->count();
    if (m_state != State::kReading || first < 0 || first >= matches || count <= 0) return 0;
    count = std::min(count, matches - first);
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    if (!readIndexEntry(first, start) || !readIndexEntry(first + count, end)) return 0;
    // Offsets come from a file: the bytes stay inside the match lines, and the line feeds
    // counted, not the offsets, say where the last line wanted ends.
    const std::uint64_t stop = std::min<std::uint64_t>(end, m_dataSize);
    if (start < kResultsHeaderSize || start >= stop ||
        std::fseek(m_data.get(), static_cast<long>(start), SEEK_SET) != 0) {
        return 0;
    }
    const std::size_t before = out.size();
    std::uint64_t left = stop - start;
    std::int64_t lines = 0;
    while (left > 0 && lines < count) {
        const std::size_t from = out.size();
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(left, kDataWriteBuffer));
        out.resize(from + wanted);
        const std::size_t got = std::fread(out.data() + from, 1, wanted, m_data.get());
        out.resize(from + got);
        if (got == 0) break;
        left -= got;
        const char* const last = out.data() + out.size();
        for (const char* at = out.data() + from;
             (at = static_cast<const char*>(
                  std::memchr(at, '\n', static_cast<std::size_t>(last - at)))) != nullptr;
             ++at) {
            if (++lines == count) {
                out.resize(static_cast<std::size_t>(at + 1 - out.data()));
                break;
            }
        }
    }
    // A last line cut short by a damaged file still ends in a line feed.
    if (out.size() > before && out.back() != '\n') {
        out += '\n';
        ++lines;
    }
    return lines;
}

}  // namespace zantric
