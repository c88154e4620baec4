// fault_state FOLDER: for faults_test.sh, the state of a program's folder in one line per file:
// its path and a hash of its bytes (a dictionary's Created and Modified times left out, since
// they differ from one run to the next). Files that only a running or a failed operation leaves
// (instance markers, temporary files, the rewrite file, a half-written ini) are listed apart
// after a line "leftovers:", markers excepted.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::uint64_t hashOf(const std::string& bytes) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

bool leftover(const fs::path& relative) {
    const std::string name = relative.filename().string();
    const std::string first = relative.begin()->string();
    return first == "temp" || name == "new{}}{.$$$" || name.rfind("zantric.ini.tmp", 0) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const fs::path root(argv[1]);
    std::vector<std::string> state;
    std::vector<std::string> left;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file()) continue;
        const fs::path relative = fs::relative(it->path(), root);
        if (relative.extension() == ".zti") continue;
        if (leftover(relative)) {
            left.push_back(relative.string());
            continue;
        }
        std::ifstream in(it->path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (relative.extension() == ".lex" && bytes.size() >= 2088) bytes.replace(2080, 8, 8, '\0');
        char hash[17];
        std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(hashOf(bytes)));
        state.push_back(relative.string() + " " + hash);
    }
    std::sort(state.begin(), state.end());
    std::sort(left.begin(), left.end());
    for (const std::string& line : state) std::printf("%s\n", line.c_str());
    std::printf("leftovers:");
    for (const std::string& name : left) std::printf(" %s", name.c_str());
    std::printf("\n");
    return 0;
}
