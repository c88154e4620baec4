#include "core/shell/paths.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;

// The characters that separate folders: '/' everywhere, and '\\' too where it is the system's.
constexpr std::string_view kSeparators =
    fs::path::preferred_separator == '\\' ? std::string_view("\\/") : std::string_view("/");

std::size_t lastSeparator(std::string_view path) { return path.find_last_of(kSeparators); }

// Position of the dot that starts the extension, or npos.
std::size_t extensionDot(std::string_view name) {
    std::size_t dot = name.rfind('.');
    std::size_t separator = lastSeparator(name);
    if (dot == std::string_view::npos) return dot;
    if (separator != std::string_view::npos && dot < separator) return std::string_view::npos;
    return dot;
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    if (matchesGlob(pattern, name)) return true;
    // "name.*" also stands for "name" without any extension, as on Windows.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos) {
        return matchesGlob(pattern.substr(0, pattern.size() - 2), name);
    }
    return false;
}

}  // namespace

bool matchesGlob(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string shownPath(std::string_view path) {
    if (path.empty()) return {};
    fs::path native(path);
    if (native.is_relative()) {
        std::error_code error;
        const fs::path current = fs::current_path(error);
        if (!error) native = current / native;
    }
    return native.lexically_normal().string();
}

FilePtr openFile(const fs::path& name, const char* mode) {
    std::error_code error;
    const fs::file_status status = fs::status(name, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) return nullptr;
    return FilePtr(std::fopen(name.string().c_str(), mode));
}

FilePtr fileOpenWithReport(Prompter& prompter, const std::string& name, const char* mode) {
    FilePtr file = openFile(name, mode);
    if (!file) {
        prompter.tell({loadString(kStrUnableToOpenFile) + shownPath(name) + notAFileText(name),
                       loadString(kStrFileErrorTitle), MessageKind::kError});
    }
    return file;
}

std::string writeFailureText(std::string_view message, const std::string& name) {
    const int error = errno;
#ifdef EDQUOT
    const bool full = error == ENOSPC || error == EDQUOT;
#else
    const bool full = error == ENOSPC;
#endif
    if (!full) return std::string(message) + shownPath(name);
    const std::string folder = folderPart(name);
    std::string shown = shownPath(folder.empty() ? std::string(".") : folder);
    if (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    return loadString(kStrNoSpaceLeft) + shown;
}

std::string extensionOf(std::string_view name) {
    std::size_t dot = extensionDot(name);
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

std::string replaceExtension(std::string_view name, std::string_view ext) {
    std::string result(name.substr(0, extensionDot(name)));
    if (ext.empty() || ext.front() != '.') result += '.';
    result += ext;
    return result;
}

std::string namePart(std::string_view path) {
    std::size_t separator = lastSeparator(path);
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

std::string folderPart(std::string_view path) {
    std::size_t separator = lastSeparator(path);
    return separator == std::string_view::npos ? std::string()
                                               : std::string(path.substr(0, separator + 1));
}

std::string placeInFolder(std::string_view folder, std::string_view name) {
    if (lastSeparator(name) != std::string_view::npos) return std::string(name);
    return (fs::path(folder) / fs::path(name)).string();
}

std::string dropFirstHyphen(std::string_view word) {
    std::string result(word);
    if (std::size_t hyphen = result.find('-'); hyphen != std::string::npos) result.erase(hyphen, 1);
    return result;
}

bool fileExists(const fs::path& name) {
    std::error_code error;
    return fs::exists(name, error);
}

bool isRegularFile(const fs::path& name) {
    std::error_code error;
    return fs::is_regular_file(name, error);
}

std::string notAFileText(const fs::path& name) {
    std::error_code error;
    switch (fs::status(name, error).type()) {
        case fs::file_type::directory:
            return loadString(kStrKindFolder);
        case fs::file_type::fifo:
            return loadString(kStrKindFifo);
        case fs::file_type::character:
        case fs::file_type::block:
            return loadString(kStrKindDevice);
        case fs::file_type::socket:
            return loadString(kStrKindSocket);
        default:
            return {};
    }
}

bool removeFile(const fs::path& name) {
    std::error_code error;
    if (fs::is_directory(fs::symlink_status(name, error))) return false;
    return fs::remove(name, error);
}

bool renameFile(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::rename(from, to, error);
    return !error;
}

std::vector<std::string> filesMatching(std::string_view pattern) {
    std::string folder = folderPart(pattern);
    std::string namePattern = namePart(pattern);
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(fs::path(folder.empty() ? std::string(".") : folder), error);
    if (error) return names;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        std::string name = it->path().filename().string();
        std::error_code typeError;
        if (it->is_regular_file(typeError) && wildcardMatch(namePattern, name)) {
            names.push_back(folder + name);
        }
    }
    return names;
}

void deleteMatching(std::string_view pattern) {
    // Collected first: deleting while iterating leaves the iteration order unspecified.
    for (const std::string& name : filesMatching(pattern)) removeFile(name);
}

}  // namespace zantric
