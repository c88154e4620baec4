// zantric-cli words DICT.lex [PATTERN] [--from LETTERS] [--min-length N] [--start-letter C]:
// walks one dictionary file with the reader and prints every word it delivers.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli_commands.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/shell/zantric_exception.h"

namespace zantric::cli {

void addWordsCommand(CLI::App& app, CommandLine& line) {
    struct Options {
        std::string file;
        std::string pattern = "*";
        std::string from;
        int minLength = 0;
        std::string startLetter;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd =
        app.add_subcommand("words", "List the words of one dictionary file that fit a pattern");
    cmd->add_option("DICT", options->file, "Dictionary file (.lex)")->required();
    cmd->add_option("PATTERN", options->pattern, "Pattern: ? one letter, * any run (default *)");
    CLI::Option* from = cmd->add_option("--from", options->from,
                                        "Only words that can be spelled from these letters");
    cmd->add_option("--min-length", options->minLength, "Only words of at least N letters")
        ->check(wholeNumber(0, kMaxWordLetters));
    cmd->add_option("--start-letter", options->startLetter,
                    "Start at the words of this first letter")
        ->check([](const std::string& s) {
            return s.size() == 1 && s[0] >= 'a' && s[0] <= 'z' ? "" : "must be one letter a-z";
        });
    onRun(*cmd, line, [options, from] {
        try {
            DictionaryReader dictionary(options->file, false, 64 * 1024);
            LetterPool letters(options->from);
            const bool filter = from->count() > 0;
            OutputBuffer out;
            char word[kOutWordSize];
            int r = dictionary.nextMatch(
                word, options->pattern.c_str(), filter ? &letters : nullptr, options->minLength,
                options->startLetter.empty() ? 0 : options->startLetter[0]);
            // A failed write, or a signal, ends the listing (main gives the status).
            for (; r == kMatchFound && !interrupted(); r = dictionary.nextMatch(word, nullptr)) {
                if (!out.line(word)) break;
            }
            out.flush();
            std::fprintf(stderr, "Checked: %llu\n",
                         static_cast<unsigned long long>(DictionaryReader::checked()));
            return r == kEmptyPattern ? kExitUsage : kExitOk;
        } catch (const ZantricException&) {
            return kExitError;  // the message was shown when the file failed to open
        }
    });
}

}  // namespace zantric::cli
