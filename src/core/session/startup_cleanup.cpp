#include "core/session/startup_cleanup.h"

#include <filesystem>
#include <vector>

#include "core/dictionary/word_update.h"
#include "core/session/instance_marker.h"
#include "core/shell/file_replace.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"

namespace zantric {

bool deleteLeftoverTempFiles(const Settings& config) {
    // The leftovers are listed before the markers are looked at: a copy starting meanwhile
    // holds its marker before it makes any other file, so no file of a running copy is listed
    // unless its marker is seen held below.
    std::vector<std::filesystem::path> leftovers = filesMatching(config.tempPath("*.$$$"));
    for (std::filesystem::path& name : filesMatching(config.tempPath("$$*.*"))) {
        if (extensionOf(name) != "zti") leftovers.push_back(std::move(name));
    }
    if (InstanceMarker::anyHeldByRunningCopy(config)) return false;
    InstanceMarker::removeStale(config);
    for (const std::filesystem::path& name : leftovers) {
        if (fileExists(name)) removeFile(name);
    }
    // A word rewrite in the program's folder, a copy staged beside a dictionary or a saved
    // results file, and an ini file being rewritten.
    for (const std::filesystem::path& name :
         {std::filesystem::path(kRewriteFileName), config.dictionariesFolder() / kStagingFileName,
          config.filesFolder() / kStagingFileName}) {
        if (fileExists(name)) removeFile(name);
    }
    deleteMatching(std::filesystem::path(config.iniFileName()) += ".tmp*");
    return true;
}

}  // namespace zantric
