#include "core/maintenance/new_dictionary.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/dictionary_language.h"
#include "core/shell/backup.h"
#include "core/shell/file_replace.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"

namespace zantric {
namespace {

// Reads the header of the open dictionary file.
bool readHeader(std::FILE* file, DictionaryHeader& header) {
    unsigned char bytes[kHeaderBytes];
    if (std::fseek(file, static_cast<long>(kHeaderOffset), SEEK_SET) != 0 ||
        std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) {
        return false;
    }
    header = DictionaryHeader::fromBytes(bytes);
    return true;
}

// Whether the dictionary at `path` is selected: as the catalogue holds it, or as its file says
// when the catalogue could not list it (a file too short for a header, or no file, is not
// selected); nothing when that file cannot be read.
std::optional<bool> selectedNow(const CatalogueEntry* entry, const std::filesystem::path& path) {
    if (entry) return entry->selected();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    const FilePtr file = openFile(path, "rb");
    if (!file) return std::nullopt;
    DictionaryHeader header;
    if (readHeader(file.get(), header)) {
        return header.mark == kDictionaryMark && header.selected != 0;
    }
    if (std::ferror(file.get())) return std::nullopt;
    return false;
}

// Sets the selection in the header of a complete dictionary file; false when it cannot.
bool markSelected(const std::filesystem::path& file) {
    FilePtr out = openFile(file, "r+b");
    DictionaryHeader header;
    bool marked = out && readHeader(out.get(), header);
    if (marked) {
        header.selected = 1;
        unsigned char bytes[kHeaderBytes];
        header.toBytes(bytes);
        marked = std::fseek(out.get(), static_cast<long>(kHeaderOffset), SEEK_SET) == 0 &&
                 std::fwrite(bytes, 1, sizeof bytes, out.get()) == sizeof bytes;
    }
    if (out && std::fclose(out.release()) != 0) marked = false;
    return marked;
}

}  // namespace

std::filesystem::path dictionaryPathFor(const Settings& settings, std::string_view name) {
    const std::string file = dictionaryFileName(name);
    return file.empty() ? std::filesystem::path() : settings.dictionaryPath(file);
}

bool checkDictionaryName(Prompter& prompter, std::string_view name) {
    std::string refusal;
    if (!dictionaryFileName(name, &refusal).empty()) return true;
    prompter.beep();
    prompter.ask({refusal, loadString(kStrInputErrorTitle), MessageKind::kPlain});
    return false;
}

bool dictionaryExists(const Catalogue& catalogue, const std::filesystem::path& path) {
    if (fileExists(path)) return true;
    const CatalogueEntry* entry = catalogue.find(path);
    return entry && fileExists(entry->filePath());
}

Status installDictionary(Workspace workspace, const std::filesystem::path& temporaryName,
                         const std::filesystem::path& path) {
    Catalogue& catalogue = workspace.catalogue;
    Prompter& prompter = workspace.prompter;
    // The catalogue may list the dictionary under a file whose name differs in case.
    const CatalogueEntry* entry = catalogue.find(path);
    const std::filesystem::path listedFile = entry && entry->filePath().native() != path.native()
                                                 ? entry->filePath()
                                                 : std::filesystem::path();
    // A dictionary that takes the place of a selected one is selected too, in its own header
    // before it takes the name, so that a stop right after loses nothing; when that cannot be
    // told or done, the old dictionary stays.
    const std::optional<bool> selected = selectedNow(entry, path);
    if (!selected) {
        removeFile(temporaryName);
        return Message::exception(loadString(kStrUnableToOpenFile) + shownPath(path));
    }
    if (*selected && !markSelected(temporaryName)) {
        removeFile(temporaryName);
        return Message::exception("Unable to create Dictionary: " + shownPath(temporaryName));
    }
    // A fresh program folder has no dictionaries folder yet.
    if (const std::filesystem::path folder = path.parent_path();
        !folder.empty() && !fileExists(folder)) {
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
    }
    // The old dictionary keeps its name until the new one takes it in one rename.
    Status keptOld;
    const bool replaced = replaceFile(temporaryName, path, &keptOld);
    keptOld.report(prompter);
    if (!replaced) {
        if (!temporaryName.empty() && fileExists(temporaryName)) removeFile(temporaryName);
        return Message{loadString(kStrUnableToRename) + shownPath(temporaryName),
                       loadString(kStrFileErrorTitle), MessageKind::kError};
    }
    std::error_code error;
    if (!listedFile.empty() && fileExists(listedFile) &&
        !std::filesystem::equivalent(listedFile, path, error)) {
        keepBackup(listedFile).report(prompter);
    }
    catalogue.remove(path);
    catalogue.add(path);
    return Status::success();
}

void keepLanguage(Workspace workspace, const std::filesystem::path& path, Language language,
                  const Spellings* spellings) {
    const CatalogueEntry* entry = workspace.catalogue.find(path);
    const std::filesystem::path file = entry ? entry->filePath() : path;
    if (placeLanguageFile(file, language, uniqueTempName(workspace.settings), spellings)) return;
    workspace.prompter.tell({loadString(kStrLanguageNotKept, {std::string(languageCode(language)),
                                                              shownPath(languageFilePath(file))}),
                             loadString(kStrWarningTitle), MessageKind::kWarning});
}

}  // namespace zantric
