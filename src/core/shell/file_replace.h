// Replacing a file so that its name is never missing, not even for an instant, and so that a
// crash or power loss at any moment leaves under that name the old file or the new one,
// complete: the new file is flushed to the disk first, the old one is kept as a second name (its
// "lxb" backup), and one rename puts the new file in place. Used wherever a dictionary gives way
// to its successor. Any thread; one replacement of a given file at a time.
#pragma once

#include <filesystem>

namespace zantric {

class Status;

// The name under which a copy from another file system waits beside its target; the start-up
// clean-up deletes it from the program's, the dictionaries and the files folder.
inline constexpr const char* kStagingFileName = "new{}}{.$$$";

// Flushes a file's data to the disk; false when that fails. True where the system has no such
// call.
bool syncFile(const std::filesystem::path& name);

// Puts the complete file `source` in the place of `target`: flushed to the disk and renamed over
// it, so that `target` names the old file until the instant it names the new one. The new file
// takes the permission bits of the one it replaces. A source on another file system is first
// copied beside the target under kStagingFileName, flushed, and renamed from there. With
// `keptOld` an existing target is first kept by linkBackup of backup.h, whose outcome goes to
// *keptOld (the work goes on either way). False when the new file could not be put in place: the
// target is then as it was, the source stays and no staged copy is left.
bool replaceFile(const std::filesystem::path& source, const std::filesystem::path& target,
                 Status* keptOld = nullptr);

}  // namespace zantric
