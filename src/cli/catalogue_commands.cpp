// The catalogue from the command line: list, select, unselect, details.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/output.h"
#include "cli/program_session.h"
#include "cli/starter_hint.h"
#include "core/dictionary/dictionary_details.h"

namespace zantric::cli {

namespace {

// The dictionary list's mark of a selected entry ("»"), in UTF-8.
constexpr const char* kSelectedMark = "\xC2\xBB";

void addSelectCommand(CLI::App& app, const GlobalOptions& global, int& status, bool on) {
    struct Options {
        std::vector<std::string> names;
        bool all = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd =
        app.add_subcommand(on ? "select" : "unselect", on ? "Use dictionaries in searches"
                                                          : "Stop using dictionaries in searches");
    CLI::Option* names =
        cmd->add_option("NAME", options->names, "Dictionary names (english or english.lex)");
    CLI::Option* all = cmd->add_flag("--all", options->all, "Every dictionary");
    names->excludes(all);
    cmd->callback([options, on, &global, &status] {
        if (options->names.empty() && !options->all) {
            std::fprintf(stderr, "zantric-cli: name a dictionary or give --all\n");
            status = kExitUsage;
            return;
        }
        if (!dictionaryNamesAccepted(options->names)) {
            status = kExitUsage;
            return;
        }
        ProgramSession session(global.folder, false);
        if (!session.ok()) {
            status = kExitError;
            return;
        }
        Catalogue& catalogue = session.catalogue();
        if (options->all) {
            for (std::size_t i = 0; i < catalogue.count(); ++i) {
                catalogue.setSelected(catalogue.entry(i).path(), on);
            }
            return;
        }
        for (const std::string& name : options->names) {
            CatalogueEntry* entry = session.findByName(name);
            if (!entry) {
                std::fprintf(stderr, "zantric-cli: no dictionary named %s (see zantric-cli list)\n",
                             name.c_str());
                status = kExitError;
                continue;
            }
            catalogue.setSelected(entry->path(), on);
        }
    });
}

}  // namespace

void addCatalogueCommands(CLI::App& app, const GlobalOptions& global, int& status) {
    CLI::App* list =
        app.add_subcommand("list", "List the dictionaries (» marks the selected ones)");
    list->callback([&global, &status] {
        ProgramSession session(global.folder, false);
        if (!session.ok()) {
            status = kExitError;
            return;
        }
        const Catalogue& catalogue = session.catalogue();
        printStarterHintIfEmpty(catalogue, global.folder);
        for (std::size_t i = 0; i < catalogue.count(); ++i) {
            const CatalogueEntry& entry = catalogue.entry(i);
            std::printf("%s\t%s\t%u\n", entry.selected() ? kSelectedMark : " ",
                        shownText(stdout, entry.displayName()).c_str(), entry.header().wordCount);
        }
    });

    addSelectCommand(app, global, status, true);
    addSelectCommand(app, global, status, false);

    auto detailsName = std::make_shared<std::string>();
    CLI::App* details =
        app.add_subcommand("details", "Show when a dictionary was made and its size");
    details->add_option("NAME", *detailsName, "Dictionary name")->required();
    details->callback([detailsName, &global, &status] {
        if (!dictionaryNamesAccepted({*detailsName})) {
            status = kExitUsage;
            return;
        }
        ProgramSession session(global.folder, false);
        if (!session.ok()) {
            status = kExitError;
            return;
        }
        const CatalogueEntry* entry = session.findByName(*detailsName);
        if (!entry) {
            std::fprintf(stderr, "zantric-cli: no dictionary named %s (see zantric-cli list)\n",
                         detailsName->c_str());
            status = kExitError;
            return;
        }
        std::printf("%s\n%s\n", shownText(stdout, detailsTitle(*entry)).c_str(),
                    detailsText(*entry).c_str());
    });
}

}  // namespace zantric::cli
