// Word look-up across dictionaries and the rewrite of a dictionary with one word more or less.
// Each operation opens its own readers (file mode, 5120-byte buffer) and closes them before it
// returns. A rewrite is written completely to the rewrite file in the current folder before it
// replaces the dictionary; the old file stays beside it as the "lxb" backup. Like every reader,
// these run on one thread at a time; updateWord also changes the catalogue, so nothing else may
// change the catalogue while it runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/shell/outcome.h"

namespace zantric {

class Catalogue;
class DictionaryReader;
class ReadControl;

enum class UpdateMode : int { kAdd = 0, kRemove = 1 };

// What updateWord, insertWord and removeWord came to.
enum class UpdateResult {
    kDone,            // the dictionary was replaced and its catalogue entry updated
    kAlreadyPresent,  // add: the dictionary holds the word already; nothing changed
    kNotFound,        // remove: the dictionary does not hold the word; nothing changed
    kCancelled,       // cancelled during the rewrite; nothing changed
};

// The file every rewrite is written to before it replaces a dictionary: no folder, so it lies
// in the current folder (the program's folder).
inline constexpr const char* kRewriteFileName = "new{}}{.$$$";
inline constexpr std::size_t kWordReaderBuffer = 5120;
// A long operation calls its observer when it starts reading a dictionary and after every so
// many words.
inline constexpr std::uint32_t kWordsBetweenPolls = 256;

// Lets the caller of a long word operation follow it: pollPoint() runs on the working thread,
// where the caller may update a progress figure, wait while paused, and set the reader's cancel
// flag again (opening the first reader clears it).
class WordUpdateObserver {
public:
    virtual ~WordUpdateObserver() = default;
    virtual void pollPoint() = 0;
    // The readers' control, whose cancel flag stops the update and whose counter tells its
    // progress.
    virtual ReadControl& reads() = 0;
};

// The word count in the header of the dictionary file `file`; false when the header cannot be
// read.
bool headerWordCount(const std::filesystem::path& file, std::uint32_t& count);

// Whether `candidate` counts as `word`: every character equal, where a '?' of `word` stands for
// any one letter. A hyphen of `word` must stand where the candidate's does; a pattern with a '?'
// and no hyphen fits the candidate's letters alone, as a search does ("??????" fits ice-cap).
// Case matters.
bool countsAsWord(std::string_view candidate, std::string_view word);

// How many words of the dictionary file `file` count as `word`; -1 when cancelled (the reader's
// cancel flag). Throws ZantricException when the file cannot be read.
std::int64_t countWordsCountingAs(const std::filesystem::path& file, std::string_view word,
                                  WordUpdateObserver* observer = nullptr);

// Whether the freshly opened reader holds `word` exactly (same letters, case and hyphen).
bool findWord(DictionaryReader& reader, std::string_view word);

// True when no catalogued dictionary holds `word`: only the selected ones are searched unless
// `all` is set, and the dictionary at `skippedPath` never is. Opens each dictionary afresh.
bool isWordUnique(const Catalogue& catalogue, std::string_view word,
                  const std::filesystem::path& skippedPath, bool all);

// For every catalogued dictionary that holds `word` exactly, selected or not: a line break and
// the dictionary's file name ("\nenglish.lex"). Empty when none does.
std::string listDictionariesContaining(const Catalogue& catalogue, std::string_view word);

// Adds `word` to, or removes it from, the dictionary at `path` (a catalogue path). Adding to a
// dictionary that does not exist creates it and lists it in the catalogue. In remove mode a '?'
// of `word` stands for any one character, and every word it matches goes. On success the old
// file is kept as the "lxb" backup, the rewrite takes its place, and the catalogue entry is read
// again from the new file with its Created time and selection kept, Modified set (unless the
// dictionary now holds a single added word), and marked changed. Any other result leaves the
// dictionary, the catalogue and the backup as they were and no rewrite file behind. A backup that
// cannot be kept does not stop the change: its failure goes to *keptOld when given. Throws
// ZantricException when a file cannot be opened, written or moved into place.
UpdateResult updateWord(Catalogue& catalogue, const std::filesystem::path& path,
                        std::string_view word, UpdateMode mode,
                        WordUpdateObserver* observer = nullptr, Status* keptOld = nullptr);

// Write the dictionary file `file` with `word` added at its place in the word order / without
// every word that counts as `word`, to the rewrite file. kDone leaves the complete rewrite
// file; kCancelled, or an exception, leaves none. A reading that delivers fewer or more
// words than the header counts (a read error, or a damaged file) throws ZantricException
// "Unable to read Dictionary: " + file rather than lose words.
UpdateResult insertWord(const std::filesystem::path& file, std::string_view word,
                        WordUpdateObserver* observer = nullptr);
UpdateResult removeWord(const std::filesystem::path& file, std::string_view word,
                        WordUpdateObserver* observer = nullptr);

}  // namespace zantric
