// Test helpers: the program's folder with its dictionaries and temporary folders, dictionary
// files written from word lists and read back word by word. One folder per test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"
#include "core/dictionary/workspace.h"
#include "core/shell/settings.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric::test {

using Words = std::vector<std::string>;

// Writes the words, in the order given, as the dictionary file `path`; reads them back.
inline void writeDictionary(const std::string& path, const Words& words) {
    DictionaryWriter writer(path);
    for (const std::string& word : words) writer.addWord(word);
    ASSERT_TRUE(writer.close()) << path;
}

// The words in dictionary order, each once.
inline Words inWordOrder(Words words) {
    std::stable_sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        return compareWords(a.c_str(), b.c_str()) < 0;
    });
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

inline Words wordsOf(const std::string& path) {
    Words words;
    ReadControl reads;
    DictionaryReader reader(reads, path, false, 4096);
    char word[kOutWordSize];
    for (MatchResult r = reader.nextMatch(word, "*"); r == kMatchFound;
         r = reader.nextMatch(word, nullptr))
        words.push_back(word);
    return words;
}

// A dictionary's path as the program names it, and its bytes.
inline std::string lexPath(const std::string& name) { return "./lexicons/" + name; }
inline std::string bytesOf(const std::string& name) { return TempFolder::read("lexicons/" + name); }

// The program's folder: the settings read from it, a fresh catalogue, every message recorded.
class ProgramFolderTest : public ::testing::Test {
protected:
    ProgramFolderTest() { fresh(); }
    // Empty dictionaries and temporary folders; settings and catalogue read again.
    void fresh() {
        for (const char* folder : {"lexicons", "temp"}) {
            std::filesystem::remove_all(folder);
            std::filesystem::create_directory(folder);
        }
        TempFolder::write("zantric.ini", "[PATHS]\nDICTIONARIES=./lexicons\nTEMP_FILES=./temp\n");
        reread();
        m_messages.clear();
    }
    // The settings and the catalogue of the folder as a session has them, each made (read, or
    // scanned, telling the recorder) on first use after fresh().
    const Settings& settings() {
        if (!m_settings) m_settings = std::make_unique<Settings>(m_messages);
        return *m_settings;
    }
    Catalogue& catalogue() {
        if (!m_catalogue) m_catalogue = std::make_unique<Catalogue>(settings(), m_messages);
        return *m_catalogue;
    }
    Workspace workspace() { return {settings(), catalogue(), m_messages}; }
    // The settings and the catalogue made again on next use, as a new session makes them. The
    // old ones live on until the test ends, so that what was given them (a fixture's request)
    // still refers to whole objects.
    void reread() {
        if (m_catalogue) m_retired.catalogues.push_back(std::move(m_catalogue));
        if (m_settings) m_retired.settings.push_back(std::move(m_settings));
    }
    // The end of a session: every changed header written back, the catalogue dropped.
    void writeBackCatalogue() {
        if (!m_catalogue) return;
        m_catalogue->writeBack();
        m_retired.catalogues.push_back(std::move(m_catalogue));
    }

    // The names in a folder, sorted; the files left in the temporary folder.
    static Words filesIn(const std::string& folder, bool filesOnly = false) {
        Words names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (!filesOnly || entry.is_regular_file())
                names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static Words tempFiles() { return filesIn("temp", true); }

    TempFolder m_folder;
    RecorderPresenter m_messages;
    struct {
        std::vector<std::unique_ptr<Settings>> settings;
        std::vector<std::unique_ptr<Catalogue>> catalogues;  // go first: they use the settings
    } m_retired;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Catalogue> m_catalogue;
};

}  // namespace zantric::test
