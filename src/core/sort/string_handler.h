// StringHandler: the record handler that merges files of sort records (MergeFile<StringHandler>)
// into one sorted file of sort records; equal records are all kept. Each handler owns its input
// file and a read buffer; the step's output (Output) is owned by the merge. Used on the merge's
// worker thread only.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>

#include "core/shell/paths.h"
#include "core/sort/sort_record.h"

namespace zantric {

class StringHandler {
public:
    // The one output file of a merge step, written through a buffer.
    class Output {
    public:
        Output() = default;
        ~Output();
        Output(const Output&) = delete;
        Output& operator=(const Output&) = delete;

    private:
        friend class StringHandler;
        void open(const std::filesystem::path& name);
        void write(const unsigned char* record);
        void flush();

        std::filesystem::path m_name;
        FilePtr m_file;
        std::unique_ptr<unsigned char[]> m_buffer;
        std::size_t m_used = 0;
    };

    // Opens `input` (throws ZantricException "Unable to Open File: " + input when it cannot)
    // and reads its first record; records are later written under `output`.
    StringHandler(const std::filesystem::path& input, std::filesystem::path output);
    StringHandler(const StringHandler&) = delete;
    StringHandler& operator=(const StringHandler&) = delete;

    bool hasCurrent() const { return m_hasCurrent; }
    // The next record; false at the end of the input, a partial last record included.
    bool readNext();
    bool interrupted() const { return false; }
    void writeCurrent(Output& output);
    static void closeOutput(Output& output, const std::filesystem::path& name);

    const unsigned char* current() const { return m_record; }
    bool operator<(const StringHandler& other) const {
        return compareSortRecords(m_record, other.m_record) < 0;
    }

private:
    std::filesystem::path m_inputName;
    FilePtr m_input;
    std::unique_ptr<unsigned char[]> m_buffer;
    std::size_t m_position = 0;
    std::size_t m_end = 0;
    unsigned char m_record[kSortRecordLength] = {};
    bool m_hasCurrent = false;
    std::filesystem::path m_outputName;
};

}  // namespace zantric
