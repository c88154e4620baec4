#include "core/shell/settings.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/shell/ini_names.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/profile.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kProblemTitle = "Problem Processing Zantric.ini";
// The program shows these two texts for all three path keys; the first ends with the folder used
// instead, as a native path.
constexpr std::string_view kPathIsAFile =
    "Zantric was unable to use the file path specified in Zantric.ini as the name is already "
    "being used for a file. Zantric will continue but will use the default path of ";
constexpr std::string_view kCannotCreateFolder =
    "Zantric was unable to create the directory specified in the FILES section of your "
    "Zantric.ini file.";
constexpr std::string_view kIniUnusable =
    "Zantric cannot read Zantric.ini: it is not a plain file of at most 1 MiB. Zantric will "
    "continue with its default settings and leave the file as it is.";

// A PATHS value in the form earlier versions wrote, a backslash between folders (".\lexicons"),
// as a native path ("./lexicons"); nullopt for a value in the native form. On this system a
// backslash is a character of a name, so a value holding a '/' as well, or naming a folder that
// is there, is taken as it stands; where the backslash separates folders, every value is native.
std::optional<fs::path> fromOldForm(const std::string& value) {
    std::error_code error;
    if (fs::path::preferred_separator == '\\' || value.find('\\') == std::string::npos ||
        value.find('/') != std::string::npos || fs::is_directory(value, error)) {
        return std::nullopt;
    }
    std::string native = value;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

// `name` as it stands when it holds a separator, else `name` in `folder`.
fs::path placeInFolder(const fs::path& folder, std::string_view name) {
    if (fs::path(name).has_parent_path()) return name;
    return folder / name;
}

}  // namespace

Settings::Settings(Prompter& prompter) { load(prompter); }

void Settings::load(Prompter& prompter) {
    Settings& config = *this;
    const fs::path& file = config.m_iniFileName;
    if (fileExists(file) && !profileFileUsable(file)) {
        // A FIFO, a device or an endless file is not read; nothing is written over it either.
        prompter.ask(
            {std::string(kIniUnusable), std::string(kProblemTitle), MessageKind::kWarning});
    } else if (fileExists(file)) {
        config.m_atStart = ProfileText(file);  // one read for every entry read at start
        struct PathKey {
            std::string_view key;
            fs::path* folder;
        };
        for (PathKey path : {PathKey{ini::kFilesFolder, &config.m_filesFolder},
                             PathKey{ini::kDictionariesFolder, &config.m_dictionariesFolder},
                             PathKey{ini::kTempFolder, &config.m_tempFolder}}) {
            fs::path fallback = *path.folder;
            const std::string value =
                config.m_atStart.string(ini::kPathsSection, path.key, fallback.string());
            *path.folder = value;
            if (std::optional<fs::path> native = fromOldForm(value)) {
                // Rewritten at once, so that the file a person opens shows the form now used;
                // a value cut at the read's limit is left as it is in the file.
                *path.folder = std::move(*native);
                if (value.size() < kProfileBufferSize - 1) {
                    writeProfileString(ini::kPathsSection, path.key, path.folder->string(), file);
                }
            }
            if (!checkFolder(prompter, *path.folder, fallback)) *path.folder = fallback;
        }
    } else {
        // Created with these six entries, in this order; the folders are not checked now.
        writeProfileString(ini::kPathsSection, ini::kFilesFolder, config.m_filesFolder.string(),
                           file);
        writeProfileString(ini::kPathsSection, ini::kDictionariesFolder,
                           config.m_dictionariesFolder.string(), file);
        writeProfileString(ini::kPathsSection, ini::kTempFolder, config.m_tempFolder.string(),
                           file);
        writeProfileString(ini::kRemindersSection, ini::kUniqueWarning, "0", file);
        writeProfileString(ini::kSettingsSection, ini::kCheckUnique, "0", file);
        writeProfileString(ini::kSettingsSection, ini::kTabSize, "6", file);
    }
}

bool Settings::checkFolder(Prompter& prompter, const fs::path& folder, const fs::path& fallback) {
    std::error_code error;
    fs::file_status status = fs::status(folder, error);
    if (fs::is_directory(status)) return true;
    if (fs::exists(status)) {
        prompter.ask({std::string(kPathIsAFile) + shownPath(fallback), std::string(kProblemTitle),
                      MessageKind::kError});
        return false;
    }
    fs::create_directory(folder, error);  // one level, as the program always made it
    if (error) {
        prompter.ask(
            {std::string(kCannotCreateFolder), std::string(kProblemTitle), MessageKind::kError});
        return false;
    }
    return true;
}

fs::path Settings::dictionaryPath(std::string_view name) const {
    return placeInFolder(m_dictionariesFolder, name);
}

fs::path Settings::tempPath(std::string_view name) const {
    return placeInFolder(m_tempFolder, name);
}

std::string Settings::readString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    return profileString(section, key, defaultValue, m_iniFileName);
}

int Settings::readInt(std::string_view section, std::string_view key, int defaultValue) const {
    return profileInt(section, key, defaultValue, m_iniFileName);
}

bool Settings::writeString(std::string_view section, std::string_view key,
                           std::string_view value) const {
    const std::lock_guard lock(m_writeMutex);
    return writeProfileString(section, key, value, m_iniFileName);
}

}  // namespace zantric
