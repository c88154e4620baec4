#include "core/maintenance/instance_marker.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/shell/config_data.h"
#include "core/shell/paths.h"
#include "core/shell/temp_names.h"
#include "core/shell/zantric_exception.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/file.h>
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
std::vector<fs::path> markerFiles() {
    std::vector<fs::path> markers;
    std::error_code error;
    fs::directory_iterator it(fs::path(nativePath(ConfigData::instance().tempFolder())), error);
    if (error) return markers;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        std::error_code typeError;
        if (it->is_regular_file(typeError) &&
            extensionOf(it->path().filename().string()) == kMarkerExtension) {
            markers.push_back(it->path());
        }
    }
    return markers;
}

#if ZANTRIC_MARKER_LOCKS
// A running copy holds a shared lock on its marker: an exclusive lock is then refused. flock
// locks belong to the open file, so a marker of this same process is seen as held too.
bool heldByRunningCopy(const fs::path& marker) {
    int fd = ::open(marker.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;  // cannot tell: treat it as running rather than risk its files
    bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);  // releases the probe's lock
    return held;
}
#endif

}  // namespace

InstanceMarker::InstanceMarker() : m_path(tempFileName(kMarkerExtension)) {
    // Made only if it is not there: a copy started in the same second as a running one would
    // otherwise share its marker, and each would count one copy. That copy takes a name of its
    // own ("$$<time>_1.zti").
    const std::string first = m_path;
    FilePtr file = openFile(m_path, "wbx");
    for (int n = 1; !file && n < 100 && fileExists(m_path); ++n) {
        m_path =
            first.substr(0, first.rfind('.')) + "_" + std::to_string(n) + "." + kMarkerExtension;
        file = openFile(m_path, "wbx");
    }
    if (!file) throw ZantricException("Unable to open Instance Marker File: " + shownPath(m_path));
    file.reset();
#if ZANTRIC_MARKER_LOCKS
    m_lock = ::open(nativePath(m_path).c_str(), O_RDONLY | O_CLOEXEC);
    if (m_lock >= 0 && ::flock(m_lock, LOCK_SH) != 0) {
        ::close(m_lock);
        m_lock = -1;
    }
#endif
}

InstanceMarker::~InstanceMarker() {
    removeFile(m_path);
#if ZANTRIC_MARKER_LOCKS
    if (m_lock >= 0) ::close(m_lock);
#endif
}

int InstanceMarker::count() { return static_cast<int>(markerFiles().size()); }

bool InstanceMarker::anyHeldByRunningCopy() {
#if ZANTRIC_MARKER_LOCKS
    for (const fs::path& marker : markerFiles()) {
        if (heldByRunningCopy(marker)) return true;
    }
    return false;
#else
    return !markerFiles().empty();
#endif
}

}  // namespace zantric
