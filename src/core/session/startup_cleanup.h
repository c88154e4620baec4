// Start-up clean-up of the temporary files that earlier copies of the program left behind (a
// copy that ends abnormally leaves its results pair, subset files and marker). Called on the UI
// thread at start-up, before this copy creates its own instance marker.
#pragma once

namespace zantric {

class Settings;

// When no other copy of the program runs, deletes every file matching "*.$$$" and every file
// matching "$$*.*" in the temporary folder of `settings` (stale instance markers included), the
// word rewrite file "new{}}{.$$$" in the program's folder and a copy of that name in the
// dictionaries and the files folder, and an ini file left half rewritten ("zantric.ini.tmp*"), and
// returns true. While another copy runs its files are in use: nothing is deleted and the result is
// false.
bool deleteLeftoverTempFiles(const Settings& settings);

}  // namespace zantric
