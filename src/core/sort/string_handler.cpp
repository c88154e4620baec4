#include "core/sort/string_handler.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "core/shell/paths.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"

namespace zantric {
namespace {

// Whole records, so a refill never splits one.
constexpr std::size_t kBufferBytes = 2730 * kSortRecordLength;

[[noreturn]] void fileFailed(const std::filesystem::path& name) {
    throw ZantricException(writeFailureText(loadString(kStrUnableToOpenFile), name));
}

}  // namespace

StringHandler::StringHandler(const std::filesystem::path& input, std::filesystem::path output)
    : m_inputName(input),
      m_input(openFile(input, "rb")),
      m_buffer(new unsigned char[kBufferBytes]),
      m_outputName(std::move(output)) {
    if (!m_input) fileFailed(input);
    m_hasCurrent = readNext();
}

bool StringHandler::readNext() {
    if (m_end - m_position < static_cast<std::size_t>(kSortRecordLength)) {
        const std::size_t left = m_end - m_position;
        std::memmove(m_buffer.get(), m_buffer.get() + m_position, left);
        const std::size_t read =
            std::fread(m_buffer.get() + left, 1, kBufferBytes - left, m_input.get());
        // A read error is not the end of the input: the merge must not finish as if it were.
        if (std::ferror(m_input.get())) fileFailed(m_inputName);
        m_position = 0;
        m_end = left + read;
        if (m_end < static_cast<std::size_t>(kSortRecordLength)) return false;
    }
    std::memcpy(m_record, m_buffer.get() + m_position, kSortRecordLength);
    // The word must end inside the record, whatever the file held.
    m_record[kSortRecordLength - 1] = 0;
    m_position += kSortRecordLength;
    return true;
}

void StringHandler::writeCurrent(Output& output) {
    if (!output.m_file) output.open(m_outputName);
    output.write(m_record);
}

void StringHandler::closeOutput(Output& output, const std::filesystem::path& name) {
    if (!output.m_file) output.open(name);  // a step without records leaves an empty file
    output.flush();
    if (std::fclose(output.m_file.release()) != 0) fileFailed(output.m_name);
}

StringHandler::Output::~Output() = default;

void StringHandler::Output::open(const std::filesystem::path& name) {
    m_name = name;
    m_file = openFile(name, "wb");
    if (!m_file) fileFailed(name);
    if (!m_buffer) m_buffer.reset(new unsigned char[kBufferBytes]);
    m_used = 0;
}

void StringHandler::Output::write(const unsigned char* record) {
    if (m_used + kSortRecordLength > kBufferBytes) flush();
    std::memcpy(m_buffer.get() + m_used, record, kSortRecordLength);
    m_used += kSortRecordLength;
}

void StringHandler::Output::flush() {
    if (m_used > 0 && std::fwrite(m_buffer.get(), 1, m_used, m_file.get()) != m_used) {
        fileFailed(m_name);
    }
    m_used = 0;
}

}  // namespace zantric
