#include "core/shell/file_replace.h"

#include <filesystem>
#include <system_error>

#include "core/shell/backup.h"
#include "core/shell/paths.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#define ZANTRIC_HAVE_FSYNC 1
#else
#define ZANTRIC_HAVE_FSYNC 0
#endif

namespace zantric {
namespace {

namespace fs = std::filesystem;

// A file that takes another's place keeps the other's permission bits: a dictionary or a results
// file the user made private stays private. New files are left as they were made.
void takePermissions(const fs::path& source, const fs::path& target) {
    std::error_code error;
    const fs::file_status old = fs::status(target, error);
    if (error || !fs::is_regular_file(old)) return;
    fs::permissions(source, old.permissions(), fs::perm_options::replace, error);
}

// Makes a rename in the folder durable. Failure costs durability only, so it is not reported.
void syncFolder(const fs::path& file) {
#if ZANTRIC_HAVE_FSYNC
    const std::string folder = file.parent_path().string();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#else
    (void)file;
#endif
}

}  // namespace

bool syncFile(const fs::path& name) {
#if ZANTRIC_HAVE_FSYNC
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
#else
    return fileExists(name);
#endif
}

bool replaceFile(const fs::path& source, const fs::path& target, Status* keptOld) {
    if (!syncFile(source)) return false;
    takePermissions(source, target);
    if (keptOld) *keptOld = linkBackup(target);
    std::error_code error;
    fs::rename(source, target, error);
    if (!error) {
        syncFolder(target);
        return true;
    }
    if (error != std::errc::cross_device_link) return false;

    // Another file system: a rename is only atomic within one, so the copy is made beside the
    // target, complete and flushed, before it takes the target's name.
    const fs::path staged = target.parent_path() / kStagingFileName;
    fs::copy_file(source, staged, fs::copy_options::overwrite_existing, error);
    if (error || !syncFile(staged) || !renameFile(staged, target)) {
        removeFile(staged);
        return false;
    }
    syncFolder(target);
    removeFile(source);
    return true;
}

}  // namespace zantric
