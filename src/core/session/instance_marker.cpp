#include "core/session/instance_marker.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#define ZANTRIC_MARKER_LOCKS 1
#else
#define ZANTRIC_MARKER_LOCKS 0
#endif

namespace zantric {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMarkerExtension = "zti";

// The native paths of the markers in the temporary folder.
std::vector<fs::path> markerFiles(const Settings& settings) {
    std::vector<fs::path> markers;
    std::error_code error;
    fs::directory_iterator it(settings.tempFolder(), error);
    if (error) return markers;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        std::error_code typeError;
        if (it->is_regular_file(typeError) && extensionOf(it->path()) == kMarkerExtension) {
            markers.push_back(it->path());
        }
    }
    return markers;
}

#if ZANTRIC_MARKER_LOCKS
// A running copy holds a shared lock on its marker: an exclusive lock is then refused. flock
// locks belong to the open file, so a marker of this same process is seen as held too. With
// `remove`, a marker that is not held is deleted while the probe holds its lock.
bool heldByRunningCopy(const fs::path& marker, bool remove) {
    int fd = ::open(marker.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return !remove && fs::exists(marker);  // cannot tell: treat it as running
    bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!held && remove) ::unlink(marker.c_str());
    ::close(fd);  // releases the probe's lock
    return held;
}
#endif

}  // namespace

InstanceMarker::InstanceMarker(const Settings& settings)
    : m_path(tempFileName(settings, kMarkerExtension)) {
    // Made only if it is not there: two markers of one name would count one copy. A second
    // marker of this same process takes a name of its own ("$$<base>_1.zti").
    const fs::path first = m_path;
    for (int n = 0; n < 100; ++n) {
        if (n > 0) {
            m_path = first;
            m_path.replace_filename(first.stem().string() + "_" + std::to_string(n) + "." +
                                    kMarkerExtension);
        }
        if (create()) return;
        if (!fileExists(m_path)) break;
    }
    throw ZantricException("Unable to open Instance Marker File: " + shownPath(m_path));
}

bool InstanceMarker::create() {
#if ZANTRIC_MARKER_LOCKS
    // The start-up clean-up of a copy starting now may take this new marker for a stale one
    // before it is locked, and delete it; it deletes it while holding the lock, so once the lock
    // is held here, a marker still under its name is this one and stays.
    const fs::path& native = m_path;
    for (int tries = 0; tries < 10; ++tries) {
        const int fd = ::open(native.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) return false;
        struct stat held {};
        struct stat named {};
        if (::flock(fd, LOCK_SH) == 0 && ::fstat(fd, &held) == 0 &&
            ::stat(native.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            m_lock = fd;
            return true;
        }
        ::close(fd);
    }
    return false;
#else
    return openFile(m_path, "wbx") != nullptr;
#endif
}

InstanceMarker::~InstanceMarker() {
    removeFile(m_path);
#if ZANTRIC_MARKER_LOCKS
    if (m_lock >= 0) ::close(m_lock);
#endif
}

int InstanceMarker::count(const Settings& settings) {
    return static_cast<int>(markerFiles(settings).size());
}

bool InstanceMarker::anyHeldByRunningCopy(const Settings& settings) {
#if ZANTRIC_MARKER_LOCKS
    for (const fs::path& marker : markerFiles(settings)) {
        if (heldByRunningCopy(marker, false)) return true;
    }
    return false;
#else
    return !markerFiles(settings).empty();
#endif
}

void InstanceMarker::removeStale(const Settings& settings) {
    for (const fs::path& marker : markerFiles(settings)) {
#if ZANTRIC_MARKER_LOCKS
        heldByRunningCopy(marker, true);
#else
        std::error_code ignored;
        fs::remove(marker, ignored);
#endif
    }
}

}  // namespace zantric
