#include "core/maintenance/dictionary_merge_handler.h"

#include <utility>

#include "core/shell/zantric_exception.h"

namespace zantric {

DictionaryMergeHandler::DictionaryMergeHandler(std::string input, std::string output)
    : m_outputName(std::move(output)), m_inputName(std::move(input)) {
    m_hasCurrent = readNext();
}

bool DictionaryMergeHandler::readNext() {
    int result;
    if (!m_dictionary) {
        m_dictionary = std::make_unique<Dictionary>(m_inputName, false, kReadBuffer);
        result = m_dictionary->nextMatch(m_word, "*");
    } else {
        result = m_dictionary->nextMatch(m_word, nullptr);
    }
    m_interrupted = result == kMatchCancelled;
    return result == kMatchFound;
}

void DictionaryMergeHandler::writeCurrent(Output& output) {
    if (!output.m_writer) output.m_writer = std::make_unique<CompressDictionary>(m_outputName);
    output.m_writer->addWord(m_word);
}

void DictionaryMergeHandler::closeOutput(Output& output, const std::string& name) {
    if (!output.m_writer) {
        createEmptyFile(name);
        return;
    }
    const bool written = output.m_writer->close();
    output.m_writer.reset();
    if (!written) throw ZantricException("Unable to create Dictionary: " + name);
}

}  // namespace zantric
