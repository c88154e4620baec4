#include "core/sort/dictionary_merge_handler.h"

#include <utility>

#include "core/dictionary/word_update.h"
#include "core/shell/paths.h"
#include "core/shell/zantric_exception.h"

namespace zantric {
namespace {
constexpr const char* kUnableToRead = "Unable to read Dictionary: ";
}  // namespace

DictionaryMergeHandler::DictionaryMergeHandler(std::filesystem::path input,
                                               std::filesystem::path output, ReadControl* reads)
    : m_ownReads(reads ? nullptr : std::make_unique<ReadControl>()),
      m_reads(reads ? reads : m_ownReads.get()),
      m_outputName(std::move(output)),
      m_inputName(std::move(input)) {
    m_hasCurrent = readNext();
}

bool DictionaryMergeHandler::readNext() {
    MatchResult result;
    if (!m_dictionary) {
        if (!headerWordCount(m_inputName, m_expected)) {
            throw ZantricException(kUnableToRead + shownPath(m_inputName));
        }
        m_dictionary =
            std::make_unique<DictionaryReader>(*m_reads, m_inputName, false, kReadBuffer);
        result = m_dictionary->nextMatch(m_word, "*");
    } else {
        result = m_dictionary->nextMatch(m_word, nullptr);
    }
    m_interrupted = result == kMatchCancelled;
    if (result == kMatchFound) {
        ++m_read;
        return true;
    }
    // A read error ends the words early, as if they were all read: the merge would then lose
    // the rest of them.
    if (!m_interrupted && m_read != m_expected) {
        throw ZantricException(kUnableToRead + shownPath(m_inputName));
    }
    return false;
}

void DictionaryMergeHandler::writeCurrent(Output& output) {
    if (!output.m_once.firstTime(m_word)) return;
    if (!output.m_writer) output.m_writer = std::make_unique<DictionaryWriter>(m_outputName);
    output.m_writer->addWord(m_word);
}

void DictionaryMergeHandler::closeOutput(Output& output, const std::filesystem::path& name) {
    if (!output.m_writer) {
        createEmptyFile(name);
        return;
    }
    const bool written = output.m_writer->close();
    output.m_writer.reset();
    if (!written) {
        throw ZantricException(writeFailureText("Unable to create Dictionary: ", name));
    }
}

}  // namespace zantric
