// Path and file helpers shared by the whole program. Paths are kept in the native form of the
// system ("./lexicons/english.lex"), as std::filesystem::path takes them: on Linux only '/'
// separates folders, and a '\' is a character of a name like any other.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zantric {

class Prompter;

struct FileCloser {
    void operator()(std::FILE* f) const noexcept {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The path as a person is shown it, in every message and on the command line: native, and a
// relative one made absolute from the current folder (the program's folder) without its "."
// steps, so "./temp/$$x.$$$" reads "/home/ann/.local/share/zantric/temp/$$x.$$$".
std::string shownPath(const std::filesystem::path& path);
// Opens a file (fopen mode letters); nullptr on failure, silently.
// Only a regular file (or a link to one) is opened: a folder, a FIFO or a device under a file's
// name is refused at once rather than read without end or waited on for ever.
FilePtr openFile(const std::filesystem::path& name, const char* mode);
// Opens a file; on failure tells `prompter` "Unable to Open File: " + its shown path, titled
// "File Error.", stop icon, and returns nullptr.
FilePtr fileOpenWithReport(Prompter& prompter, const std::filesystem::path& name, const char* mode);

// The message of a failed write or create of one of the program's own files, made at once after
// the failed call (it reads errno): when the disk or the quota is full, "No space left on
// device: " and the folder of `name`, whose file is deleted as the work ends; else `message`
// and the shown name.
std::string writeFailureText(std::string_view message, const std::filesystem::path& name);

// The UTF-8 byte-order mark some editors put at the start of a text file. The readers of the
// program's text files (the ini file, word lists, the stoplist) skip it there.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// The text after the last dot of the file name; "" when there is none. A name that starts with
// its only dot (".lex") has that extension, as the dictionaries folder has always been read.
std::string extensionOf(const std::filesystem::path& name);
// Drops everything from the last dot of the file name, adds a dot unless `ext` starts with one,
// then adds `ext`.
std::filesystem::path replaceExtension(const std::filesystem::path& name, std::string_view ext);
// The word with its first hyphen taken out.
std::string dropFirstHyphen(std::string_view word);

// Whether anything (file or folder) has that name.
bool fileExists(const std::filesystem::path& name);
// Whether the name is a regular file, or a link to one.
bool isRegularFile(const std::filesystem::path& name);
// What a message about a file adds when the name is there but is no regular file: " (a folder,
// not a file)", and so for a FIFO, a device or a socket; "" for a regular file or nothing.
std::string notAFileText(const std::filesystem::path& name);
// Deletes a file (never a folder); false when nothing was deleted.
bool removeFile(const std::filesystem::path& name);
// Renames, replacing an existing file at `to`; false on failure.
bool renameFile(const std::filesystem::path& from, const std::filesystem::path& to);
// Whether a name fits a wildcard pattern: '*' any run, '?' any one character; case-sensitive.
bool matchesGlob(std::string_view pattern, std::string_view name);
// The regular files matching a wildcard pattern, each as the pattern's folder / name (the rules
// of deleteMatching).
std::vector<std::filesystem::path> filesMatching(const std::filesystem::path& pattern);
// Deletes every regular file matching a wildcard pattern ('*' and '?' in the name part only,
// case-sensitive; a pattern ending in ".*" also matches names without a dot, so "*.*" is
// every file). Failures are ignored.
void deleteMatching(const std::filesystem::path& pattern);

}  // namespace zantric
