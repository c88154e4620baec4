#include "cli/program_session.h"

#include <cstdio>
#include <filesystem>

#include "cli/output.h"
#include "core/maintenance/instance_marker.h"
#include "core/maintenance/startup_cleanup.h"
#include "core/shell/paths.h"
#include "core/shell/program_folder.h"
#include "core/shell/settings.h"
#include "core/shell/zantric_exception.h"

namespace zantric::cli {

namespace {

// Temporary files go to the temporary folder; make it when it is missing.
void ensureFolder(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(nativePath(folder), ignored);
}

}  // namespace

ProgramSession::ProgramSession(const std::string& folder, bool temporary) {
    std::error_code error;
    m_invocationFolder = std::filesystem::current_path(error).string();
    std::string reason;
    if (!enterProgramFolder(resolveProgramFolder(folder), &reason)) {
        std::fprintf(stderr, "zantric-cli: %s\n", reason.c_str());
        return;
    }
    Settings& config = Settings::instance();
    if (temporary) ensureFolder(config.tempFolder());
    deleteLeftoverTempFiles();
    Catalogue::instance();
    if (!temporary) {
        m_ok = true;
        return;
    }
    try {
        m_marker = std::make_unique<InstanceMarker>();
    } catch (const ZantricException& e) {
        std::fprintf(stderr, "Zantric Exception: %s\n", e.message().c_str());
        return;
    }
    m_ok = true;
}

ProgramSession::~ProgramSession() {
    if (!m_ok) return;
    Catalogue& catalogue = Catalogue::instance();
    // This copy's temporary files: the results pair, the subset dictionary and its parts.
    for (const std::string* name : {&catalogue.resultsDataName(), &catalogue.resultsIndexName(),
                                    &catalogue.subsetDictionaryName()}) {
        if (fileExists(*name)) removeFile(*name);
    }
    for (std::size_t i = 0; i < catalogue.count(); ++i) {
        const std::string& subset = catalogue.entry(i).subsetFileName();
        if (fileExists(subset)) removeFile(subset);
    }
    Catalogue::destroyInstance();
    m_marker.reset();
}

std::string ProgramSession::typedPath(const std::string& path) const {
    const std::filesystem::path typed(nativePath(path));
    if (path.empty() || typed.is_absolute()) return path;
    return (std::filesystem::path(m_invocationFolder) / typed).string();
}

CatalogueEntry* ProgramSession::findByName(const std::string& name) {
    const std::string file = dictionaryFileName(name);
    if (file.empty()) return nullptr;
    const std::string path = Settings::instance().dictionariesFolder() + "\\" + file;
    if (CatalogueEntry* entry = catalogue().find(path)) return entry;
    // The same name under any path spelling the catalogue holds.
    for (std::size_t i = 0; i < catalogue().count(); ++i) {
        if (catalogue().entry(i).displayName() == file) return &catalogue().entry(i);
    }
    return nullptr;
}

bool dictionaryNamesAccepted(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        std::string refusal;
        if (dictionaryFileName(name, &refusal).empty()) {
            std::fprintf(stderr, "zantric-cli: %s: %s\n", shownText(stderr, name).c_str(),
                         refusal.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace zantric::cli
