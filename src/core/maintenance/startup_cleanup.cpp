#include "core/maintenance/startup_cleanup.h"

#include "core/maintenance/instance_marker.h"
#include "core/shell/config_data.h"
#include "core/shell/paths.h"

namespace zantric {

bool deleteLeftoverTempFiles() {
    if (InstanceMarker::anyHeldByRunningCopy()) return false;
    const ConfigData& config = ConfigData::instance();
    deleteMatching(config.tempPath("*.$$$"));
    deleteMatching(config.tempPath("$$*.*"));
    return true;
}

}  // namespace zantric
