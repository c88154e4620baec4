// ProgramSession: the command line's start-up and shut-down around a command that works in the
// program's folder: enter the folder, read the ini, clear leftover temporary files when no other
// copy runs, scan the catalogue, keep an instance marker; at the end delete this copy's
// temporary files and write back changed dictionary headers. Main thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/dictionary/catalogue.h"

namespace zantric {
class InstanceMarker;
}

namespace zantric::cli {

class ProgramSession {
public:
    // `folder` is -C DIR or empty. A command that only reads the catalogue (`temporary` false)
    // makes no folder and no instance marker; one that searches or changes dictionaries makes
    // the temporary folder when it is missing and holds a marker while it runs.
    explicit ProgramSession(const std::string& folder, bool temporary = true);
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // False when the program's folder could not be entered (the reason was printed).
    bool ok() const { return m_ok; }
    // The folder the command was run in: paths typed on the command line are relative to it.
    const std::string& invocationFolder() const { return m_invocationFolder; }
    // A path typed on the command line, made relative to the folder the command was run in.
    std::string typedPath(const std::string& path) const;
    Catalogue& catalogue() { return Catalogue::instance(); }

    // The catalogue entry of a dictionary named as the user types it ("english" or
    // "English.lex"); nullptr when there is none or the name breaks the rule.
    CatalogueEntry* findByName(const std::string& name);

private:
    bool m_ok = false;
    std::string m_invocationFolder;
    std::unique_ptr<InstanceMarker> m_marker;
};

// Whether typed dictionary names keep the one rule of dictionaryFileName; for the first that
// does not, prints "zantric-cli: NAME: " and the rule, and returns false. Checked before any
// work, as a usage error.
bool dictionaryNamesAccepted(const std::vector<std::string>& names);

}  // namespace zantric::cli
