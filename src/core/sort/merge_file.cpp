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

std::vector<std::string> matchingFiles(const Settings& settings, std::string_view pattern) {
    std::string folder = folderPart(pattern);
    if (folder.empty()) folder = settings.tempPath("");
    const std::string namePattern = namePart(pattern);
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(fs::path(folder), error);
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
    for (std::string& name : names) name.insert(0, folder);
    return names;
}

bool moveReplacing(const std::string& from, const std::string& to) {
    if (renameFile(from, to)) return true;
    // Another file system: copy, then delete the source.
    std::error_code error;
    fs::copy_file(fs::path(from), fs::path(to), fs::copy_options::overwrite_existing, error);
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
