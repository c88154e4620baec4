#include "cli/cli_commands.h"

#include <cstdio>

#include "cli/output.h"

namespace zantric::cli {

void onRun(CLI::App& cmd, CommandLine& line, std::function<int()> body) {
    cmd.callback([&line, body = std::move(body)] { line.status = body(); });
}

std::unique_ptr<ProgramSession> openSession(const CommandLine& line, ProgramSession::Use use) {
    auto session = std::make_unique<ProgramSession>();
    std::string reason;
    if (!session->start(line.folder, use, &reason)) {
        std::fprintf(stderr, "zantric-cli: %s\n", reason.c_str());
        return nullptr;
    }
    // A command that searches or changes files must be seen by other copies.
    if (use == ProgramSession::Use::kWork && !session->hasMarker()) return nullptr;
    return session;
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

CatalogueEntry* namedDictionary(ProgramSession& session, const std::string& name) {
    CatalogueEntry* entry = session.findByName(name);
    if (!entry) {
        std::fprintf(stderr, "zantric-cli: no dictionary named %s (see zantric-cli list)\n",
                     name.c_str());
    }
    return entry;
}

}  // namespace zantric::cli
