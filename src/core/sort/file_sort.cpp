#include "core/sort/file_sort.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/shell/paths.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"

namespace zantric {
namespace {

constexpr std::size_t kInsertionRun = 16;  // runs sorted by insertion before merging

}  // namespace

FileSort::FileSort(const std::filesystem::path& name, int recordLength, Compare compare,
                   std::atomic<long>* progress)
    : m_name(name),
      m_file(openFile(name, "r+b")),
      m_recordLength(static_cast<std::size_t>(recordLength > 0 ? recordLength : 1)),
      m_compare(compare),
      m_progress(progress),
      m_pointers(new const unsigned char*[kSortBlockRecords]),
      m_scratch(new const unsigned char*[kSortBlockRecords]),
      m_block(new unsigned char[kSortBlockRecords * m_recordLength]),
      m_sorted(new unsigned char[kSortBlockRecords * m_recordLength]) {
    if (!m_file) fail();
    std::error_code error;
    const auto size = std::filesystem::file_size(name, error);
    const std::uintmax_t blockBytes = kSortBlockRecords * m_recordLength;
    if (!error) m_blockCount = static_cast<unsigned>((size + blockBytes - 1) / blockBytes);
}

void FileSort::fail() const {
    throw ZantricException(writeFailureText(loadString(kStrUnableToOpenFile), m_name));
}

void FileSort::sort() {
    for (unsigned pass = 0; pass <= m_blockCount; ++pass) {
        m_changed = false;
        if (m_progress) m_progress->store(static_cast<long>(pass * 100ul / (m_blockCount + 1ul)));
        sortBlocks(0);
        if (!m_changed) break;
        // Blocks overlapping the previous ones by half let records cross block borders.
        sortBlocks(kSortBlockRecords / 2);
    }
}

void FileSort::sortBlocks(long start) {
    std::FILE* file = m_file.get();
    if (std::fseek(file, start * static_cast<long>(m_recordLength), SEEK_SET) != 0) fail();
    for (;;) {
        const long position = std::ftell(file);
        const std::size_t count =
            std::fread(m_block.get(), m_recordLength, kSortBlockRecords, file);
        if (std::ferror(file)) fail();
        if (count > 0) {
            for (std::size_t i = 0; i < count; ++i) {
                m_pointers[i] = m_block.get() + i * m_recordLength;
            }
            sortPointers(count);
            bool moved = false;
            for (std::size_t i = 0; i < count && !moved; ++i) {
                moved = m_pointers[i] != m_block.get() + i * m_recordLength;
            }
            // A block already in order is left as it is on disk.
            if (moved) {
                m_changed = true;
                for (std::size_t i = 0; i < count; ++i) {
                    std::memcpy(m_sorted.get() + i * m_recordLength, m_pointers[i], m_recordLength);
                }
                if (std::fseek(file, position, SEEK_SET) != 0 ||
                    std::fwrite(m_sorted.get(), m_recordLength, count, file) != count ||
                    std::fseek(file, 0, SEEK_CUR) != 0) {  // from writing back to reading
                    fail();
                }
            }
        }
        if (count < static_cast<std::size_t>(kSortBlockRecords)) break;
    }
    std::rewind(file);
}

// A stable merge sort: records that compare equal keep their places, so a sorted block is seen
// as unchanged, and every index stays in range whatever the comparison says about damaged
// records.
void FileSort::sortPointers(std::size_t count) {
    const unsigned char** from = m_pointers.get();
    const unsigned char** to = m_scratch.get();
    for (std::size_t low = 0; low < count; low += kInsertionRun) {
        const std::size_t high = std::min(count, low + kInsertionRun);
        for (std::size_t i = low + 1; i < high; ++i) {
            const unsigned char* record = from[i];
            std::size_t j = i;
            for (; j > low && m_compare(from[j - 1], record) > 0; --j) from[j] = from[j - 1];
            from[j] = record;
        }
    }
    for (std::size_t width = kInsertionRun; width < count; width *= 2) {
        for (std::size_t low = 0; low < count; low += 2 * width) {
            const std::size_t middle = std::min(count, low + width);
            const std::size_t high = std::min(count, low + 2 * width);
            std::size_t left = low;
            std::size_t right = middle;
            std::size_t out = low;
            while (left < middle && right < high) {
                to[out++] = m_compare(from[right], from[left]) < 0 ? from[right++] : from[left++];
            }
            while (left < middle) to[out++] = from[left++];
            while (right < high) to[out++] = from[right++];
        }
        std::swap(from, to);
    }
    if (from != m_pointers.get()) std::memcpy(m_pointers.get(), from, count * sizeof(*from));
}

}  // namespace zantric
