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

Message failure(int textId, const fs::path& name) {
    return {loadString(textId) + shownPath(name), loadString(kStrFileErrorTitle),
            MessageKind::kError};
}

}  // namespace

Status keepBackup(const fs::path& name) {
    fs::path backup = replaceExtension(name, "lxb");
    // Nothing to keep, or already a backup (deleting "the older one" would lose it).
    if (!fileExists(name) || backup.native() == name.native()) return {};
    if (fileExists(backup) && !removeFile(backup)) return failure(kStrUnableToDelete, backup);
    if (!renameFile(name, backup)) return failure(kStrUnableToRename, name);
    return {};
}

Status linkBackup(const fs::path& name) {
    const fs::path backup = replaceExtension(name, "lxb");
    if (!fileExists(name) || backup.native() == name.native()) return {};
    if (fileExists(backup) && !removeFile(backup)) return failure(kStrUnableToDelete, backup);
    std::error_code error;
    fs::create_hard_link(name, backup, error);
    if (!error) return {};
    // A file system without hard links: a copy keeps the old words all the same.
    fs::copy_file(name, backup, fs::copy_options::overwrite_existing, error);
    if (!error && syncFile(backup)) return {};
    removeFile(backup);
    return failure(kStrUnableToRename, name);
}

}  // namespace zantric
