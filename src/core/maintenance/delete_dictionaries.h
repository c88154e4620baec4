// Deleting dictionaries, as Select Dictionaries' Delete and a merge that removes what it merged
// do it: one question for all of them, each kept as its "lxb" backup and taken out of the
// catalogue, and one message listing the failures. Called on the user-interface thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/dictionary/workspace.h"
#include "core/maintenance/new_dictionary.h"

namespace zantric {

// Deletes the dictionaries named by `rows` (each row without its first `skip` characters is a
// file name in the dictionaries folder) after asking (709, 710); each is kept as its "lxb"
// backup and leaves the catalogue. kDone when every dictionary was deleted; kStopped when there
// were no rows (message 708) or the answer was No; kFailed when some could not be deleted (each
// backup's failure told, then the names in one message, 711).
MaintenanceOutcome deleteHighlighted(Workspace workspace, const std::vector<std::string>& rows,
                                     std::size_t skip);

}  // namespace zantric
