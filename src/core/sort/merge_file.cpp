// The parts of MergeFile that do not depend on the record handler.
#include "core/sort/merge_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/shell/paths.h"
#include "core/shell/string_ids.h"

namespace zantric {
namespace fs = std::filesystem;

namespace merge_detail {

std::vector<fs::path> matchingFiles(const Settings& settings, const fs::path& pattern) {
    // With its closing separator, as the folder has always been named in the message below.
    const fs::path folder =
        pattern.has_parent_path() ? pattern.parent_path() / "" : settings.tempPath("");
    const std::string namePattern = pattern.filename().string();
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code typeError;
        std::string name = it->path().filename().string();
        if (it->is_regular_file(typeError) && matchesGlob(namePattern, name)) {
            names.push_back(std::move(name));
        }
    }
    // A folder that cannot be read would look like one without the files to merge.
    if (error) {
        std::string text = loadString(kStrUnableToOpenFile);
        text += shownPath(folder);
        throw ZantricException(text);
    }
    // The directory's own order differs between systems; name order keeps merges repeatable.
    std::sort(names.begin(), names.end());
    std::vector<fs::path> files;
    files.reserve(names.size());
    for (const std::string& name : names) files.push_back(folder / name);
    return files;
}

bool moveReplacing(const fs::path& from, const fs::path& to) {
    if (renameFile(from, to)) return true;
    // Another file system: copy, then delete the source.
    std::error_code error;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    if (error) return false;
    removeFile(from);
    return true;
}

void invariantFailed(const char* condition, const char* module) {
    std::fprintf(stderr, "Assertion failed: %s, %s\n", condition, module);
    std::abort();
}

}  // namespace merge_detail
}  // namespace zantric
