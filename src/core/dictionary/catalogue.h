// Catalogue: the program session's catalogue of the valid dictionaries of the dictionaries
// folder, in path order, one CatalogueEntry per file. The user's selection lives in each file's
// header and is written back, with any other changed header, by writeBack() at the end of the
// session. The catalogue also makes the session's temporary file names. Created and changed
// on the UI thread; workers read it while no dialog can change it (no lock).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/dictionary_format.h"
#include "core/shell/outcome.h"

namespace zantric {

class Prompter;
class Settings;

// The one rule for a dictionary name typed by the user, in every command that takes one: NAME
// or NAME.lex (".lex" in any case) names the file NAME.lex of the dictionaries folder, in lower
// case as the catalogue lists it. Refused, with kDictionaryNameRule: an empty name, a name of
// dots only, a name holding '/' or '\', and a name with any other extension ("english.old").
// Refused with kDictionaryNameTooLong: a name whose file name would not fit in 255 bytes.
inline constexpr const char* kDictionaryNameRule =
    "A dictionary name is a file name without a folder; it may end in .lex.";
inline constexpr const char* kDictionaryNameTooLong =
    "A dictionary name is too long: with .lex it must fit in 255 bytes.";
inline constexpr std::size_t kMaxFileNameBytes = 255;

// The file name ("english.lex") a typed name stands for; "" when the rule refuses it, with the
// reason in `refusal` when given.
std::string dictionaryFileName(std::string_view typed, std::string* refusal = nullptr);

// One catalogue entry: a plain value, copied when the catalogue moves entries.
class CatalogueEntry {
public:
    // A new entry: header of an empty dictionary (mark set, not selected), marked changed.
    // `path` is the catalogue key (the scan lower-cases its file name part); `filePath` is the
    // file as it is named on disk, which every file operation on the dictionary must use.
    CatalogueEntry(std::filesystem::path path, std::filesystem::path filePath,
                   std::filesystem::path subsetFileName);

    const DictionaryHeader& header() const { return m_header; }
    // For callers that update the details of a rewritten dictionary; they call markChanged().
    DictionaryHeader& header() { return m_header; }
    const std::filesystem::path& path() const { return m_path; }
    const std::filesystem::path& filePath() const { return m_filePath; }
    // Where the subset builder writes this dictionary's subset; unique within the process.
    const std::filesystem::path& subsetFileName() const { return m_subsetFileName; }
    // The file name part of the path (for example "english.lex"), used in lists and messages.
    std::string displayName() const;
    bool selected() const { return m_header.selected != 0; }
    bool changed() const { return m_changed; }
    void markChanged() { m_changed = true; }

    // Reads the 16 header bytes at offset 2080 over the entry's header and clears Changed.
    // A file that cannot be opened shows "Unable to open: <path>\n\nZantric will ignore this
    // dictionary." (title "File Error") and gives false; a file shorter than 2096 bytes gives
    // false silently, leaving the header with a zero mark.
    bool readHeader(Prompter& prompter);
    // Rewrites bytes 2080-2095 of the file and nothing else, then clears Changed. A file that
    // cannot be opened shows "Unable to open: <path>\n\nZantric cannot save dictionary header
    // details." (title "File Error") and gives false.
    bool writeHeader(Prompter& prompter);

private:
    friend class Catalogue;
    enum class HeaderRead { kRead, kCannotOpen, kTooShort };
    HeaderRead readHeaderFromFile(Prompter& prompter);

    DictionaryHeader m_header;
    std::filesystem::path m_path;
    std::filesystem::path m_filePath;
    std::filesystem::path m_subsetFileName;
    bool m_changed = true;
};

class Catalogue {
public:
    // Makes the temporary names, scans the dictionaries folder of `settings` for *.lex files
    // (extension in any case), lists those whose header carries the mark, and reports to
    // `prompter` the others (string 801), a folder that cannot be read, or an empty catalogue
    // (string 802). The catalogue's later reports go to `prompter` too.
    Catalogue(const Settings& settings, Prompter& prompter);
    // Writes back every changed header, in path order.
    void writeBack();

    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    // Entries in ascending byte order of path. References and pointers to entries stay valid
    // only until the next add, remove or deleteDictionary.
    std::size_t count() const { return m_entries.size(); }
    const CatalogueEntry& entry(std::size_t i) const { return m_entries.at(i); }
    CatalogueEntry& entry(std::size_t i) { return m_entries.at(i); }
    const std::vector<CatalogueEntry>& entries() const { return m_entries; }

    CatalogueEntry* find(const std::filesystem::path& path);
    const CatalogueEntry* find(const std::filesystem::path& path) const;

    // Lists a file the program has just written: false if the path is listed already or its
    // header cannot be read. The mark is not tested.
    bool add(const std::filesystem::path& path);
    // Reads the entry of a replaced dictionary again from its new file (lists it when it was
    // not listed). An entry whose header cannot be read leaves the catalogue rather than have its
    // old header written over the new file.
    void refresh(const std::filesystem::path& path);
    // Takes the entry out; the file is left alone. False if there was no such entry.
    bool remove(const std::filesystem::path& path);
    // Retires the file as the same name with the extension "lxb" (replacing an older backup)
    // and takes the entry out. A failure to retire (strings 329, 330) leaves file and entry in
    // place. A path that is not listed succeeds and changes nothing.
    Status deleteDictionary(const std::filesystem::path& path);

    // Switches the selection in memory; the header reaches the file at writeBack().
    bool setSelected(const std::filesystem::path& path, bool on);
    // Throws ZantricException path + " is not contained in the Dictionary List" when unlisted.
    bool isSelected(const std::filesystem::path& path) const;
    int selectedCount() const;
    bool anySelected() const { return selectedCount() > 0; }

    // The three temporary names: results data ("$$$"), results index ("zix") and the combined
    // subset dictionary that a multi-word search reads ("MM_").
    const std::filesystem::path& resultsDataName() const { return m_resultsDataName; }
    const std::filesystem::path& resultsIndexName() const { return m_resultsIndexName; }
    const std::filesystem::path& subsetDictionaryName() const { return m_subsetDictionaryName; }

private:
    void scanFolder(const std::filesystem::path& folder);
    // A new entry taking the next sequence number for its subset file name.
    CatalogueEntry makeEntry(std::filesystem::path path, std::filesystem::path filePath);
    void insert(CatalogueEntry entry);
    std::vector<CatalogueEntry>::const_iterator lowerBound(const std::filesystem::path& path) const;

    Prompter& m_prompter;
    std::vector<CatalogueEntry> m_entries;
    std::filesystem::path m_resultsDataName;
    std::filesystem::path m_resultsIndexName;
    std::filesystem::path m_subsetDictionaryName;
    std::uint32_t m_sequence = 0;
};

}  // namespace zantric
