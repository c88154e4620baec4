#include "core/shell/program_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zantric {
namespace {

namespace fs = std::filesystem;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

ChosenFolder resolveProgramFolder(const std::string& dashC) {
    if (!dashC.empty()) return {dashC, true};
    if (std::string home = environment("ZANTRIC_HOME"); !home.empty()) return {home, true};

    std::error_code error;
    const fs::path current = fs::current_path(error);
    const std::string here = error ? std::string(".") : current.string();
    std::error_code ignored;
    if (fs::is_regular_file(fs::path(here) / "zantric.ini", ignored)) return {here};

    fs::path data(environment("XDG_DATA_HOME"));
    if (data.empty() || data.is_relative()) {  // relative values are invalid and ignored
        std::string home = environment("HOME");
        if (home.empty()) return {here};
        data = fs::path(home) / ".local" / "share";
    }
    return {(data / "zantric").string()};
}

bool enterProgramFolder(const ChosenFolder& folder, std::string* error) {
    std::error_code failure;
    if (folder.named && !fs::exists(folder.path, failure)) {
        if (error != nullptr) *error = "No such folder: " + folder.path;
        return false;
    }
    if (!folder.named) fs::create_directories(folder.path, failure);
    if (!failure) fs::current_path(folder.path, failure);
    if (failure) {
        if (error != nullptr) {
            *error = "cannot use the folder " + folder.path + ": " + failure.message();
        }
        return false;
    }
    return true;
}

}  // namespace zantric
