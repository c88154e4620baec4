// FileSort: sorts a file of fixed-length records in place, one block of 3000 records at a time,
// alternating blocks that start at record 0 with blocks that start at record 1500 until a pass
// moves nothing. Owns the open file and its two block buffers; memory does not grow with the
// file. Made, sorted once and destroyed on one worker thread; the progress figure it writes may
// be read from any thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <memory>

#include "core/shell/paths.h"

namespace zantric {

inline constexpr int kSortBlockRecords = 3000;  // records sorted together in memory

class FileSort {
public:
    // Negative, zero or positive; given two records of the file.
    using Compare = int (*)(const unsigned char* a, const unsigned char* b);

    // Opens `name` for update. `progress` (may be null) receives the percentage 0-99 at the
    // start of each pass. Throws ZantricException "Unable to Open File: " + name on failure.
    FileSort(const std::filesystem::path& name, int recordLength, Compare compare,
             std::atomic<long>* progress);
    FileSort(const FileSort&) = delete;
    FileSort& operator=(const FileSort&) = delete;

    // Sorts the whole file. A trailing partial record is left where it is. Throws
    // ZantricException when the file cannot be read or written.
    void sort();

    // Blocks of 3000 records in the file, rounded up; a sort makes at most blockCount() + 1
    // passes.
    unsigned blockCount() const { return m_blockCount; }

private:
    // Sorts every block that starts at record `start` + k * 3000.
    void sortBlocks(long start);
    // Sorts m_pointers[0, count) with m_scratch as the merge buffer.
    void sortPointers(std::size_t count);
    [[noreturn]] void fail() const;

    std::filesystem::path m_name;
    FilePtr m_file;
    bool m_changed = false;
    std::size_t m_recordLength;
    Compare m_compare;
    std::atomic<long>* m_progress;
    unsigned m_blockCount = 0;
    std::unique_ptr<const unsigned char*[]> m_pointers;  // 3000 record pointers
    std::unique_ptr<const unsigned char*[]> m_scratch;   // 3000 more for the merge steps
    std::unique_ptr<unsigned char[]> m_block;            // the records read
    std::unique_ptr<unsigned char[]> m_sorted;           // the records in their new order
};

}  // namespace zantric
