#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/shell/settings.h"

namespace zantric::fuzz {
namespace {

namespace fs = std::filesystem;

class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device random;
        std::error_code error;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            fs::path candidate =
                fs::temp_directory_path(error) / ("zantric-fuzz-" + std::to_string(random()));
            if (fs::create_directory(candidate, error)) m_path = candidate;
        }
        if (m_path.empty()) {
            std::fprintf(stderr, "fuzz: no scratch folder\n");
            std::abort();
        }
        fs::current_path(m_path);
        for (const char* folder : {"files", "lexicons", "temp"}) fs::create_directory(folder);
        installPresenter(&m_presenter);
        Settings::instance();  // writes the default zantric.ini
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::current_path(m_path.parent_path(), ignored);
        fs::remove_all(m_path, ignored);
    }
    SilentPresenter& presenter() { return m_presenter; }

private:
    fs::path m_path;
    SilentPresenter m_presenter;
};

}  // namespace

SilentPresenter& enterScratchFolder() {
    static ScratchFolder folder;
    return folder.presenter();
}

void writeFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", name.c_str());
        std::abort();
    }
}

void writeFile(const std::string& name, std::string_view bytes) {
    writeFile(name, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

std::string_view InputReader::field(char separator) {
    const std::size_t start = m_at;
    while (m_at < m_size && m_data[m_at] != static_cast<std::uint8_t>(separator)) ++m_at;
    std::string_view text(reinterpret_cast<const char*>(m_data) + start, m_at - start);
    if (m_at < m_size) ++m_at;  // the separator
    return text;
}

std::string_view InputReader::rest() {
    std::string_view text(reinterpret_cast<const char*>(m_data) + m_at, m_size - m_at);
    m_at = m_size;
    return text;
}

void expect(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz: expectation failed: %s\n", what);
    std::abort();
}

}  // namespace zantric::fuzz
