#include "core/shell/string_table.h"

#include <algorithm>
#include <charconv>

namespace zantric {
namespace {

// The build turns resources/strings.txt into a raw string literal.
// clang-format off
const char kStringTableText[] =
#include "string_table_data.inc"
;
// clang-format on

std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            char next = text[i + 1];
            if (next == 'n' || next == 't' || next == '\\') {
                out += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

using Table = std::vector<std::pair<int, std::string>>;

const Table& builtInTable() {
    static const Table table = parseStringTable(kStringTableText);
    return table;
}

}  // namespace

Table parseStringTable(std::string_view source) {
    Table table;
    while (!source.empty()) {
        std::size_t end = source.find('\n');
        std::string_view line = source.substr(0, end);
        source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;

        int id = 0;
        auto [next, error] = std::from_chars(line.data(), line.data() + line.size(), id);
        if (error != std::errc() || next == line.data() + line.size() || *next != '\t') continue;
        // The name column is for the build; the text follows the second TAB.
        const std::size_t textStart = line.find('\t', next - line.data() + 1);
        if (textStart == std::string_view::npos) continue;
        std::string text = unescape(line.substr(textStart + 1));
        if (text.size() > kMaxStringLength) text.resize(kMaxStringLength);
        table.emplace_back(id, std::move(text));
    }
    // Stable, so that the first of a repeated id stays in front and survives unique().
    std::stable_sort(table.begin(), table.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    table.erase(std::unique(table.begin(), table.end(),
                            [](const auto& a, const auto& b) { return a.first == b.first; }),
                table.end());
    return table;
}

std::string loadString(int id) {
    const Table& table = builtInTable();
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const auto& entry, int key) { return entry.first < key; });
    return it != table.end() && it->first == id ? it->second : std::string();
}

std::string loadString(int id, std::string_view argument) { return loadString(id, {argument}); }

std::string loadString(int id, std::initializer_list<std::string_view> arguments) {
    std::string text = loadString(id);
    std::size_t from = 0;
    for (const std::string_view argument : arguments) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, argument);
        from = at + argument.size();
    }
    return text;
}

std::string escapeControls(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 32 && c != '\n') || byte == 127) {
            constexpr char kHex[] = "0123456789abcdef";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace zantric
