// zantric-cli search FIND [--from LETTERS] [--include L] [--exclude L] [--use-all|--no-use-all]
// [--suppress-permutations] [--min-word-length N] [--no-repeated-words] [--stoplist FILE|
// --no-stoplist] [--explain] [--save NAME] [--export FILE [--append]]: the window's Start, from a
// terminal. Prints every match in result order on stdout (with --explain, what each left over),
// then Found and Checked on stderr; then saves the results as the window's Save As does.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/cli_commands.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/program_session.h"
#include "cli/results_commands.h"
#include "cli/starter_hint.h"
#include "core/results/results_header.h"
#include "core/results/vlb_data.h"
#include "core/search/match_explanation.h"
#include "core/search/phrase_filters.h"
#include "core/search/search_data.h"
#include "core/search/search_run.h"
#include "core/search/subset_analysis.h"
#include "core/shell/paths.h"
#include "core/shell/string_table.h"

namespace zantric::cli {

namespace {

// The options of the search beyond its fields.
struct SearchOptions {
    int minWordLength = 0;
    bool noRepeatedWords = false;
    std::string stoplist;
    bool noStoplist = false;
    bool explain = false;
};

// The end of the work is looked for often, so a short search returns at once; the counters on
// a terminal are redrawn every 100 ms, as the window's timer does.
constexpr auto kPollInterval = std::chrono::milliseconds(2);
constexpr int kPollsPerRedraw = 50;
constexpr int kFiltersOn = 909;

// Copies the match lines of a finished results data file to stdout. With `explainFrom`, each
// line is followed by a tab and "left: LETTERS" ("-" for none) and, when blanks were used, a tab
// and "blanks: LETTERS".
void printMatches(const std::string& dataName, const SrcLetters* explainFrom) {
    FilePtr file = openFile(dataName, "rb");
    if (!file) return;
    if (std::fseek(file.get(), static_cast<long>(kResultsHeaderSize), SEEK_SET) != 0) return;
    std::fflush(stdout);
    const bool escape = escapesFor(stdout);
    char buffer[1 << 16];
    std::size_t n;
    if (!explainFrom) {
        while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
            if (escape) {
                const std::string shown = escapeControls(std::string_view(buffer, n));
                std::fwrite(shown.data(), 1, shown.size(), stdout);
            } else {
                std::fwrite(buffer, 1, n, stdout);
            }
        }
        std::fflush(stdout);
        return;
    }
    OutputBuffer out(stdout);
    std::string line;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        for (std::size_t i = 0; i < n; ++i) {
            if (buffer[i] != '\n') {
                line += buffer[i];
                continue;
            }
            const MatchExplanation explanation = explainMatch(line, *explainFrom);
            std::string tail = "\tleft: ";
            tail += explanation.left.empty() ? "-" : explanation.left;
            if (!explanation.blanks.empty()) tail += "\tblanks: " + explanation.blanks;
            out.line(line, tail);
            line.clear();
        }
    }
}

// The filters the options ask for; false (reported) when a named stoplist cannot be read.
bool filtersFromOptions(const SearchOptions& options, const ProgramSession& session,
                        PhraseFilters& filters) {
    filters.minWordLength = options.minWordLength;
    filters.eachWordOnce = options.noRepeatedWords;
    if (options.noStoplist) return true;
    const std::string path = options.stoplist.empty() ? std::string(kStoplistFileName)
                                                      : session.typedPath(options.stoplist);
    if (!options.stoplist.empty() && !fileOpenWithReport(path, "rb")) return false;
    auto stoplist = std::make_shared<Stoplist>(Stoplist::read(path));
    if (!stoplist->empty()) filters.stoplist = std::move(stoplist);
    return true;
}

// The analysis on a worker, this thread polling for Ctrl-C and showing its progress.
bool analyse(SearchRun& run, const SearchData& request) {
    SubsetAnalysis analysis(request.fromLetters());
    bool ready = false;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        ready = run.runAnalysis(analysis);
        done.store(true);
    });
    const bool tty = isatty(STDERR_FILENO);
    bool cancelled = false;
    auto started = std::chrono::steady_clock::now();
    for (int polls = 1;; ++polls) {
        std::this_thread::sleep_for(kPollInterval);
        if (!cancelled && interrupted()) {
            analysis.cancel();
            cancelled = true;
        }
        if (tty && polls % kPollsPerRedraw == 0 &&
            std::chrono::steady_clock::now() - started > std::chrono::seconds(1)) {
            std::fprintf(stderr, "\r%s  Words Checked: %u  Matches Found: %d\033[K",
                         analysis.activity().c_str(), analysis.checked(), analysis.matchesFound());
        }
        if (done.load()) break;
    }
    worker.join();
    if (tty) std::fprintf(stderr, "\r\033[K");
    return ready;
}

// The fields as the window shows them at the end of the search, with its Checked count.
SearchSummary shownFields(const SearchFields& fields, std::int32_t checked) {
    SearchSummary shown;
    shown.find = fields.find;
    shown.from = fields.from;
    shown.include = fields.include;
    shown.exclude = fields.exclude;
    shown.useAllFromLetters = fields.useAllFromLetters;
    shown.suppressPermutations = fields.suppressPermutations;
    shown.checked = checked;
    return shown;
}

}  // namespace

void addSearchCommand(CLI::App& app, const GlobalOptions& global, int& status) {
    auto fields = std::make_shared<SearchFields>();
    auto noUseAll = std::make_shared<bool>(false);
    CLI::App* cmd = app.add_subcommand("search", "Search the selected dictionaries");
    cmd->add_option("FIND", fields->find,
                    "Pattern: ? one letter, * any letters, N for N ?, ! the rest")
        ->required();
    cmd->add_option("--from", fields->from, "Letters to spell from (? is a blank)");
    cmd->add_option("--include", fields->include, "Letters a word must contain");
    cmd->add_option("--exclude", fields->exclude, "Letters a word must not contain");
    auto useAllFlag = std::make_shared<bool>(false);
    CLI::Option* useAll =
        cmd->add_flag("--use-all", *useAllFlag, "Use all FROM letters (the default)");
    cmd->add_flag("--no-use-all", *noUseAll, "Words may leave FROM letters over")->excludes(useAll);
    cmd->add_flag("--suppress-permutations", fields->suppressPermutations,
                  "List one order of trailing * words");
    auto options = std::make_shared<SearchOptions>();
    cmd->add_option("--min-word-length", options->minWordLength,
                    "No word of a phrase shorter than N letters")
        ->check(CLI::Range(1, kMaxMinWordLength));
    cmd->add_flag("--no-repeated-words", options->noRepeatedWords, "No word twice in one phrase");
    CLI::Option* stoplist = cmd->add_option(
        "--stoplist", options->stoplist,
        "Words never used, one a line (default: stoplist.txt in the program folder)");
    cmd->add_flag("--no-stoplist", options->noStoplist, "Use no stoplist")->excludes(stoplist);
    cmd->add_flag("--explain", options->explain,
                  "After each match: the FROM letters it left and what its blanks stood for");
    auto saveName = std::make_shared<std::string>();
    auto exportTo = std::make_shared<ExportOptions>();
    cmd->add_option("--save", *saveName,
                    "Save the results as NAME.ztr and NAME.zix (a bare NAME in the files folder)");
    addExportOptions(*cmd, *exportTo);
    cmd->callback([fields, noUseAll, useAllFlag, options, saveName, exportTo, &global, &status] {
        fields->useAllFromLetters = !*noUseAll;
        if ((!saveName->empty() && !checkResultsName(*saveName)) ||
            (!exportTo->file.empty() && !checkExportName(exportTo->file))) {
            status = kExitUsage;
            return;
        }
        ProgramSession session(global.folder);
        if (!session.ok()) {
            status = kExitError;
            return;
        }
        SearchData request;
        PhraseFilters filters;
        if (!filtersFromOptions(*options, session, filters)) {
            status = kExitError;
            return;
        }
        request.setFilters(std::move(filters));
        VLBData results;
        SearchRun run(request, results);
        watchInterrupt();
        const StartOutcome outcome = run.prepare(*fields);
        if (outcome == StartOutcome::kNoDictionary &&
            !printStarterHintIfEmpty(session.catalogue(), global.folder)) {
            std::fprintf(
                stderr,
                "Select a dictionary with: zantric-cli select NAME (see zantric-cli list)\n");
        }
        if (outcome != StartOutcome::kReady) {
            status = kExitError;
            return;
        }
        if (run.analysisNeeded() && !analyse(run, request)) {
            run.finish(*fields);
            std::fprintf(stderr, "Found: 0\nChecked: %d\n", run.checked());
            status = interrupted() ? kExitCancelled : kExitOk;
            if (status == kExitOk && (!saveName->empty() || !exportTo->file.empty())) {
                std::fprintf(stderr, "zantric-cli: no matches, so nothing was saved\n");
                status = kExitError;
            }
            return;
        }
        run.startWorker();
        bool cancelAsked = false;
        while (run.running()) {
            std::this_thread::sleep_for(kPollInterval);
            if (!cancelAsked && interrupted()) {
                run.cancel();
                cancelAsked = true;
            }
        }
        run.finish(*fields);
        const bool explain = options->explain && request.hasFromLetters();
        if (run.found() > 0) {
            printMatches(results.dataName(), explain ? &request.fromLetters() : nullptr);
        }
        std::fprintf(stderr, "Found: %d\nChecked: %d\n", run.found(), run.checked());
        if (run.filtersChanged()) std::fprintf(stderr, "%s\n", loadString(kFiltersOn).c_str());
        status = cancelAsked ? kExitCancelled : kExitOk;
        // A results file that could not be written was reported: the matches are incomplete,
        // and incomplete results are not saved as if they were the search's.
        if (run.failed() && !cancelAsked) {
            status = kExitError;
            return;
        }
        if (cancelAsked || (saveName->empty() && exportTo->file.empty())) return;
        // Save As is offered only when matches are stored.
        if (results.count() == 0) {
            std::fprintf(stderr, "zantric-cli: no matches, so nothing was saved\n");
            status = kExitError;
            return;
        }
        if (!saveName->empty() && !saveTypedResults(results, session, *saveName)) {
            status = kExitError;
        }
        if (!exportTo->file.empty() &&
            !exportTypedResults(results, shownFields(*fields, run.checked()), session, *exportTo)) {
            status = kExitError;
        }
    });
}

}  // namespace zantric::cli
