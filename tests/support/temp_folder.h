// Test helper: makes a fresh empty folder under the system's temporary folder, makes it the
// current folder for the object's lifetime, then restores the previous current folder and
// deletes the temporary one with everything in it. One per test; not for concurrent use.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zantric::test {

class TempFolder {
public:
    TempFolder() : m_previous(std::filesystem::current_path()) {
        std::string name = std::filesystem::temp_directory_path() / "zantric-test-XXXXXX";
        if (mkdtemp(name.data()) == nullptr) throw std::runtime_error("no temporary folder");
        m_path = name;
        std::filesystem::current_path(m_path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return m_path; }

    // Writes a file (relative names are inside the folder), creating parent folders.
    static void write(const std::filesystem::path& name, std::string_view bytes) {
        if (name.has_parent_path()) std::filesystem::create_directories(name.parent_path());
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // The whole content of a file; "" when it cannot be read.
    static std::string read(const std::filesystem::path& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

}  // namespace zantric::test
