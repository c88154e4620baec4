// Shared by the make and merge tests: a program folder with a fresh catalogue, dictionaries
// written and read back word by word, and the bytes and files to compare.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/shell/paths.h"
#include "sort_test_support.h"
#include "support/dictionary_files.h"

namespace zantric::test {

class MaintenanceTest : public ProgramFolderTest {
protected:
    MaintenanceTest() { Catalogue::resetForTests(); }
    ~MaintenanceTest() override { Catalogue::resetForTests(); }

    // The words, put in dictionary order first, as the dictionary file `name`.
    static void writeDictionary(const std::string& name, std::vector<std::string> words) {
        test::writeDictionary(name, inWordOrder(std::move(words)));
    }
    static std::vector<std::string> wordsOf(const std::string& name) { return test::wordsOf(name); }

    // The file's bytes without the Created time, which differs from one writing to the next.
    static std::string bytesWithoutCreated(const std::string& name) {
        std::string bytes = TempFolder::read(nativePath(name));
        if (bytes.size() >= kHeaderOffset + 4) bytes.replace(kHeaderOffset, 4, 4, '\0');
        return bytes;
    }

    // Files left in the temporary folder, folders made by a test excepted.
    static std::vector<std::string> tempFiles() {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator("temp")) {
            if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
        }
        return names;
    }

    Catalogue& catalogue() { return Catalogue::instance(); }
};

}  // namespace zantric::test
