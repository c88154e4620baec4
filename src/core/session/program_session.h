// ProgramSession: one run of the program in its folder, the window's and the command line's
// alike; it owns the settings and the catalogue that the program's operations work with (its
// workspace(), with the prompter the program made it with). start() enters the program's folder
// and reads its ini into the settings, makes the temporary folder,
// deletes what earlier copies left behind (when no other copy runs), scans the catalogue and
// makes this copy's instance marker; end() deletes this copy's temporary files, writes back
// every changed dictionary header and only then removes the marker, so that other copies see
// this one until its files are settled. Main (UI) thread only.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/workspace.h"
#include "core/shell/settings.h"

namespace zantric {

class InstanceMarker;

// Whether another copy of the program runs (its instance marker is in the temporary folder of
// `settings` beside this copy's).
bool anotherCopyRunning(const Settings& settings);
// Dictionaries are changed by one copy of the program at a time: while another copy runs,
// shows message 420 and returns false.
bool onlyCopyRunning(const Settings& settings, Prompter& prompter);

class ProgramSession {
public:
    // What the program does in its folder.
    enum class Use {
        kReadCatalogue,  // lists or selects dictionaries: no temporary folder, no marker
        kWork,           // searches, changes dictionaries or results: both
    };

    // `prompter` shows the session's messages and answers its questions until the session ends.
    explicit ProgramSession(Prompter& prompter);
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // `folder` is -C DIR or empty. False when the program's folder cannot be entered: `reason`
    // then says why, and the session has not started. A marker that cannot be made is reported
    // (a "Zantric Exception" box) and the session goes on without one: see hasMarker(). The
    // settings, the catalogue and the workspace are there only while the session runs.
    bool start(const std::filesystem::path& folder, Use use, std::string* reason);
    // The end of a started session (again: nothing). The destructor calls it.
    void end();

    bool hasMarker() const { return m_marker != nullptr; }
    // The folder the program was started in, before it entered the program's folder.
    const std::filesystem::path& invocationFolder() const { return m_invocationFolder; }
    // A path typed on the command line: a relative one is made relative to invocationFolder().
    std::filesystem::path typedPath(const std::filesystem::path& path) const;
    const Settings& settings() const { return *m_settings; }
    Catalogue& catalogue() { return *m_catalogue; }
    Prompter& prompter() const { return m_prompter; }
    Workspace workspace() { return {*m_settings, *m_catalogue, m_prompter}; }
    // The catalogue entry of a dictionary named as the user types it ("english" or
    // "English.lex"); nullptr when there is none or the name breaks the rule.
    CatalogueEntry* findByName(const std::string& name);

    // The two above for this session.
    bool anotherCopyRunning() const { return zantric::anotherCopyRunning(*m_settings); }
    bool onlyCopyRunning() { return zantric::onlyCopyRunning(*m_settings, m_prompter); }
    // Deletes this copy's temporary files: the results pair, the subset dictionary and the
    // subset of each dictionary.
    void deleteTemporaryFiles();

private:
    Prompter& m_prompter;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<Catalogue> m_catalogue;
    bool m_started = false;
    std::filesystem::path m_invocationFolder;
    std::unique_ptr<InstanceMarker> m_marker;
};

}  // namespace zantric
