// The catalogue from the command line: list, select, unselect, details.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/output.h"
#include "cli/starter_hint.h"
#include "core/dictionary/dictionary_details.h"
#include "core/dictionary/dictionary_language.h"

namespace zantric::cli {

namespace {

// The dictionary list's mark of a selected entry ("»"), in UTF-8.
constexpr const char* kSelectedMark = "\xC2\xBB";

using Use = ProgramSession::Use;

void addSelectCommand(CLI::App& app, CommandLine& line, bool on) {
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
    onRun(*cmd, line, [options, on, &line] {
        if (options->names.empty() && !options->all) {
            std::fprintf(stderr, "zantric-cli: name a dictionary or give --all\n");
            return kExitUsage;
        }
        if (!dictionaryNamesAccepted(options->names)) return kExitUsage;
        const auto session = openSession(line, Use::kReadCatalogue);
        if (!session) return kExitError;
        Catalogue& catalogue = session->catalogue();
        if (options->all) {
            for (std::size_t i = 0; i < catalogue.count(); ++i) {
                catalogue.setSelected(catalogue.entry(i).path(), on);
            }
            return kExitOk;
        }
        int status = kExitOk;
        for (const std::string& name : options->names) {
            if (CatalogueEntry* entry = namedDictionary(*session, name)) {
                catalogue.setSelected(entry->path(), on);
            } else {
                status = kExitError;
            }
        }
        return status;
    });
}

}  // namespace

void addCatalogueCommands(CLI::App& app, CommandLine& line) {
    CLI::App* list =
        app.add_subcommand("list", "List the dictionaries (» marks the selected ones)");
    onRun(*list, line, [&line] {
        const auto session = openSession(line, Use::kReadCatalogue);
        if (!session) return kExitError;
        const Catalogue& catalogue = session->catalogue();
        printStarterHintIfEmpty(catalogue, line.folder);
        for (std::size_t i = 0; i < catalogue.count(); ++i) {
            const CatalogueEntry& entry = catalogue.entry(i);
            // A dictionary of another language than English names it in a fourth column.
            const Language language = dictionaryLanguage(entry.filePath());
            const std::string named =
                foldsLetters(language) ? "\t" + std::string(languageCode(language)) : "";
            std::printf("%s\t%s\t%u%s\n", entry.selected() ? kSelectedMark : " ",
                        shownText(stdout, entry.displayName()).c_str(), entry.header().wordCount,
                        named.c_str());
        }
        return kExitOk;
    });

    addSelectCommand(app, line, true);
    addSelectCommand(app, line, false);

    auto detailsName = std::make_shared<std::string>();
    CLI::App* details =
        app.add_subcommand("details", "Show when a dictionary was made and its size");
    details->add_option("NAME", *detailsName, "Dictionary name")->required();
    onRun(*details, line, [detailsName, &line] {
        if (!dictionaryNamesAccepted({*detailsName})) return kExitUsage;
        const auto session = openSession(line, Use::kReadCatalogue);
        if (!session) return kExitError;
        const CatalogueEntry* entry = namedDictionary(*session, *detailsName);
        if (!entry) return kExitError;
        std::printf("%s\n%s\n", shownText(stdout, detailsTitle(*entry)).c_str(),
                    detailsText(*entry, session->prompter()).c_str());
        return kExitOk;
    });
}

}  // namespace zantric::cli
