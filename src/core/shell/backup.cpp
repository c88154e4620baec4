#include "core/shell/backup.h"

#include <filesystem>
#include <system_error>

#include "core/shell/file_replace.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;

void report(int textId, const fs::path& name) {
    presenter().ask({loadString(textId) + shownPath(name), loadString(kStrFileErrorTitle),
                     MessageKind::kError});
}

}  // namespace

bool keepBackup(const fs::path& name) {
    const fs::path backup = replaceExtension(name, "lxb");
    // Nothing to keep, or already a backup (deleting "the older one" would lose it).
    if (!fileExists(name) || backup.native() == name.native()) return true;
    if (fileExists(backup) && !removeFile(backup)) {
        report(kStrUnableToDelete, backup);
        return false;
    }
    if (!renameFile(name, backup)) {
        report(kStrUnableToRename, name);
        return false;
    }
    return true;
}

bool linkBackup(const fs::path& name) {
    const fs::path backup = replaceExtension(name, "lxb");
    if (!fileExists(name) || backup.native() == name.native()) return true;
    if (fileExists(backup) && !removeFile(backup)) {
        report(kStrUnableToDelete, backup);
        return false;
    }
    std::error_code error;
    fs::create_hard_link(name, backup, error);
    if (!error) return true;
    // A file system without hard links: a copy keeps the old words all the same.
    fs::copy_file(name, backup, fs::copy_options::overwrite_existing, error);
    if (!error && syncFile(backup)) return true;
    removeFile(backup);
    report(kStrUnableToRename, name);
    return false;
}

}  // namespace zantric
