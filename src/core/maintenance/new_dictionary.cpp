#include "core/maintenance/new_dictionary.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_format.h"
#include "core/shell/backup.h"
#include "core/shell/file_replace.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {
namespace {

// Sets the selection in the header of a complete dictionary file; a failure leaves it unset.
void markSelected(const std::string& file) {
    FilePtr out = openFile(file, "r+b");
    unsigned char bytes[kHeaderBytes];
    if (!out || std::fseek(out.get(), static_cast<long>(kHeaderOffset), SEEK_SET) != 0 ||
        std::fread(bytes, 1, sizeof bytes, out.get()) != sizeof bytes) {
        return;
    }
    DictionaryHeader header = DictionaryHeader::fromBytes(bytes);
    header.selected = 1;
    header.toBytes(bytes);
    if (std::fseek(out.get(), static_cast<long>(kHeaderOffset), SEEK_SET) == 0) {
        std::fwrite(bytes, 1, sizeof bytes, out.get());
    }
}

}  // namespace

std::string dictionaryPathFor(std::string_view name) {
    const std::string file = dictionaryFileName(name);
    return file.empty() ? file : Settings::instance().dictionaryPath(file);
}

bool checkDictionaryName(std::string_view name, const void* owner) {
    std::string refusal;
    if (!dictionaryFileName(name, &refusal).empty()) return true;
    beep();
    messageBoxText(refusal, loadString(kStrInputErrorTitle), kMbOk, owner);
    return false;
}

bool dictionaryExists(const std::string& path) {
    if (fileExists(path)) return true;
    const CatalogueEntry* entry = Catalogue::instance().find(path);
    return entry && fileExists(entry->filePath());
}

bool installDictionary(const std::string& temporaryName, const std::string& path) {
    Catalogue& catalogue = Catalogue::instance();
    // The catalogue may list the dictionary under a file whose name differs in case.
    std::string listedFile;
    bool selected = false;
    if (const CatalogueEntry* entry = catalogue.find(path)) {
        if (entry->filePath() != path) listedFile = entry->filePath();
        selected = entry->selected();
    }
    // A dictionary that takes the place of a selected one is selected too, in its own header
    // before it takes the name, so that a stop right after loses nothing.
    if (selected) markSelected(temporaryName);
    // A fresh program folder has no dictionaries folder yet.
    if (const std::string folder = folderPart(path); !folder.empty() && !fileExists(folder)) {
        std::error_code ignored;
        std::filesystem::create_directories(nativePath(folder), ignored);
    }
    // The old dictionary keeps its name until the new one takes it in one rename.
    if (!replaceFile(temporaryName, path, true)) {
        messageBoxText(loadString(kStrUnableToRename) + shownPath(temporaryName),
                       loadString(kStrFileErrorTitle), kMbOkStop);
        if (!temporaryName.empty() && fileExists(temporaryName)) removeFile(temporaryName);
        return false;
    }
    std::error_code error;
    if (!listedFile.empty() && fileExists(listedFile) &&
        !std::filesystem::equivalent(nativePath(listedFile), nativePath(path), error)) {
        keepBackup(listedFile);
    }
    catalogue.remove(path);
    catalogue.add(path);
    // Should the header not have taken the mark, the catalogue writes it at the end.
    if (selected) catalogue.setSelected(path, true);
    return true;
}

}  // namespace zantric
