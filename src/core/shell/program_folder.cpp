#include "core/shell/program_folder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <pwd.h>
#include <unistd.h>
#endif

namespace zantric {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNoHomeFolder =
    "No home folder: $HOME is unset or empty and the password database has none for this "
    "account; name the program folder with -C DIR or $ZANTRIC_HOME";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

std::string passwordDatabaseHome() {
#if defined(__unix__) || defined(__APPLE__)
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 4096);
    passwd entry{};
    passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
           buffer.size() < (std::size_t{1} << 20)) {
        buffer.resize(buffer.size() * 2);
    }
    if (found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
#endif
    return {};
}

ChosenFolder resolveProgramFolder(const fs::path& dashC, std::string (*accountHome)()) {
    if (!dashC.empty()) return {dashC, true};
    if (std::string home = environment("ZANTRIC_HOME"); !home.empty()) return {home, true};

    std::error_code error;
    const fs::path current = fs::current_path(error);
    const fs::path here = error ? fs::path(".") : current;
    std::error_code ignored;
    if (fs::is_regular_file(here / "zantric.ini", ignored)) return {here};

    fs::path data(environment("XDG_DATA_HOME"));
    if (data.empty() || data.is_relative()) {  // relative values are invalid and ignored
        std::string home = environment("HOME");
        if (home.empty()) home = accountHome();
        if (home.empty()) return {};
        data = fs::path(home) / ".local" / "share";
    }
    return {data / "zantric"};
}

bool enterProgramFolder(const ChosenFolder& folder, std::string* error) {
    if (folder.path.empty()) {
        if (error != nullptr) *error = kNoHomeFolder;
        return false;
    }
    std::error_code failure;
    if (folder.named && !fs::exists(folder.path, failure)) {
        if (error != nullptr) *error = "No such folder: " + folder.path.string();
        return false;
    }
    if (!folder.named) fs::create_directories(folder.path, failure);
    if (!failure) fs::current_path(folder.path, failure);
    if (failure) {
        if (error != nullptr) {
            *error = "cannot use the folder " + folder.path.string() + ": " + failure.message();
        }
        return false;
    }
    return true;
}

}  // namespace zantric
