// zantric-cli make WORDLIST NAME [--unique], merge NAME NAME... --into NEW [--delete-merged] and
// starter [WORDLIST]: the window's Make Dictionary From File, Merge Dictionaries and first-start
// offer, from a terminal. Each stage runs with the progress line; Ctrl-C cancels it and its
// temporary files are deleted. A WORDLIST may be a stream: "-" (standard input), a pipe, a FIFO
// or a terminal.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_presenter.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/progress_line.h"
#include "core/dictionary/letter_fold.h"
#include "core/maintenance/make_dictionary.h"
#include "core/maintenance/merge_dictionaries.h"
#include "core/maintenance/system_word_list.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/temp_names.h"

namespace zantric::cli {

namespace {

using Use = ProgramSession::Use;

// Runs each stage with the progress line and notes whether Ctrl-C cancelled one.
StageRunner progressRunner(bool& cancelled) {
    return [&cancelled](ProgressWork& work) {
        bool interrupted = false;
        const WorkResult result = runWithProgress(work, &interrupted);
        cancelled = cancelled || interrupted;
        return result;
    };
}

// What a make read, on stderr: "N words stored, M lines skipped", then a line for each reason
// lines were skipped with the first few of them; nothing when the list was not read to its end.
void printReport(const WordListReport& report) {
    if (!report.readToEnd) return;
    for (const std::string& line :
         describeReport(report, [](std::uint64_t n) { return std::to_string(n); })) {
        std::fprintf(stderr, "%s\n", shownText(stderr, line).c_str());
    }
}

// A word list as the make reads it. The make measures its file for the progress line and opens
// only a regular file, so a stream is first read to its end into a file in the temporary folder,
// which is removed when the command ends, however it ends.
class WordListFile {
public:
    // `typed` as given ("-" is standard input), `path` as the session places it.
    WordListFile(const Settings& settings, const std::string& typed,
                 const std::filesystem::path& path)
        : m_settings(settings) {
        if (typed == "-") {
            copyFrom(STDIN_FILENO, "standard input");
            return;
        }
        m_path = path;
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0 ||
            !(S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode))) {
            return;  // a file, or what the make refuses with its own message
        }
        // Waits for a FIFO's writer; Ctrl-C ends the wait.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            m_status = interrupted() ? kExitCancelled : kExitError;
            if (!interrupted()) reportCannotRead(shownPath(path));
            return;
        }
        if (S_ISFIFO(status.st_mode) || ::isatty(fd)) copyFrom(fd, shownPath(path));
        ::close(fd);
    }
    ~WordListFile() {
        if (!m_copy.empty()) removeFile(m_copy);
    }
    WordListFile(const WordListFile&) = delete;
    WordListFile& operator=(const WordListFile&) = delete;

    // What the make reads.
    const std::filesystem::path& path() const { return m_path; }
    // kExitOk, or the status of a copy that failed (reported) or was cancelled.
    int status() const { return m_status; }

private:
    static void reportCannotRead(const std::string& shown) {
        std::fprintf(stderr, "zantric-cli: cannot read the word list from %s: %s\n", shown.c_str(),
                     std::strerror(errno));
    }

    void copyFrom(int fd, const std::string& shown) {
        if (::isatty(fd)) {
            std::fprintf(stderr, "Reading the word list from %s; end it with Ctrl-D\n",
                         shown.c_str());
        }
        m_copy = m_path = uniqueTempName(m_settings);
        FilePtr out = openFile(m_copy, "wb");
        std::string failed = out ? "" : std::strerror(errno);
        char buffer[1 << 16];
        while (failed.empty()) {
            if (interrupted()) {
                m_status = kExitCancelled;
                return;
            }
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got == 0) break;
            if (got < 0 && errno == EINTR) continue;  // a signal: looked at above
            if (got < 0) {
                reportCannotRead(shown);
                m_status = kExitError;
                return;
            }
            if (std::fwrite(buffer, 1, static_cast<std::size_t>(got), out.get()) !=
                static_cast<std::size_t>(got)) {
                failed = std::strerror(errno);
            }
        }
        if (failed.empty() && std::fclose(out.release()) != 0) failed = std::strerror(errno);
        if (!failed.empty()) {
            std::fprintf(stderr, "zantric-cli: cannot keep the word list from %s in %s: %s\n",
                         shown.c_str(), shownPath(m_settings.tempFolder()).c_str(), failed.c_str());
            m_status = kExitError;
        }
    }

    const Settings& m_settings;
    std::filesystem::path m_path;
    std::filesystem::path m_copy;  // the file that holds a stream, removed at the end
    int m_status = kExitOk;
};

// A command that makes a dictionary does not warn that the program folder has none yet.
void quietWithoutDictionaries(const CommandLine& line) {
    if (line.presenter) line.presenter->silence(loadString(kStrNoDictionaries));
}

int statusOf(MaintenanceOutcome outcome, bool cancelled, int doneText) {
    switch (outcome) {
        case MaintenanceOutcome::kDone:
            std::printf("%s\n", loadString(doneText).c_str());
            return kExitOk;
        case MaintenanceOutcome::kStopped:
            return kExitError;
        case MaintenanceOutcome::kFailed:
            break;
    }
    return cancelled ? kExitCancelled : kExitError;
}

void addMakeCommand(CLI::App& app, CommandLine& line) {
    struct Options {
        std::string wordList;
        std::string name;
        bool unique = false;
        std::string language;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd =
        app.add_subcommand("make", "Make a dictionary from a word list (one word a line)");
    cmd->add_option("WORDLIST", options->wordList,
                    "The word list, a text file (- reads standard input)")
        ->required();
    cmd->add_option("NAME", options->name, "The new dictionary's name (english or english.lex)")
        ->required();
    cmd->add_flag("--unique", options->unique,
                  "Only words that no selected dictionary holds yet (slower)");
    cmd->add_option("--language", options->language,
                    "The list's language: en, fr, de, es or it; accented letters are folded to "
                    "a-z (default: from the list's name, /usr/share/dict/french is fr, else en)");
    onRun(*cmd, line, [options, &line] {
        if (!dictionaryNamesAccepted({options->name})) return kExitUsage;
        const std::optional<Language> language = options->language.empty()
                                                     ? languageOfWordList(options->wordList)
                                                     : languageOfCode(options->language);
        if (!language) {
            std::fprintf(stderr, "zantric-cli: unknown language %s (en, fr, de, es or it)\n",
                         shownText(stderr, options->language).c_str());
            return kExitUsage;
        }
        quietWithoutDictionaries(line);
        const auto session = openSession(line, Use::kWork);
        if (!session) return kExitError;
        if (!session->onlyCopyRunning() ||
            (options->unique && !uniqueWordsPossible(session->workspace()))) {
            return kExitError;
        }
        const WordListFile list(session->settings(), options->wordList,
                                session->typedPath(options->wordList));
        if (list.status() != kExitOk) return list.status();
        bool cancelled = false;
        WordListReport report;
        const MaintenanceOutcome outcome =
            makeDictionary(session->workspace(), list.path(), options->name, options->unique,
                           progressRunner(cancelled), nullptr, &report, *language);
        printReport(report);
        return statusOf(outcome, cancelled, kStrDictionaryCreated);
    });
}

void addMergeCommand(CLI::App& app, CommandLine& line) {
    struct Options {
        std::vector<std::string> names;
        std::string into;
        bool deleteMerged = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd =
        app.add_subcommand("merge", "Merge dictionaries into a new one, each word once");
    cmd->add_option("NAME", options->names, "The dictionaries to merge (two or more)");
    cmd->add_option("--into", options->into, "The new dictionary's name");
    cmd->add_flag("--delete-merged", options->deleteMerged,
                  "Delete the merged dictionaries afterwards (each is kept as NAME.lxb)");
    onRun(*cmd, line, [options, &line] {
        if (!dictionaryNamesAccepted(options->names) ||
            (!options->into.empty() && !dictionaryNamesAccepted({options->into}))) {
            return kExitUsage;
        }
        const auto session = openSession(line, Use::kWork);
        if (!session) return kExitError;
        std::vector<std::string> rows;
        for (const std::string& name : options->names) {
            const CatalogueEntry* entry = namedDictionary(*session, name);
            if (!entry) return kExitError;
            rows.push_back(entry->displayName());
        }
        bool cancelled = false;
        const MaintenanceOutcome outcome =
            mergeDictionaries(session->workspace(), rows, options->into, options->deleteMerged,
                              progressRunner(cancelled));
        return statusOf(outcome, cancelled, kStrDictionariesMerged);
    });
}

void addStarterCommand(CLI::App& app, CommandLine& line) {
    auto wordList = std::make_shared<std::string>();
    auto code = std::make_shared<std::string>();
    CLI::App* cmd =
        app.add_subcommand("starter",
                           "Make and select the dictionary english from the system word list, "
                           "without abbreviations, single letters and words without a vowel");
    cmd->add_option("WORDLIST", *wordList,
                    "Another word list (default: the system's; - reads standard input)");
    cmd->add_option("--language", *code,
                    "Make the starter of a language from its system list: fr (french), de "
                    "(german), es (spanish), it (italian)");
    onRun(*cmd, line, [wordList, code, &line] {
        const std::optional<Language> language =
            code->empty() ? Language::kEnglish : languageOfCode(*code);
        if (!language) {
            std::fprintf(stderr, "zantric-cli: unknown language %s (en, fr, de, es or it)\n",
                         shownText(stderr, *code).c_str());
            return kExitUsage;
        }
        quietWithoutDictionaries(line);
        const auto session = openSession(line, Use::kWork);
        if (!session) return kExitError;
        const WordListFile list(
            session->settings(), *wordList,
            wordList->empty() ? systemWordList(*language) : session->typedPath(*wordList));
        if (list.status() != kExitOk) return list.status();
        if (list.path().empty()) {
            constexpr const char* kPackages[] = {"wamerican", "wfrench", "wngerman", "wspanish",
                                                 "witalian"};
            std::fprintf(stderr,
                         "zantric-cli: no word list in /usr/share/dict (Debian: apt install "
                         "%s); name one: zantric-cli starter WORDLIST\n",
                         kPackages[static_cast<int>(*language)]);
            return kExitError;
        }
        bool cancelled = false;
        WordListReport report;
        const MaintenanceOutcome outcome = makeStarterDictionary(
            session->workspace(), list.path(), progressRunner(cancelled), &report, *language);
        printReport(report);
        return statusOf(outcome, cancelled, kStrDictionaryCreated);
    });
}

}  // namespace

void addMaintenanceCommands(CLI::App& app, CommandLine& line) {
    addMakeCommand(app, line);
    addMergeCommand(app, line);
    addStarterCommand(app, line);
}

}  // namespace zantric::cli
