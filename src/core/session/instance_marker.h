// InstanceMarker: the empty file "<temporary base name>.zti" in the temporary folder that tells
// other copies of the program that this copy runs. Dictionary-changing commands are enabled only
// while count() is below 2. The program session owns the one marker of the process; UI thread
// only. While it lives the marker also holds a shared file lock, so that the start-up clean-up
// can tell the marker of a running copy from one left behind by a copy that ended abnormally.
#pragma once

#include <filesystem>

namespace zantric {

class Settings;

class InstanceMarker {
public:
    // Creates the empty marker file "<temporary base name>.zti", or "<base>_1.zti" (and so on)
    // for a second marker of this process, and holds its lock. Throws ZantricException
    // "Unable to open Instance Marker File: " + path when it cannot be created.
    explicit InstanceMarker(const Settings& settings);
    // Deletes the marker file if it still exists.
    ~InstanceMarker();
    InstanceMarker(const InstanceMarker&) = delete;
    InstanceMarker& operator=(const InstanceMarker&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // Number of *.zti files in the temporary folder, this copy's own and stale ones included.
    static int count(const Settings& settings);
    // Whether a marker in the temporary folder belongs to a copy that is still running. Where
    // file locks are not available, every marker counts as a running copy.
    static bool anyHeldByRunningCopy(const Settings& settings);
    // Deletes every marker that no running copy holds, each while holding its lock, so that a
    // copy that is just making its marker sees the deletion and makes it again.
    static void removeStale(const Settings& settings);

private:
    bool create();

    std::filesystem::path m_path;
    int m_lock = -1;  // descriptor holding the shared lock on the marker, -1 for none
};

}  // namespace zantric
