// DictionaryMergeHandler: the record handler that merges compiled dictionaries word by word
// (MergeFile<DictionaryMergeHandler>) straight into a new compiled dictionary; a word held by
// several inputs is stored once, also when words that compare equal to it (the hyphen in other
// places) come between its copies. Each
// handler owns the reader of its input dictionary; the step's writer (Output) is owned by the
// merge. Used on the merge's worker thread only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"

namespace zantric {

class DictionaryMergeHandler {
public:
    // The writer of a merge step's dictionary, made on the first word.
    class Output {
    private:
        friend class DictionaryMergeHandler;
        std::unique_ptr<DictionaryWriter> m_writer;
        OnceEach m_once;
    };

    // Reads the first word of the dictionary at `input`; words are later written to `output`.
    // Its reader is one of `reads` (one of its own when null), whose cancel flag stops it.
    // Throws ZantricException (after its message) when the dictionary cannot be opened.
    DictionaryMergeHandler(std::filesystem::path input, std::filesystem::path output,
                           ReadControl* reads = nullptr);
    DictionaryMergeHandler(const DictionaryMergeHandler&) = delete;
    DictionaryMergeHandler& operator=(const DictionaryMergeHandler&) = delete;

    bool hasCurrent() const { return m_hasCurrent; }
    // The next word of the input, every word in dictionary order; the first call opens it.
    // Throws ZantricException "Unable to read Dictionary: " + input when the words read do not
    // add up to the header's word count (a read error, or a damaged file).
    bool readNext();
    // The reader stopped because its control's cancel flag was set.
    bool interrupted() const { return m_interrupted; }
    void writeCurrent(Output& output);
    // Finishes the step's dictionary; a step without words leaves an empty dictionary.
    static void closeOutput(Output& output, const std::filesystem::path& name);

    const char* current() const { return m_word; }
    bool operator<(const DictionaryMergeHandler& other) const {
        return compareWords(m_word, other.m_word) < 0;
    }

private:
    static constexpr std::size_t kReadBuffer = 1024;

    std::unique_ptr<ReadControl> m_ownReads;  // when none was given
    ReadControl* m_reads;
    std::unique_ptr<DictionaryReader> m_dictionary;
    std::filesystem::path m_outputName;
    std::filesystem::path m_inputName;
    char m_word[kOutWordSize] = {};
    bool m_hasCurrent = false;
    bool m_interrupted = false;
    std::uint32_t m_expected = 0;  // the input's word count, from its header
    std::uint32_t m_read = 0;
};

}  // namespace zantric
