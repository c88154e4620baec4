// Damaged dictionaries: every single-byte change of the index and the header of a small
// dictionary is read without a fault (wrong words at worst, each within the caller's buffer),
// and a rewrite refuses a dictionary whose words do not add up to its header's count rather
// than replace it with fewer words.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_update.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/zantric_exception.h"
#include "support/recorder_presenter.h"
#include "support/temp_folder.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// In the word order, as the writer takes them.
const std::vector<const char*> kWords = {"a",   "at",   "ab-c",      "Bat",         "cat",
                                         "zoo", "cots", "strainers", "conservation"};

std::string makeDictionary(const std::string& name) {
    DictionaryWriter writer(name);
    for (const char* word : kWords) writer.addWord(word);
    EXPECT_TRUE(writer.close());
    return TempFolder::read(name);
}

// Reads every match of a few walks; each word must fit the caller's buffer.
std::size_t readAll(const std::string& name, bool memory) {
    static const LetterPool letters("taco?");
    std::size_t words = 0;
    for (const char* pattern : {"*", "c?t"}) {
        DictionaryReader reader(name, memory, 1024);
        char word[kOutWordSize];
        for (int r = reader.nextMatch(word, pattern, pattern[0] == '*' ? nullptr : &letters);
             r == kMatchFound; r = reader.nextMatch(word, nullptr)) {
            EXPECT_LT(std::strlen(word), kOutWordSize);
            ++words;
        }
    }
    return words;
}

TEST(DamagedDictionary, EveryChangeOfTheIndexAndHeaderIsReadSafely) {
    TempFolder folder;
    test::RecordingPresenter quiet;
    const std::string good = makeDictionary("good.lex");
    ASSERT_EQ(readAll("good.lex", false), kWords.size() + 1);
    // Thousands of files are written: on a memory file system where there is one.
    const std::string bad = fs::is_directory("/dev/shm")
                                ? "/dev/shm/zantric-" + folder.path().filename().string() + ".lex"
                                : "bad.lex";
    for (std::size_t at = 0; at < kDataOffset; ++at) {
        // The low bit, the top bit and every bit: offsets a little off, far off, past the end.
        for (unsigned char flip : {0x01, 0x80, 0xFF}) {
            std::string bytes = good;
            bytes[at] = static_cast<char>(bytes[at] ^ flip);
            TempFolder::write(bad, bytes);
            for (bool memory : {false, true}) {
                ASSERT_LE(readAll(bad, memory), 2 * bytes.size()) << at << " " << int(flip);
            }
        }
    }
    fs::remove(bad);
}

// A file cut anywhere gives at most its words; group-end bytes that claim a 21st length end the
// walk there, however many follow, and whatever records come after them.
TEST(DamagedDictionary, CutsAndGroupsPastTheLongestWord) {
    TempFolder folder;
    test::RecordingPresenter quiet;
    const std::string good = makeDictionary("good.lex");
    for (std::size_t size = 0; size < good.size(); ++size) {
        TempFolder::write("cut.lex", good.substr(0, size));
        for (bool memory : {false, true}) ASSERT_LE(readAll("cut.lex", memory), kWords.size() + 1);
    }
    const std::string twenty = "counterrevolutionary";
    {
        DictionaryWriter writer("long.lex");
        writer.addWord(twenty.c_str());
        ASSERT_TRUE(writer.close());
    }
    // A 21-letter record ("a" 21 times) after the 21st group's 254, and a long run of 254s.
    for (const std::string& tail :
         {std::string("\xFE\x00", 2) + std::string(21, '\xE1'), std::string(300, '\xFE')}) {
        TempFolder::write("past.lex", TempFolder::read("long.lex") + tail);
        for (bool memory : {false, true}) {
            DictionaryReader reader("past.lex", memory, 1024);
            char word[kOutWordSize];
            ASSERT_EQ(reader.nextMatch(word, "*"), kMatchFound);
            EXPECT_EQ(word, twenty);
            EXPECT_EQ(reader.nextMatch(word, nullptr), kNoMoreWords);
        }
    }
}

TEST(DamagedDictionary, RewriteRefusesWordsThatDoNotAddUpToTheHeader) {
    TempFolder folder;
    test::RecordingPresenter quiet;
    TempFolder::write("zantric.ini", "[PATHS]\nDICTIONARIES=.\\lexicons\n");
    fs::create_directory("lexicons");
    Settings::resetForTests();
    Catalogue::resetForTests();
    struct Case {
        const char* what;
        int countChange;  // to the header's word count
        std::size_t cut;  // bytes taken off the end
        UpdateMode mode;
        const char* word;
    };
    for (const Case& c : {Case{"one word more counted", 1, 0, UpdateMode::kAdd, "dog"},
                          Case{"one word fewer counted", -1, 0, UpdateMode::kRemove, "cat"},
                          Case{"the last words cut off", 0, 6, UpdateMode::kAdd, "dog"}}) {
        SCOPED_TRACE(c.what);
        std::string bytes = makeDictionary("lexicons/words.lex");
        bytes[kHeaderOffset + 8] = static_cast<char>(bytes[kHeaderOffset + 8] + c.countChange);
        bytes.resize(bytes.size() - c.cut);
        TempFolder::write("lexicons/words.lex", bytes);
        try {
            updateWord(".\\lexicons\\words.lex", c.word, c.mode);
            ADD_FAILURE() << "rewritten";
        } catch (const ZantricException& e) {
            EXPECT_EQ(e.message(), "Unable to read Dictionary: " + shownPath("lexicons/words.lex"));
        }
        EXPECT_EQ(TempFolder::read("lexicons/words.lex"), bytes);
        EXPECT_FALSE(fs::exists("lexicons/words.lxb") || fs::exists(kRewriteFileName));
    }
    Catalogue::resetForTests();
}

}  // namespace
}  // namespace zantric
