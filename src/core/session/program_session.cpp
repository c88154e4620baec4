#include "core/session/program_session.h"

#include <filesystem>
#include <system_error>

#include "core/session/instance_marker.h"
#include "core/session/startup_cleanup.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/program_folder.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/zantric_exception.h"

namespace zantric {

ProgramSession::ProgramSession(Prompter& prompter) : m_prompter(prompter) {}

ProgramSession::~ProgramSession() { end(); }

bool ProgramSession::start(const std::filesystem::path& folder, Use use, std::string* reason) {
    std::error_code error;
    m_invocationFolder = std::filesystem::current_path(error);
    if (!enterProgramFolder(resolveProgramFolder(folder), reason)) return false;
    m_started = true;
    m_settings = std::make_unique<Settings>(m_prompter);
    if (use == Use::kWork) {
        // Temporary files, the instance marker among them, need their folder.
        std::error_code ignored;
        std::filesystem::create_directories(m_settings->tempFolder(), ignored);
    }
    deleteLeftoverTempFiles(*m_settings);
    m_catalogue = std::make_unique<Catalogue>(*m_settings, m_prompter);
    if (use == Use::kWork) {
        try {
            m_marker = std::make_unique<InstanceMarker>(*m_settings);
        } catch (const ZantricException& e) {
            m_prompter.tell(Message::exception(e.message()));
        }
    }
    return true;
}

void ProgramSession::end() {
    if (!m_started) return;
    m_started = false;
    deleteTemporaryFiles();
    m_catalogue->writeBack();
    m_marker.reset();
}

std::filesystem::path ProgramSession::typedPath(const std::filesystem::path& path) const {
    if (path.empty() || path.is_absolute()) return path;
    return m_invocationFolder / path;
}

CatalogueEntry* ProgramSession::findByName(const std::string& name) {
    const std::string file = dictionaryFileName(name);
    if (file.empty()) return nullptr;
    Catalogue& list = catalogue();
    if (CatalogueEntry* entry = list.find(m_settings->dictionariesFolder() / file)) {
        return entry;
    }
    // The same name under any path spelling the catalogue holds.
    for (std::size_t i = 0; i < list.count(); ++i) {
        if (list.entry(i).displayName() == file) return &list.entry(i);
    }
    return nullptr;
}

bool anotherCopyRunning(const Settings& settings) { return InstanceMarker::count(settings) >= 2; }

bool onlyCopyRunning(const Settings& settings, Prompter& prompter) {
    // Another copy may be reading a dictionary that the change would replace.
    if (!anotherCopyRunning(settings)) return true;
    prompter.ask(Message::fromIds(kStrAnotherCopyRuns, kStrWarningTitle, MessageKind::kWarning));
    return false;
}

void ProgramSession::deleteTemporaryFiles() {
    Catalogue& catalogue = *m_catalogue;
    for (const std::filesystem::path* name :
         {&catalogue.resultsDataName(), &catalogue.resultsIndexName(),
          &catalogue.subsetDictionaryName()}) {
        if (fileExists(*name)) removeFile(*name);
    }
    for (const CatalogueEntry& entry : catalogue.entries()) {
        if (fileExists(entry.subsetFileName())) removeFile(entry.subsetFileName());
    }
}

}  // namespace zantric
