// zantric-cli words DICT.lex [PATTERN] [--from LETTERS] [--min-length N] [--start-letter C]:
// walks one dictionary file with the reader and prints every word it delivers. A file that is no
// whole dictionary (a text file, a cut one) is said to be what it is, with exit status 1.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "cli/cli_commands.h"
#include "cli/cli_presenter.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/dictionary_language.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/shell/little_endian.h"
#include "core/shell/paths.h"
#include "core/shell/zantric_exception.h"

namespace zantric::cli {

namespace {

// Whether the bytes read like text: no control character but tabs, line ends and page breaks.
bool looksLikeText(const unsigned char* bytes, std::size_t size) {
    return std::none_of(bytes, bytes + size, [](unsigned char b) {
        return b == 0x7F || (b < 0x20 && std::strchr("\t\n\r\f\v", b) == nullptr);
    });
}

// What a regular file is when it is not a whole dictionary, as "is ..." ("is a text file, not a
// Zantric dictionary"); "" when its header carries the mark and its index stays within it, or
// when it cannot be read (the reader then reports it).
std::string notADictionary(const std::string& path) {
    if (!isRegularFile(path)) return {};
    const FilePtr file = openFile(path, "rb");
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!file || error) return {};
    unsigned char start[kDataOffset];
    const std::size_t got = std::fread(start, 1, kDataOffset, file.get());
    const std::string bytes = " (" + std::to_string(size) + " bytes)";
    if (size == 0) return "is an empty file, not a Zantric dictionary";
    // The first index entry of every dictionary points at the first word, just after the header.
    const bool dictionaryStart = got >= 4 && readU32(start) == kDataOffset;
    if (got < kDataOffset ||
        DictionaryHeader::fromBytes(start + kHeaderOffset).mark != kDictionaryMark) {
        if (dictionaryStart && got < kDataOffset) {
            return "is a Zantric dictionary cut short" + bytes + ", before the end of its header";
        }
        if (looksLikeText(start, got)) {
            return "is a text file, not a Zantric dictionary; make one of it with: zantric-cli "
                   "make FILE NAME";
        }
        return "is not a Zantric dictionary";
    }
    std::uint32_t reach = 0;
    for (std::size_t at = 0; at < kIndexBytes; at += 4) {
        reach = std::max(reach, readU32(start + at));
    }
    if (reach > size) {
        return "is a Zantric dictionary cut short" + bytes + ": its index points to byte " +
               std::to_string(reach);
    }
    return {};
}

}  // namespace

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
    cmd->add_option("DICT", options->file, "Dictionary file (.lex)")->required()->check(notEmpty());
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
    onRun(*cmd, line, [options, from, &line] {
        if (const std::string what = notADictionary(options->file); !what.empty()) {
            std::fprintf(stderr, "zantric-cli: %s %s\n",
                         shownText(stderr, shownPath(options->file)).c_str(), what.c_str());
            return kExitError;
        }
        try {
            ReadControl reads;
            DictionaryReader dictionary(reads, options->file, false, 64 * 1024);
            LetterPool letters(options->from);
            const bool filter = from->count() > 0;
            OutputBuffer out;
            // A word of an accented list is shown as the list wrote it (eleve as élève).
            const Spellings spellings = dictionarySpellings(options->file);
            std::string shown;
            char word[kOutWordSize];
            MatchResult r = dictionary.nextMatch(
                word, options->pattern.c_str(), filter ? &letters : nullptr, options->minLength,
                options->startLetter.empty() ? 0 : options->startLetter[0]);
            // A failed write, or a signal, ends the listing (main gives the status).
            for (; r == kMatchFound && !interrupted(); r = dictionary.nextMatch(word, nullptr)) {
                if (!out.line(spellings.count() == 0 ? std::string_view(word)
                                                     : spellings.shown(word, shown))) {
                    break;
                }
            }
            out.flush();
            std::fprintf(stderr, "Checked: %llu\n",
                         static_cast<unsigned long long>(reads.checked()));
            return r == kEmptyPattern ? kExitUsage : kExitOk;
        } catch (const ZantricException& e) {
            if (e.notice()) line.presenter->tell(*e.notice());  // the file failed to open
            return kExitError;
        }
    });
}

}  // namespace zantric::cli
