#include "core/shell/folder_lock.h"

#include "core/shell/paths.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#define ZANTRIC_FOLDER_LOCKS 1
#else
#define ZANTRIC_FOLDER_LOCKS 0
#endif

namespace zantric {

FolderLock::FolderLock(const std::filesystem::path& folder, Mode mode) {
#if ZANTRIC_FOLDER_LOCKS
    const std::filesystem::path native = folder.empty() ? std::filesystem::path(".") : folder;
    const int fd = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    int locked;
    do {
        locked = ::flock(fd, mode == Mode::kShared ? LOCK_SH : LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        ::close(fd);
        return;
    }
    m_fd = fd;
#else
    (void)folder;
    (void)mode;
#endif
}

FolderLock::~FolderLock() {
#if ZANTRIC_FOLDER_LOCKS
    if (m_fd >= 0) ::close(m_fd);  // releases the lock
#endif
}

}  // namespace zantric
