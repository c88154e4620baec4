// FolderLock: a lock on a folder that copies of the program take around work that must not
// interleave with another copy's, such as replacing the two files of a results pair while
// another copy opens them, or reading, changing and writing back the stoplist. It is flock(2)
// on the folder itself, so no lock file is left behind, and it goes with the object (or with
// the process). Where such locks are not available, or the folder cannot be opened, nothing is
// locked and the work goes on as it would alone. Any thread; a thread holding a folder's lock
// does not take it again.
#pragma once

#include <filesystem>

namespace zantric {

class FolderLock {
public:
    enum class Mode { kShared, kExclusive };

    // Waits until the folder's lock is granted in `mode`; "" is the current folder.
    FolderLock(const std::filesystem::path& folder, Mode mode);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

}  // namespace zantric
