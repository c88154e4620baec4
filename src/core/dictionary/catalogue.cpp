#include "core/dictionary/catalogue.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/shell/backup.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The names of the regular files of `folder` whose extension is "lex" in any case, sorted so
// that the report of bad files comes out the same on every run.
// The *.lex files of a folder; `unreadable` is set when the folder is there but cannot be read.
std::vector<std::string> lexFilesIn(const fs::path& folder, bool& unreadable) {
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    unreadable = error && fileExists(folder);
    if (error) return names;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) {
            unreadable = true;
            break;
        }
        std::string name = it->path().filename().string();
        std::error_code typeError;
        if (it->is_regular_file(typeError) && lowerCase(extensionOf(name)) == "lex") {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lowerCase(a) < lowerCase(b);
    });
    return names;
}

}  // namespace

std::string dictionaryFileName(std::string_view typed, std::string* refusal) {
    constexpr std::string_view kExtension = ".lex";
    std::string name = lowerCase(std::string(typed));
    const bool withExtension = name.ends_with(kExtension);
    if (withExtension) name.resize(name.size() - kExtension.size());
    // Without ".lex" a dot starts some other extension; with it, the rest is the name.
    const bool refused = name.find_first_not_of('.') == std::string::npos ||
                         name.find_first_of("/\\") != std::string::npos ||
                         (!withExtension && name.find('.') != std::string::npos);
    if (!refused && name.size() + kExtension.size() <= kMaxFileNameBytes) {
        return name + std::string(kExtension);
    }
    if (refusal != nullptr) *refusal = refused ? kDictionaryNameRule : kDictionaryNameTooLong;
    return {};
}

// --- CatalogueEntry ---------------------------------------------------------------------------

CatalogueEntry::CatalogueEntry(fs::path path, fs::path filePath, fs::path subsetFileName)
    : m_path(std::move(path)),
      m_filePath(std::move(filePath)),
      m_subsetFileName(std::move(subsetFileName)) {}

std::string CatalogueEntry::displayName() const { return m_path.filename().string(); }

CatalogueEntry::HeaderRead CatalogueEntry::readHeaderFromFile(Prompter& prompter) {
    FilePtr file = openFile(m_filePath, "rb");
    if (!file) {
        prompter.ask(
            {"Unable to open: " + shownPath(m_path) + "\n\nZantric will ignore this dictionary.",
             kOpenErrorTitle, MessageKind::kPlain});
        return HeaderRead::kCannotOpen;
    }
    unsigned char bytes[kHeaderBytes];
    if (std::fseek(file.get(), static_cast<long>(kHeaderOffset), SEEK_SET) != 0 ||
        std::fread(bytes, 1, kHeaderBytes, file.get()) != kHeaderBytes) {
        // No complete header: the file can never pass the mark test.
        m_header = DictionaryHeader{};
        m_header.mark = 0;
        return HeaderRead::kTooShort;
    }
    m_header = DictionaryHeader::fromBytes(bytes);
    m_changed = false;
    return HeaderRead::kRead;
}

bool CatalogueEntry::readHeader(Prompter& prompter) {
    return readHeaderFromFile(prompter) == HeaderRead::kRead;
}

bool CatalogueEntry::writeHeader(Prompter& prompter) {
    FilePtr file = openFile(m_filePath, "r+b");
    if (!file) {
        prompter.ask({"Unable to open: " + shownPath(m_path) +
                          "\n\nZantric cannot save dictionary header details.",
                      kOpenErrorTitle, MessageKind::kPlain});
        return false;
    }
    unsigned char bytes[kHeaderBytes];
    m_header.toBytes(bytes);
    if (std::fseek(file.get(), static_cast<long>(kHeaderOffset), SEEK_SET) != 0 ||
        std::fwrite(bytes, 1, kHeaderBytes, file.get()) != kHeaderBytes) {
        return false;
    }
    if (std::fclose(file.release()) != 0) return false;
    m_changed = false;
    return true;
}

// --- Catalogue --------------------------------------------------------------------------

void Catalogue::writeBack() {
    for (CatalogueEntry& entry : m_entries) {
        if (entry.changed()) entry.writeHeader(m_prompter);
    }
}

Catalogue::Catalogue(const Settings& settings, Prompter& prompter)
    : m_prompter(prompter),
      m_resultsDataName(tempFileName(settings, kResultsDataExtension)),
      m_resultsIndexName(tempFileName(settings, kResultsIndexExtension)),
      m_subsetDictionaryName(tempFileName(settings, "MM_")) {
    m_entries.reserve(6);
    scanFolder(settings.dictionariesFolder());
}

void Catalogue::scanFolder(const fs::path& folder) {
    std::string report = loadString(kStrBadDictionaries);
    bool badFileSeen = false;
    bool unreadable = false;
    for (const std::string& name : lexFilesIn(folder, unreadable)) {
        CatalogueEntry entry = makeEntry(folder / lowerCase(name), folder / name);
        switch (entry.readHeaderFromFile(m_prompter)) {
            case CatalogueEntry::HeaderRead::kCannotOpen:
                break;  // reported by readHeaderFromFile
            case CatalogueEntry::HeaderRead::kRead:
                if (entry.header().mark == kDictionaryMark) {
                    insert(std::move(entry));
                    break;
                }
                [[fallthrough]];
            case CatalogueEntry::HeaderRead::kTooShort:
                badFileSeen = true;
                report += '\n';
                report += shownPath(entry.path());
                break;
        }
    }
    if (unreadable) {
        m_prompter.ask(
            {"Unable to open: " + shownPath(folder) + "\n\nZantric cannot list its dictionaries.",
             kOpenErrorTitle, MessageKind::kPlain});
    }
    if (badFileSeen) {
        m_prompter.ask({report, loadString(kStrWarningTitle), MessageKind::kWarning});
    } else if (m_entries.empty() && !unreadable) {
        m_prompter.ask(
            Message::fromIds(kStrNoDictionaries, kStrWarningTitle, MessageKind::kWarning));
    }
}

CatalogueEntry Catalogue::makeEntry(fs::path path, fs::path filePath) {
    fs::path subset = replaceExtension(m_resultsDataName, lowerCaseDigits(m_sequence++, 16));
    return CatalogueEntry(std::move(path), std::move(filePath), std::move(subset));
}

void Catalogue::insert(CatalogueEntry entry) {
    auto at = lowerBound(entry.path());
    m_entries.insert(at, std::move(entry));
}

std::vector<CatalogueEntry>::const_iterator Catalogue::lowerBound(const fs::path& path) const {
    // In byte order of the whole path, as the catalogue has always been listed.
    return std::lower_bound(m_entries.begin(), m_entries.end(), path.native(),
                            [](const CatalogueEntry& entry, const std::string& key) {
                                return entry.path().native() < key;
                            });
}

CatalogueEntry* Catalogue::find(const fs::path& path) {
    return const_cast<CatalogueEntry*>(std::as_const(*this).find(path));
}

const CatalogueEntry* Catalogue::find(const fs::path& path) const {
    auto it = lowerBound(path);
    return it != m_entries.end() && it->path().native() == path.native() ? &*it : nullptr;
}

bool Catalogue::add(const fs::path& path) {
    if (find(path)) return false;
    CatalogueEntry entry = makeEntry(path, path);
    if (!entry.readHeader(m_prompter)) return false;
    insert(std::move(entry));
    return true;
}

void Catalogue::refresh(const fs::path& path) {
    CatalogueEntry* entry = find(path);
    if (!entry) {
        add(path);
    } else if (entry->readHeader(m_prompter)) {
        entry->markChanged();
    } else {
        remove(path);
    }
}

bool Catalogue::remove(const fs::path& path) {
    auto it = lowerBound(path);
    if (it == m_entries.end() || it->path().native() != path.native()) return false;
    m_entries.erase(it);
    return true;
}

Status Catalogue::deleteDictionary(const fs::path& path) {
    const CatalogueEntry* entry = find(path);
    if (!entry) return Status::success();
    Status retired = keepBackup(entry->filePath());
    if (retired.ok()) remove(path);
    return retired;
}

bool Catalogue::setSelected(const fs::path& path, bool on) {
    CatalogueEntry* entry = find(path);
    if (!entry) return false;
    entry->header().selected = on ? 1 : 0;
    entry->markChanged();
    return true;
}

bool Catalogue::isSelected(const fs::path& path) const {
    const CatalogueEntry* entry = find(path);
    if (!entry) {
        throw ZantricException(shownPath(path) + " is not contained in the Dictionary List");
    }
    return entry->selected();
}

int Catalogue::selectedCount() const {
    return static_cast<int>(std::count_if(m_entries.begin(), m_entries.end(),
                                          [](const CatalogueEntry& e) { return e.selected(); }));
}

}  // namespace zantric
