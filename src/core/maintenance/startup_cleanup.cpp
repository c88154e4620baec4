#include "core/maintenance/startup_cleanup.h"

#include <string>

#include "core/dictionary/word_update.h"
#include "core/maintenance/instance_marker.h"
#include "core/shell/config_data.h"
#include "core/shell/file_replace.h"
#include "core/shell/paths.h"

namespace zantric {

bool deleteLeftoverTempFiles() {
    if (InstanceMarker::anyHeldByRunningCopy()) return false;
    const ConfigData& config = ConfigData::instance();
    deleteMatching(config.tempPath("*.$$$"));
    deleteMatching(config.tempPath("$$*.*"));
    // A word rewrite in the program's folder, a copy staged beside a dictionary or a saved
    // results file, and an ini file being rewritten.
    for (const std::string& name : {std::string(kRewriteFileName),
                                    placeInFolder(config.dictionariesFolder(), kStagingFileName),
                                    placeInFolder(config.filesFolder(), kStagingFileName)}) {
        if (fileExists(name)) removeFile(name);
    }
    deleteMatching(config.iniFileName() + ".tmp*");
    return true;
}

}  // namespace zantric
