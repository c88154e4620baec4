#include "core/shell/paths.h"

#include <algorithm>
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

// Position of the dot that starts the extension of a file name, or npos.
std::size_t extensionDot(std::string_view name) { return name.rfind('.'); }

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

std::string shownPath(const fs::path& path) {
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

FilePtr fileOpenWithReport(Prompter& prompter, const fs::path& name, const char* mode) {
    FilePtr file = openFile(name, mode);
    if (!file) {
        prompter.tell({loadString(kStrUnableToOpenFile) + shownPath(name) + notAFileText(name),
                       loadString(kStrFileErrorTitle), MessageKind::kError});
    }
    return file;
}

std::string writeFailureText(std::string_view message, const fs::path& name) {
    const int error = errno;
#ifdef EDQUOT
    const bool full = error == ENOSPC || error == EDQUOT;
#else
    const bool full = error == ENOSPC;
#endif
    if (!full) return std::string(message) + shownPath(name);
    const fs::path folder = name.parent_path();
    std::string shown = shownPath(folder.empty() ? fs::path(".") : folder);
    if (shown.size() > 1 && shown.back() == '/') shown.pop_back();
    return loadString(kStrNoSpaceLeft) + shown;
}

std::string extensionOf(const fs::path& name) {
    const std::string file = name.filename().string();
    const std::size_t dot = extensionDot(file);
    return dot == std::string::npos ? std::string() : file.substr(dot + 1);
}

fs::path replaceExtension(const fs::path& name, std::string_view ext) {
    std::string file = name.filename().string();
    file.resize(std::min(extensionDot(file), file.size()));
    if (ext.empty() || ext.front() != '.') file += '.';
    file += ext;
    return name.parent_path() / file;
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

std::vector<fs::path> filesMatching(const fs::path& pattern) {
    const fs::path folder = pattern.parent_path();
    const std::string namePattern = pattern.filename().string();
    std::vector<fs::path> names;
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
    if (error) return names;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) break;
        fs::path name = it->path().filename();
        std::error_code typeError;
        if (it->is_regular_file(typeError) && wildcardMatch(namePattern, name.native())) {
            names.push_back(folder / name);
        }
    }
    return names;
}

void deleteMatching(const fs::path& pattern) {
    // Collected first: deleting while iterating leaves the iteration order unspecified.
    for (const fs::path& name : filesMatching(pattern)) removeFile(name);
}

}  // namespace zantric
