#include "core/dictionary/dictionary_writer.h"

#include <cassert>
#include <chrono>
#include <cstring>

#include "core/dictionary/word_codec.h"
#include "core/shell/paths.h"
#include "core/shell/zantric_exception.h"

namespace zantric {

namespace {
constexpr std::size_t kOutputBuffer = 64 * 1024;

[[noreturn]] void throwCreateFailure(const std::filesystem::path& name) {
    throw ZantricException(writeFailureText("Unable to create Dictionary: ", name));
}

bool isLowerLetter(char c) { return c >= 'a' && c <= 'z'; }
}  // namespace

std::uint32_t currentTime32() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<seconds>(system_clock::now().time_since_epoch()).count());
}

void createEmptyFile(const std::filesystem::path& name) {
    FilePtr file = openFile(name, "wb");
    if (!file) throwCreateFailure(name);
    unsigned char bytes[kDataOffset];
    for (int i = 0; i < kIndexEntries; ++i) writeU32(bytes + 4 * i, kDataOffset);
    DictionaryHeader header;
    header.created = currentTime32();
    header.toBytes(bytes + kHeaderOffset);
    const bool written = std::fwrite(bytes, 1, sizeof bytes, file.get()) == sizeof bytes;
    if (std::fclose(file.release()) != 0 || !written) throwCreateFailure(name);
}

DictionaryWriter::DictionaryWriter(const std::filesystem::path& name) : m_name(name) {
    createEmptyFile(name);
    m_file = openFile(name, "r+b").release();
    if (!m_file || std::fseek(m_file, static_cast<long>(kDataOffset), SEEK_SET) != 0) {
        if (m_file) std::fclose(m_file);
        m_file = nullptr;
        throwCreateFailure(name);
    }
    m_buffer.resize(kOutputBuffer);
    m_index[indexEntry(1, 'a')] = kDataOffset;
}

DictionaryWriter::~DictionaryWriter() {
    if (!m_closed) close();
}

void DictionaryWriter::put(unsigned char b) {
    if (m_buffered == m_buffer.size()) flush();
    m_buffer[m_buffered++] = b;
    ++m_offset;
}

void DictionaryWriter::flush() {
    if (m_buffered == 0) return;
    if (std::fwrite(m_buffer.data(), 1, m_buffered, m_file) != m_buffered) m_writeFailed = true;
    m_buffered = 0;
}

void DictionaryWriter::setEntriesUpTo(int entryExclusive) {
    for (int e = indexEntry(m_group, m_block) + 1; e < entryExclusive; ++e) m_index[e] = m_offset;
}

bool DictionaryWriter::addWord(const char* word) {
    assert(!m_closed && "DictionaryWriter: addWord after close");
    if (m_closed) return false;
    const std::size_t passedLength = std::strlen(word);
    if (passedLength == 0 || passedLength > kMaxWordLetters + 1) return false;
    if (std::strcmp(word, m_previous) == 0) return true;

    // The processed word: the first hyphen taken out, the first letter lower-cased.
    char processed[kMaxWordLetters + 2];
    int hyphen = -1;
    int length = 0;
    for (std::size_t i = 0; i < passedLength; ++i) {
        if (word[i] == '-' && hyphen < 0) {
            hyphen = static_cast<int>(i);
            continue;
        }
        if (length == kMaxWordLetters) return false;
        processed[length++] = word[i];
    }
    processed[length] = '\0';
    bool capital = false;
    if (length > 0 && !isLowerLetter(processed[0]) && processed[0] >= 'A' && processed[0] <= 'Z') {
        capital = true;
        processed[0] = static_cast<char>(processed[0] - 'A' + 'a');
    }
    if (length == 0) return false;
    for (int i = 0; i < length; ++i) {
        if (!isLowerLetter(processed[i])) return false;
    }

    ++m_wordCount;
    int prefix = 0;
    if (length <= m_groupOpening) {
        while (prefix < length && processed[prefix] == m_previous[prefix]) ++prefix;
    } else {
        m_groupOpening = length;
    }

    unsigned char codes[kMaxWordLetters];  // a code byte holds one or two letters
    const int codeCount = encodeTail(processed + prefix, length - prefix, codes);

    while (m_group < length) {
        setEntriesUpTo(indexEntry(m_group, 'z') + 1);
        put(kGroupEnd);
        ++m_group;
        m_block = 'a';
        m_index[indexEntry(m_group, 'a')] = m_offset;
    }
    while (processed[0] > m_block) {
        ++m_block;
        m_index[indexEntry(m_group, m_block)] = m_offset;
    }

    put(static_cast<unsigned char>(prefix * 4 + (capital ? 2 : 0) + (hyphen >= 0 ? 1 : 0)));
    if (hyphen >= 0) put(static_cast<unsigned char>(hyphen));
    for (int i = 0; i < codeCount; ++i) put(codes[i]);

    std::memcpy(m_previous, word, passedLength + 1);
    return true;
}

bool DictionaryWriter::close() {
    if (m_closed) return !m_writeFailed;
    m_closed = true;
    setEntriesUpTo(kIndexEntries);
    flush();

    unsigned char head[kDataOffset];
    for (int i = 0; i < kIndexEntries; ++i) writeU32(head + 4 * i, m_index[i]);
    DictionaryHeader header;
    header.created = currentTime32();
    header.wordCount = m_wordCount;
    header.toBytes(head + kHeaderOffset);
    if (std::fseek(m_file, 0, SEEK_SET) != 0 ||
        std::fwrite(head, 1, sizeof head, m_file) != sizeof head) {
        m_writeFailed = true;
    }
    if (std::fclose(m_file) != 0) m_writeFailed = true;
    m_file = nullptr;
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    return !m_writeFailed;
}

}  // namespace zantric
