// DictionaryWriter: the only writer of compiled dictionary files. One object per file: words
// go in one by one in compareWords order, close() writes the index and header. Until close()
// the file on disk is an empty dictionary in front of growing data, so writers build into a
// temporary file and move it into place afterwards. One thread at a time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dictionary/dictionary_format.h"

namespace zantric {

// Creates or truncates `name` as an empty dictionary (2096 bytes, every index entry 2096,
// Created now). Throws ZantricException "Unable to create Dictionary: " + name on failure.
void createEmptyFile(const std::filesystem::path& name);

// Seconds since 1970 as the header stores them.
std::uint32_t currentTime32();

class DictionaryWriter {
public:
    explicit DictionaryWriter(const std::filesystem::path& name);
    ~DictionaryWriter();
    DictionaryWriter(const DictionaryWriter&) = delete;
    DictionaryWriter& operator=(const DictionaryWriter&) = delete;

    // Appends one word (hyphen and capital in place, 1 to kMaxWordLetters letters a-z). A word
    // equal to the word given just before it is skipped. Returns false, writing nothing, for a word
    // that cannot be stored (empty, too long, or characters outside a-z once processed).
    bool addWord(const char* word);
    bool addWord(const std::string& word) { return addWord(word.c_str()); }
    // Writes the index and the header and closes the file. Returns false if a write failed.
    bool close();

    std::uint32_t wordCount() const { return m_wordCount; }
    const std::filesystem::path& name() const { return m_name; }

private:
    void put(unsigned char b);
    void flush();
    void setEntriesUpTo(int entryExclusive);

    std::filesystem::path m_name;
    std::FILE* m_file = nullptr;
    std::vector<unsigned char> m_buffer;  // output buffer, flushed when full
    std::size_t m_buffered = 0;
    std::uint32_t m_offset = kDataOffset;  // file offset of the next byte written
    bool m_writeFailed = false;

    char m_previous[kMaxWordLetters + 2] = {};  // the previous word as passed in
    int m_group = 1;                            // current group length
    char m_block = 'a';                         // current block letter
    int m_groupOpening = 0;                     // length of the last word that opened a group
    std::uint32_t m_index[kIndexEntries] = {};
    std::uint32_t m_wordCount = 0;
    bool m_closed = false;
};

}  // namespace zantric
