// Settings: the program's configuration: the files, dictionaries and temporary folders and the
// name of the ini file. Made by the program session from the ini file in the current folder (the
// program's folder), which it creates with defaults when missing; a problem with the file is told
// through the prompter given. Made on the UI thread at start-up; read from any thread after.
#pragma once

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

#include "core/shell/profile.h"

namespace zantric {

class Prompter;

class Settings {
public:
    // Reads the current folder's ini file (creating it when missing).
    explicit Settings(Prompter& prompter);
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    const std::filesystem::path& filesFolder() const { return m_filesFolder; }
    const std::filesystem::path& dictionariesFolder() const { return m_dictionariesFolder; }
    const std::filesystem::path& tempFolder() const { return m_tempFolder; }
    const std::filesystem::path& iniFileName() const { return m_iniFileName; }

    // A bare name placed in the dictionaries / temporary folder; a path is returned unchanged.
    std::filesystem::path dictionaryPath(std::string_view name) const;
    std::filesystem::path tempPath(std::string_view name) const;

    // The ini file as it was read at start (empty when it was missing or unusable), for the
    // entries read only then.
    const ProfileText& atStart() const { return m_atStart; }
    // Profile calls on the ini file (see profile.h); writes from several threads take turns.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;
    bool writeString(std::string_view section, std::string_view key, std::string_view value) const;

    // The next number of this session's unique temporary names (temp_names.h); any thread.
    unsigned nextTempNumber() const { return m_tempNumber.fetch_add(1) + 1; }

private:
    void load(Prompter& prompter);
    // Whether a folder read from the ini can be used; creates a missing one (one level). The
    // messages name `fallback`, the folder used instead.
    static bool checkFolder(Prompter& prompter, const std::filesystem::path& folder,
                            const std::filesystem::path& fallback);

    std::filesystem::path m_filesFolder = "./files";
    std::filesystem::path m_dictionariesFolder = "./lexicons";
    std::filesystem::path m_tempFolder = "./temp";
    std::filesystem::path m_iniFileName = "./zantric.ini";
    ProfileText m_atStart;
    mutable std::atomic<unsigned> m_tempNumber{0};
    mutable std::mutex m_writeMutex;  // one write of the ini file at a time
};

}  // namespace zantric
