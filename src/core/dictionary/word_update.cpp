#include "core/dictionary/word_update.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"
#include "core/shell/file_replace.h"
#include "core/shell/paths.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;

// The longest text that can be a stored word: its letters and a hyphen.
constexpr std::size_t kLongestWord = kMaxWordLetters + 1;
constexpr const char* kUnableToRead = "Unable to read Dictionary: ";

// The reader's pattern for `word`: the word with its first hyphen taken out. False when the word
// is too long to be stored, so that no dictionary can hold it.
bool patternFor(std::string_view word, char (&pattern)[kLongestWord + 1]) {
    if (word.size() > kLongestWord) return false;
    std::size_t n = 0;
    bool hyphenDropped = false;
    for (char c : word) {
        if (c == '-' && !hyphenDropped) {
            hyphenDropped = true;
            continue;
        }
        pattern[n++] = c;
    }
    pattern[n] = '\0';
    return true;
}

void notify(WordUpdateObserver* observer) {
    if (observer) observer->pollPoint();
}

// The observer's readers' control, or `own` without an observer.
ReadControl& readsOf(WordUpdateObserver* observer, ReadControl& own) {
    return observer ? observer->reads() : own;
}

enum class Presence { kAbsent, kPresent, kCancelled };

// How many words of the dictionary file count as `word`, stopping at `enough`; -1 when
// cancelled.
std::int64_t countMatches(const fs::path& file, std::string_view word, WordUpdateObserver* observer,
                          std::int64_t enough) {
    char pattern[kLongestWord + 1];
    if (!patternFor(word, pattern)) return 0;
    ReadControl own;
    ReadControl& reads = readsOf(observer, own);
    DictionaryReader reader(reads, file, false, kWordReaderBuffer);
    notify(observer);
    char found[kOutWordSize];
    std::uint32_t delivered = 0;
    std::int64_t count = 0;
    MatchResult r = reader.nextMatch(found, pattern);
    for (; r == kMatchFound && count < enough; r = reader.nextMatch(found, nullptr)) {
        if (countsAsWord(found, word)) ++count;
        if (++delivered % kWordsBetweenPolls == 0) notify(observer);
    }
    // The reader sees the cancel flag only when it reads a word; a look-up may end without one.
    return r == kMatchCancelled || reads.cancelled() ? -1 : count;
}

// Whether the dictionary file holds a word that counts as `word`.
Presence scanFor(const fs::path& file, std::string_view word, WordUpdateObserver* observer) {
    const std::int64_t count = countMatches(file, word, observer, 1);
    return count < 0 ? Presence::kCancelled : count > 0 ? Presence::kPresent : Presence::kAbsent;
}

// The rewrite file while it is being written: deleted unless the rewrite completed.
class RewriteFile {
public:
    RewriteFile() : m_writer(kRewriteFileName) {}
    ~RewriteFile() {
        if (m_kept) return;
        m_writer.close();
        removeFile(kRewriteFileName);
    }
    RewriteFile(const RewriteFile&) = delete;
    RewriteFile& operator=(const RewriteFile&) = delete;

    DictionaryWriter& writer() { return m_writer; }
    // Completes the file; throws when a write failed (the destructor then deletes it).
    void complete() {
        if (!m_writer.close()) {
            throw ZantricException(
                writeFailureText("Unable to create Dictionary: ", kRewriteFileName));
        }
        m_kept = true;
    }

private:
    DictionaryWriter m_writer;
    bool m_kept = false;
};

// Moves the complete rewrite file onto `file`, keeping the old file as its "lxb" backup when
// `keepOld` is set (how that went goes to *keptOld when given). The file's name stays on the old
// version until one rename puts the new one there; a rewrite on another file system is first
// copied into the dictionary's folder.
void moveIntoPlace(const fs::path& file, bool keepOld, Status* keptOld) {
    Status backup;
    const bool replaced = replaceFile(kRewriteFileName, file, keepOld ? &backup : nullptr);
    if (keptOld) *keptOld = backup;
    if (!replaced) {
        throw ZantricException(loadString(kStrUnableToRename) + shownPath(kRewriteFileName));
    }
}

// A read that ends early looks like the end of the words: a rewrite is only as good as a reading
// that delivered every word the header counts.
void checkEveryWordRead(const fs::path& file, std::uint32_t expected, std::uint32_t read) {
    if (read != expected) throw ZantricException(kUnableToRead + shownPath(file));
}

std::uint32_t wordCountOf(const fs::path& file) {
    std::uint32_t count = 0;
    if (!headerWordCount(file, count)) throw ZantricException(kUnableToRead + shownPath(file));
    return count;
}

// The 16 header bytes of a dictionary file; false when they cannot be read.
bool readHeaderOf(const fs::path& file, DictionaryHeader& header) {
    FilePtr in = openFile(file, "rb");
    unsigned char bytes[kHeaderBytes];
    if (!in || std::fseek(in.get(), static_cast<long>(kHeaderOffset), SEEK_SET) != 0 ||
        std::fread(bytes, 1, sizeof bytes, in.get()) != sizeof bytes) {
        return false;
    }
    header = DictionaryHeader::fromBytes(bytes);
    return true;
}

// Gives the complete rewrite the header the dictionary is to keep, before it takes the
// dictionary's name, so that nothing the user set is lost if the program stops right after:
// the Created time and the selection of the dictionary it replaces (as the catalogue holds them,
// or the old file when the catalogue could not list it), and Modified set unless the dictionary
// now holds a single added word.
void stampHeader(const Catalogue& catalogue, const fs::path& path, const fs::path& file,
                 bool created, UpdateMode mode) {
    DictionaryHeader previous;
    bool kept = false;
    if (const CatalogueEntry* entry = catalogue.find(path)) {
        previous = entry->header();
        kept = true;
    } else if (!created) {
        kept = readHeaderOf(file, previous);
    }
    FilePtr rewrite = openFile(kRewriteFileName, "r+b");
    unsigned char bytes[kHeaderBytes];
    bool stamped = rewrite &&
                   std::fseek(rewrite.get(), static_cast<long>(kHeaderOffset), SEEK_SET) == 0 &&
                   std::fread(bytes, 1, sizeof bytes, rewrite.get()) == sizeof bytes;
    if (stamped) {
        DictionaryHeader header = DictionaryHeader::fromBytes(bytes);
        if (kept) {
            header.created = previous.created;
            header.selected = previous.selected;
        }
        if (mode == UpdateMode::kRemove || header.wordCount > 1) header.modified = currentTime32();
        header.toBytes(bytes);
        stamped = std::fseek(rewrite.get(), static_cast<long>(kHeaderOffset), SEEK_SET) == 0 &&
                  std::fwrite(bytes, 1, sizeof bytes, rewrite.get()) == sizeof bytes;
    }
    if (rewrite && std::fclose(rewrite.release()) != 0) stamped = false;
    if (!stamped) {
        throw ZantricException(writeFailureText("Unable to create Dictionary: ", kRewriteFileName));
    }
}

}  // namespace

bool headerWordCount(const fs::path& file, std::uint32_t& count) {
    DictionaryHeader header;
    if (!readHeaderOf(file, header)) return false;
    count = header.wordCount;
    return true;
}

bool countsAsWord(std::string_view candidate, std::string_view word) {
    const bool lettersOnly =
        word.find('?') != std::string_view::npos && word.find('-') == std::string_view::npos;
    std::size_t at = 0;
    for (const char c : candidate) {
        if (lettersOnly && c == '-') continue;
        if (at == word.size() || (word[at] != '?' && word[at] != c)) return false;
        ++at;
    }
    return at == word.size();
}

std::int64_t countWordsCountingAs(const fs::path& file, std::string_view word,
                                  WordUpdateObserver* observer) {
    return countMatches(file, word, observer, INT64_MAX);
}

bool findWord(DictionaryReader& reader, std::string_view word) {
    char pattern[kLongestWord + 1];
    if (!patternFor(word, pattern)) return false;
    char found[kOutWordSize];
    for (MatchResult r = reader.nextMatch(found, pattern); r == kMatchFound;
         r = reader.nextMatch(found, nullptr)) {
        if (word == found) return true;
    }
    return false;
}

bool isWordUnique(const Catalogue& catalogue, std::string_view word, const fs::path& skippedPath,
                  bool all) {
    for (const CatalogueEntry& entry : catalogue.entries()) {
        if (!all && !entry.selected()) continue;
        if (entry.path().native() == skippedPath.native() ||
            entry.filePath().native() == skippedPath.native()) {
            continue;
        }
        ReadControl reads;
        DictionaryReader reader(reads, entry.filePath(), false, kWordReaderBuffer);
        if (findWord(reader, word)) return false;
    }
    return true;
}

std::string listDictionariesContaining(const Catalogue& catalogue, std::string_view word) {
    std::string list;
    for (const CatalogueEntry& entry : catalogue.entries()) {
        ReadControl reads;
        DictionaryReader reader(reads, entry.filePath(), false, kWordReaderBuffer);
        if (findWord(reader, word)) {
            list += '\n';
            list += entry.displayName();
        }
    }
    return list;
}

UpdateResult insertWord(const fs::path& file, std::string_view word, WordUpdateObserver* observer) {
    char newWord[kLongestWord + 1];
    if (word.size() > kLongestWord) {
        throw ZantricException(std::string(word) + loadString(kStrNotAValidWord));
    }
    std::memcpy(newWord, word.data(), word.size());
    newWord[word.size()] = '\0';

    const std::uint32_t expected = wordCountOf(file);
    ReadControl own;
    ReadControl& reads = readsOf(observer, own);
    RewriteFile rewrite;
    DictionaryWriter& writer = rewrite.writer();
    MatchResult r;
    {
        DictionaryReader reader(reads, file, false, kWordReaderBuffer);
        notify(observer);
        bool written = false;
        std::uint32_t read = 0;
        char old[kOutWordSize];
        for (r = reader.nextMatch(old, "*"); r == kMatchFound; r = reader.nextMatch(old, nullptr)) {
            if (!written && compareWords(old, newWord) >= 0) {
                if (!writer.addWord(newWord)) {
                    throw ZantricException(std::string(word) + loadString(kStrNotAValidWord));
                }
                written = true;
            }
            writer.addWord(old);
            if (++read % kWordsBetweenPolls == 0) notify(observer);
        }
        if (r == kMatchCancelled || reads.cancelled()) return UpdateResult::kCancelled;
        checkEveryWordRead(file, expected, read);
        if (!written && !writer.addWord(newWord)) {
            throw ZantricException(std::string(word) + loadString(kStrNotAValidWord));
        }
    }
    rewrite.complete();
    return UpdateResult::kDone;
}

UpdateResult removeWord(const fs::path& file, std::string_view word, WordUpdateObserver* observer) {
    const std::uint32_t expected = wordCountOf(file);
    ReadControl own;
    ReadControl& reads = readsOf(observer, own);
    RewriteFile rewrite;
    DictionaryWriter& writer = rewrite.writer();
    {
        DictionaryReader reader(reads, file, false, kWordReaderBuffer);
        notify(observer);
        std::uint32_t read = 0;
        char old[kOutWordSize];
        MatchResult r = reader.nextMatch(old, "*");
        for (; r == kMatchFound; r = reader.nextMatch(old, nullptr)) {
            if (!countsAsWord(old, word)) writer.addWord(old);
            if (++read % kWordsBetweenPolls == 0) notify(observer);
        }
        if (r == kMatchCancelled || reads.cancelled()) return UpdateResult::kCancelled;
        checkEveryWordRead(file, expected, read);
    }
    rewrite.complete();
    return UpdateResult::kDone;
}

UpdateResult updateWord(Catalogue& catalogue, const fs::path& path, std::string_view word,
                        UpdateMode mode, WordUpdateObserver* observer, Status* keptOld) {
    const CatalogueEntry* listed = catalogue.find(path);
    const fs::path file = listed ? listed->filePath() : path;

    // A dictionary made here for the word is taken away again unless the word goes in.
    bool created = false;
    if (mode == UpdateMode::kAdd && !fileExists(file)) {
        // On the first start the dictionaries folder may not have been made yet.
        if (const fs::path folder = file.parent_path(); !folder.empty() && !fileExists(folder)) {
            std::error_code ignored;
            fs::create_directory(folder, ignored);
        }
        createEmptyFile(file);
        created = true;
        catalogue.add(path);
    }
    auto undoCreate = [&] {
        if (!created) return;
        removeFile(file);
        catalogue.remove(path);
    };

    UpdateResult result;
    try {
        const Presence presence = scanFor(file, word, observer);
        if (presence == Presence::kCancelled) {
            result = UpdateResult::kCancelled;
        } else if (mode == UpdateMode::kAdd && presence == Presence::kPresent) {
            result = UpdateResult::kAlreadyPresent;
        } else if (mode == UpdateMode::kRemove && presence == Presence::kAbsent) {
            result = UpdateResult::kNotFound;
        } else {
            result = mode == UpdateMode::kAdd ? insertWord(file, word, observer)
                                              : removeWord(file, word, observer);
        }
        if (result == UpdateResult::kDone) {
            stampHeader(catalogue, path, file, created, mode);
            // An empty dictionary made a moment ago is not worth a backup, and keeping it would
            // replace the backup of an earlier dictionary of that name.
            moveIntoPlace(file, !created, keptOld);
        }
    } catch (...) {
        if (fileExists(kRewriteFileName)) removeFile(kRewriteFileName);
        undoCreate();
        throw;
    }
    if (result != UpdateResult::kDone) {
        if (fileExists(kRewriteFileName)) removeFile(kRewriteFileName);
        undoCreate();
        return result;
    }
    catalogue.refresh(path);
    return UpdateResult::kDone;
}

}  // namespace zantric
