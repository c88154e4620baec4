// The "lxb" backup of a dictionary: the file of the same name with the extension "lxb", the
// one older version the program keeps of each dictionary. keepBackup retires a dictionary that
// goes away to its backup; linkBackup keeps a backup while the dictionary stays, before it is
// replaced (file_replace.h). Any thread; one backup of a given file at a time.
#pragma once

#include <filesystem>

#include "core/shell/outcome.h"

namespace zantric {

// A dictionary that goes away (deleted, or an old file of another case that a new dictionary
// replaces): renames it to the same name with the extension "lxb",
// deleting an older backup first. A file that does not exist succeeds and changes nothing.
// A failure is message 329 or 330 with the file's shown path, titled "File Error.".
Status keepBackup(const std::filesystem::path& name);

// Keeps `name` as its "lxb" backup while it stays where it is: an older backup is deleted, then
// the backup becomes a hard link to the same file, or a copy where the file system has no hard
// links. A file that does not exist (or is itself a backup) succeeds and changes nothing.
// A failure is message 329 or 330 with the file's shown path, titled "File Error.".
Status linkBackup(const std::filesystem::path& name);

}  // namespace zantric
