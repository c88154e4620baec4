// zantric-cli search FIND [--from LETTERS] [--include L] [--exclude L] [--use-all|--no-use-all]
// [--suppress-permutations] [--limit N] [--threads N] [--min-word-length N] [--no-repeated-words]
// [--stoplist FILE|--no-stoplist] [--explain] [--best N] [--common LEVEL] [--save NAME]
// [--export FILE [--append]]: the window's Start, from a terminal. Prints every match in result
// order on stdout as the search finds it (with --explain, what each left over), then Found and
// Checked on stderr; then saves the results as the window's Save As does. The results pair is
// written only for --save or
// --export; otherwise the matches go from the search to stdout without touching the disk. With
// --best, only the best matches are printed, best first, once the search ends (ranked_search.h).
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <future>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "cli/cli_commands.h"
#include "cli/cli_presenter.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/progress_line.h"
#include "cli/ranked_search.h"
#include "cli/results_commands.h"
#include "cli/starter_hint.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/results/results_store.h"
#include "core/search/match_explanation.h"
#include "core/search/phrase_filters.h"
#include "core/search/search_request.h"
#include "core/search/search_run.h"
#include "core/search/subset_analysis.h"
#include "core/search/typed_accents.h"
#include "core/shell/common_level.h"
#include "core/shell/ini_names.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric::cli {

namespace {

// The options of the search command.
struct SearchOptions {
    SearchFields fields;
    bool useAll = false;  // --use-all, the default
    bool noUseAll = false;
    std::int64_t limit = 0;
    int threads = -1;  // -1: the ini's
    int minWordLength = 0;
    bool noRepeatedWords = false;
    std::string stoplist;
    bool noStoplist = false;
    bool explain = false;
    RankingOptions ranking;
    std::string language;  // empty: the selected dictionaries'
    std::string saveName;
    ExportOptions exportTo;
};

// The worker's end wakes this thread at once; between two wakes it looks for a signal and prints
// the new matches. The counters on a terminal are redrawn every 100 ms, as the window's timer
// does, and a closed output pipe is looked for as often.
constexpr auto kPollInterval = std::chrono::milliseconds(2);
constexpr int kPollsPerRedraw = 50;
// The most matches --best prints.
constexpr std::int64_t kMaxBest = 1'000'000;

// Match lines on their way from the search worker to the printing thread, a block at a time.
// While more than kMostPending bytes wait, the worker waits too (a search outruns a terminal or
// a pipe by far), except once the search is cancelled: then the rest is taken, to be printed.
class LineQueue final : public LineSink {
public:
    void take(std::string_view lines) override {
        std::unique_lock lock(m_mutex);
        while (m_pending >= kMostPending && !(m_run && m_run->cancelled())) {
            m_taken.wait_for(lock, kWaitSlice);
        }
        m_blocks.emplace_back(lines);
        m_pending += lines.size();
    }

    // The search whose cancel lets the worker pass (set before it starts).
    void follow(const SearchRun& run) { m_run = &run; }

    // The blocks that came since the last call, oldest first.
    std::deque<std::string> takeAll() {
        std::deque<std::string> blocks;
        {
            const std::lock_guard lock(m_mutex);
            blocks.swap(m_blocks);
            m_pending = 0;
        }
        m_taken.notify_one();
        return blocks;
    }

private:
    static constexpr std::size_t kMostPending = std::size_t{8} << 20;
    // A waiting worker looks at the cancel flag this often.
    static constexpr auto kWaitSlice = std::chrono::milliseconds(20);
    std::mutex m_mutex;
    std::condition_variable m_taken;
    std::deque<std::string> m_blocks;
    std::size_t m_pending = 0;
    const SearchRun* m_run = nullptr;
};

// Copies the match lines to stdout as the search finds them: each call prints what has come
// since the last one, escaped when stdout is a terminal.
// With `explainFrom`, each match is followed by a tab and "left: LETTERS" ("-" for none) and,
// when blanks were used, a tab and "blanks: LETTERS"; only the match is escaped, the tabs stay.
// With `spellings`, each word of a match is shown as its word list wrote it (élève).
// A search may write faster than a terminal or a pipe reads: a first Ctrl-C cancels it at once,
// between two writes or in one that waits, and the printing goes on to the last kept match.
class MatchPrinter {
public:
    MatchPrinter(LineQueue& lines, SearchRun& run, const LetterPool* explainFrom,
                 const Spellings& spellings)
        : m_lines(lines),
          m_run(run),
          m_explainFrom(explainFrom),
          m_spellings(spellings),
          m_escape(escapesFor(stdout)),
          m_cancelWhileWaiting([&run] { run.cancel(); }) {}

    // False once standard output failed or the command must end at once.
    bool printNew() {
        for (const std::string& block : m_lines.takeAll()) {
            if (interrupted()) m_run.cancel();
            const std::string_view bytes(block);
            if (m_explainFrom || m_spellings.count() > 0) {
                if (!writeOutput(explained(bytes))) return false;
            } else if (!writeOutput(m_escape ? std::string_view(escapeControls(bytes)) : bytes)) {
                return false;
            }
        }
        return true;
    }

private:
    // The whole lines of `bytes` (a line cut by a read is finished by the next), spelled and
    // explained.
    std::string explained(std::string_view bytes) {
        std::string shown;
        for (const char c : bytes) {
            if (c != '\n') {
                m_line += c;
                continue;
            }
            const std::string& line = spelled(m_line);
            shown += m_escape ? escapeControls(line) : line;
            if (m_explainFrom) {
                const MatchExplanation explanation = explainMatch(m_line, *m_explainFrom);
                shown += "\tleft: ";
                shown += explanation.left.empty() ? "-" : explanation.left;
                if (!explanation.blanks.empty()) shown += "\tblanks: " + explanation.blanks;
            }
            shown += '\n';
            m_line.clear();
        }
        return shown;
    }

    // The words of a match line as written, in m_spelled.
    const std::string& spelled(std::string_view line) {
        if (m_spellings.count() == 0) return m_line;
        return m_spellings.shownLine(line, m_spelled, m_word);
    }

    LineQueue& m_lines;
    SearchRun& m_run;
    const LetterPool* m_explainFrom;
    const Spellings& m_spellings;
    std::string m_line;
    std::string m_spelled;
    std::string m_word;
    bool m_escape;
    WhileWriteWaits m_cancelWhileWaiting;
};

// The filters the options ask for; false (reported) when a named stoplist cannot be read.
bool filtersFromOptions(const SearchOptions& options, const ProgramSession& session,
                        PhraseFilters& filters) {
    filters.minWordLength = options.minWordLength;
    filters.eachWordOnce = options.noRepeatedWords;
    if (options.noStoplist) return true;
    const std::filesystem::path path = options.stoplist.empty()
                                           ? std::filesystem::path(kStoplistFileName)
                                           : session.typedPath(options.stoplist);
    if (!options.stoplist.empty() && !fileOpenWithReport(session.prompter(), path, "rb"))
        return false;
    auto stoplist = std::make_shared<Stoplist>(Stoplist::read(session.prompter(), path));
    if (!stoplist->empty()) filters.stoplist = std::move(stoplist);
    return true;
}

// The ranking's sources and the commonness filter the options ask for; false (reported) when the
// filter's word lists cannot be read. A ranked search lists each set of words once, so it need
// not find every order.
bool rankingFromOptions(SearchOptions& options, ProgramSession& session, RankingSources& sources,
                        PhraseFilters& filters) {
    RankingOptions ranking = options.ranking;
    ranking.language =
        options.language.empty() ? languageOfSelected(session.catalogue()) : options.language;
    ranking.model = session.typedPath(ranking.model);
    ranking.levels = session.typedPath(ranking.levels);
    const RankingSources::ReadNotes notes = sources.read(ranking);
    if (!notes.failure.empty()) {
        std::fprintf(stderr, "zantric-cli: %s\n", notes.failure.c_str());
        return false;
    }
    if (!notes.unranked.empty()) std::fprintf(stderr, "zantric-cli: %s\n", notes.unranked.c_str());
    sources.filter(ranking.common, filters);
    if (sources.ranked()) options.fields.suppressPermutations = true;
    return true;
}

// The analysis on a worker, this thread polling for Ctrl-C and showing its progress.
bool analyse(SearchRun& run, const SearchRequest& request) {
    SubsetAnalysis analysis(request.workspace(), request.fromLetters());
    std::future<bool> ready;
    {
        const SignalsBlocked blocked;  // the worker leaves the signals to this thread
        ready = std::async(std::launch::async, [&] { return run.runAnalysis(analysis); });
    }
    ProgressLine line;
    bool cancelled = false;
    for (int polls = 1; ready.wait_for(kPollInterval) != std::future_status::ready; ++polls) {
        if (!cancelled && (interrupted() || (polls % kPollsPerRedraw == 0 && outputClosed()))) {
            analysis.cancel();
            cancelled = true;
        }
        if (polls % kPollsPerRedraw == 0) {
            line.showAfterASecond(analysis.activity() +
                                  "  Words Checked: " + std::to_string(analysis.checked()) +
                                  "  Matches Found: " + std::to_string(analysis.matchesFound()));
        }
    }
    return ready.get();
}

// Runs the search worker and prints its matches as they come, then finishes the results. A
// signal, or an output that takes no more, cancels the search; after a first Ctrl-C the kept
// matches are still printed. `explainFrom` and `spellings` as for MatchPrinter. Returns whether
// the search was cancelled.
bool searchAndPrint(SearchRun& run, LineQueue& lines, const SearchFields& fields,
                    const LetterPool* explainFrom, const Spellings& spellings) {
    {
        const SignalsBlocked blocked;
        run.startWorker();
    }
    MatchPrinter printer(lines, run, explainFrom, spellings);
    bool printing = true;
    bool cancelAsked = false;
    for (int polls = 1; !run.waitForEnd(kPollInterval); ++polls) {
        if (printing &&
            (endNow() || !printer.printNew() || (polls % kPollsPerRedraw == 0 && outputClosed()))) {
            printing = false;
        }
        if (!cancelAsked && (interrupted() || !printing)) {
            run.cancel();
            cancelAsked = true;
        }
    }
    run.finish(fields);
    if (printing && !endNow()) printer.printNew();
    return cancelAsked;
}

void printCounts(const SearchRun& run) {
    std::fprintf(stderr, "Found: %lld\nChecked: %lld\n", static_cast<long long>(run.found()),
                 static_cast<long long>(run.checked()));
}

// After a search that kept every match: --save and --export.
int saveAndExport(Prompter& prompter, const SearchOptions& options, ResultsStore& results,
                  const SearchRun& run, const ProgramSession& session) {
    if (options.saveName.empty() && options.exportTo.file.empty()) return kExitOk;
    // Save As is offered only when matches are stored.
    if (results.count() == 0) {
        std::fprintf(stderr, "zantric-cli: no matches, so nothing was saved\n");
        return kExitError;
    }
    int status = kExitOk;
    if (!options.saveName.empty() &&
        !saveTypedResults(prompter, results, session, options.saveName)) {
        status = kExitError;
    }
    if (!options.exportTo.file.empty() &&
        !exportTypedResults(prompter, results, {options.fields, 0, run.checked()}, session,
                            options.exportTo)) {
        status = kExitError;
    }
    return status;
}

// After an analysis that was cancelled or failed: the counts, and the exit status.
int analysisFailed(SearchRun& run, const SearchOptions& options) {
    run.finish(options.fields);
    printCounts(run);
    if (interrupted()) return kExitCancelled;
    if (options.saveName.empty() && options.exportTo.file.empty()) return kExitOk;
    std::fprintf(stderr, "zantric-cli: no matches, so nothing was saved\n");
    return kExitError;
}

// The search's session, with the accents typed into `fields` folded as the selected
// dictionaries' words were; none when it cannot open (reported).
auto openSearchSession(const CommandLine& line, SearchFields& fields) {
    auto session = openSession(line, ProgramSession::Use::kWork);
    if (session) foldTypedFields(fields, typingLanguage(session->catalogue()));
    return session;
}

int runSearch(SearchOptions& options, const CommandLine& line) {
    SearchFields& fields = options.fields;
    fields.useAllFromLetters = !options.noUseAll;
    if ((!options.saveName.empty() && !checkResultsName(options.saveName)) ||
        (!options.exportTo.file.empty() && !checkExportName(options.exportTo.file))) {
        return kExitUsage;
    }
    const auto session = openSearchSession(line, fields);
    if (!session) return kExitError;
    SearchRequest request(session->workspace());
    PhraseFilters filters;
    if (!filtersFromOptions(options, *session, filters)) return kExitError;
    RankingSources sources;
    if (!rankingFromOptions(options, *session, sources, filters)) return kExitError;
    request.setFilters(std::move(filters));
    const bool ranked = sources.ranked();
    LineQueue lines;  // outlives the store, which hands its last lines on as it finishes
    RankingLines rankingLines;
    ResultsStore results(session->settings(), session->prompter());
    results.setLineSink(ranked ? static_cast<LineSink*>(&rankingLines) : &lines,
                        !options.saveName.empty() || !options.exportTo.file.empty());
    SearchRun run(request, results);
    lines.follow(run);
    run.setMatchLimit(options.limit);
    run.setThreads(options.threads >= 0 ? options.threads
                                        : session->settings().atStart().integer(ini::kSearchSection,
                                                                                ini::kThreads, 0));
    const StartOutcome outcome = run.prepare(fields);
    if (outcome == StartOutcome::kNoDictionary &&
        !printStarterHintIfEmpty(session->catalogue(), line.folder)) {
        std::fprintf(stderr,
                     "Select a dictionary with: zantric-cli select NAME (see zantric-cli list)\n");
    }
    if (outcome != StartOutcome::kReady) {
        return outcome == StartOutcome::kDiskNearlyFull ? kExitStopped : kExitError;
    }
    if (run.analysisNeeded() && !analyse(run, request)) return analysisFailed(run, options);
    const bool explain = options.explain && request.hasFromLetters();
    const LetterPool* explainFrom = explain ? &request.fromLetters() : nullptr;
    const Spellings spellings = selectedSpellings(session->catalogue());
    std::optional<Ranker> ranker;
    if (ranked) ranker.emplace(sources.rankerFor(options.ranking.best, request));
    const bool cancelled = ranked ? searchAndRank(run, *ranker, rankingLines, fields,
                                                  {explainFrom, spellings, options.explain})
                                  : searchAndPrint(run, lines, fields, explainFrom, spellings);
    printCounts(run);
    if (run.filtersChanged()) std::fprintf(stderr, "%s\n", loadString(kStrFiltersOn).c_str());
    if (cancelled) return kExitCancelled;  // main reports the signal or the output that failed
    // A results file that could not be written was reported: the matches are incomplete, and
    // incomplete results are not saved as if they were the search's.
    if (run.failed()) return kExitError;
    // A full results file or disk kept only some matches, and left no room to save them.
    if (run.stopped() == StoreStop::kFull || run.stopped() == StoreStop::kDiskNearlyFull) {
        run.reportStop();
        return kExitStopped;
    }
    if (const std::string text = run.limitText(); !text.empty()) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    return saveAndExport(*line.presenter, options, results, run, *session);
}

}  // namespace

void addSearchCommand(CLI::App& app, CommandLine& line) {
    auto options = std::make_shared<SearchOptions>();
    SearchFields& fields = options->fields;
    CLI::App* cmd = app.add_subcommand("search", "Search the selected dictionaries");
    cmd->add_option("FIND", fields.find,
                    "Pattern: ? one letter, * any letters, N for N ?, ! the rest")
        ->required();
    cmd->add_option("--from", fields.from, "Letters to spell from (? is a blank)");
    cmd->add_option("--include", fields.include, "Letters a word must contain");
    cmd->add_option("--exclude", fields.exclude, "Letters a word must not contain");
    CLI::Option* useAll =
        cmd->add_flag("--use-all", options->useAll, "Use all FROM letters (the default)");
    cmd->add_flag("--no-use-all", options->noUseAll, "Words may leave FROM letters over")
        ->excludes(useAll);
    cmd->add_flag("--suppress-permutations", fields.suppressPermutations,
                  "List one order of trailing * words");
    cmd->add_option("--limit", options->limit, "Stop after N matches (0: no limit)")
        ->check(wholeNumber(0, std::numeric_limits<std::int64_t>::max()));
    cmd->add_option("--threads", options->threads,
                    "Search threads of a phrase search (0: one per core; default: the ini's "
                    "[SEARCH] Threads, else one per core)")
        ->check(wholeNumber(0, kMaxSearchThreads));
    cmd->add_option("--min-word-length", options->minWordLength,
                    "No word of a phrase shorter than N letters")
        ->check(wholeNumber(1, kMaxMinWordLength));
    cmd->add_flag("--no-repeated-words", options->noRepeatedWords, "No word twice in one phrase");
    CLI::Option* stoplist =
        cmd->add_option(
               "--stoplist", options->stoplist,
               "Words never used, one a line (default: stoplist.txt in the program folder)")
            ->check(notEmpty());
    cmd->add_flag("--no-stoplist", options->noStoplist, "Use no stoplist")->excludes(stoplist);
    cmd->add_flag("--explain", options->explain,
                  "After each match: the FROM letters it left and what its blanks stood for "
                  "(with --best, also its score)");
    cmd->add_option("--best", options->ranking.best,
                    "Print only the N best matches, best first, each set of words once in its "
                    "most natural order (see docs/ranking.md)")
        ->check(wholeNumber(1, kMaxBest));
    cmd->add_option("--common", options->ranking.common,
                    "Use only words at least this common, 1 (any listed word) to 10 (the most "
                    "common)")
        ->check(wholeNumber(1, kMostCommonLevel));
    cmd->add_option("--model", options->ranking.model,
                    std::string("The phrase model of --best (default: ") + kDefaultModel + ")")
        ->check(notEmpty());
    cmd->add_option("--word-levels", options->ranking.levels,
                    std::string("The folder of the graded word lists of --common (default: ") +
                        kDefaultLevels + ")")
        ->check(notEmpty());
    cmd->add_option("--language", options->language,
                    std::string("The language of --best and --common: en reads the phrase model "
                                "and the word lists, another its word counts in ") +
                        kDefaultCountModels + " (default: the selected dictionaries', en)")
        ->check(notEmpty());
    cmd->add_option("--save", options->saveName,
                    "Save the results as NAME.ztr and NAME.zix (a bare NAME in the files folder)")
        ->check(notEmpty());
    addExportOptions(*cmd, options->exportTo);
    onRun(*cmd, line, [options, &line] { return runSearch(*options, line); });
}

}  // namespace zantric::cli
