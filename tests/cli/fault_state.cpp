// fault_state FOLDER: the state of a program's folder, "PATH HASH" per file (a dictionary's two
// times left out: they differ from run to run), then "leftovers:" and the files only a running or
// failed operation leaves (temporary files, the rewrite file, a half-written ini); instance markers
// not at all.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path root(argv[1]);
    std::vector<std::string> state, left;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const fs::path relative = fs::relative(it->path(), root);
        const std::string name = relative.filename().string();
        if (!it->is_regular_file() || relative.extension() == ".zti") continue;
        if (relative.begin()->string() == "temp" || name == "new{}}{.$$$" ||
            name.rfind("zantric.ini.tmp", 0) == 0) {
            left.push_back(" " + relative.string());
            continue;
        }
        std::ifstream in(it->path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (relative.extension() == ".lex" && bytes.size() >= 2088) bytes.replace(2080, 8, 8, '\0');
        std::uint64_t hash = 1469598103934665603ULL;
        for (const unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ULL;
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
        state.push_back(relative.string() + " " + text);
    }
    std::sort(state.begin(), state.end());
    std::sort(left.begin(), left.end());
    for (const std::string& line : state) std::printf("%s\n", line.c_str());
    std::printf("leftovers:");
    for (const std::string& name : left) std::printf("%s", name.c_str());
    std::printf("\n");
    return 0;
}
