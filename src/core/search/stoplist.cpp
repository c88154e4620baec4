#include "core/search/stoplist.h"

#include <algorithm>
#include <unordered_set>

#include "core/maintenance/word_list_reader.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/profile.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"

namespace zantric {

Stoplist::Stoplist(std::vector<std::string> words) : m_words(std::move(words)) {
    std::sort(m_words.begin(), m_words.end());
    m_words.erase(std::unique(m_words.begin(), m_words.end()), m_words.end());
    if (m_words.empty()) return;
    // FNV-1a over the sorted words, each ended by a line feed.
    m_fingerprint = 14695981039346656037ULL;
    for (const std::string& word : m_words) {
        for (char c : word)
            m_fingerprint = (m_fingerprint ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        m_fingerprint = (m_fingerprint ^ '\n') * 1099511628211ULL;
    }
    if (m_fingerprint == 0) m_fingerprint = 1;
}

Stoplist Stoplist::read(const std::string& path) {
    bool readable = true;
    std::vector<std::string> words = readStoplistWords(path, &readable);
    if (!readable) {
        messageBoxText(loadString(kStrUnableToOpenFile) + shownPath(path) + notAFileText(path),
                       loadString(kStrFileErrorTitle), kMbOkStop);
    }
    return Stoplist(std::move(words));
}

bool Stoplist::contains(std::string_view word) const {
    const auto at =
        std::lower_bound(m_words.begin(), m_words.end(), word,
                         [](const std::string& a, std::string_view b) { return a < b; });
    return at != m_words.end() && *at == word;
}

std::string stoplistWord(std::string_view text) {
    char word[kWordRoom];
    if (text.size() > static_cast<std::size_t>(kWordListLineLimit) ||
        validateWordLine(text, word) != LineKind::kWord) {
        return {};
    }
    return word;
}

std::vector<std::string> readStoplistWords(const std::string& path, bool* readable) {
    if (readable) *readable = true;
    std::vector<std::string> words;
    if (!fileExists(path)) return words;
    FilePtr file = openFile(path, "rb");
    if (!file) {
        if (readable) *readable = false;
        return words;
    }
    try {
        WordListReader reader(file.get());
        std::unordered_set<std::string> seen;
        char word[kWordRoom];
        while (!reader.atEnd()) {
            if (validateWordLine(reader.next(path), word) != LineKind::kWord) continue;
            if (seen.insert(word).second) words.emplace_back(word);
        }
    } catch (const ZantricException&) {
        // A folder under the name, or a read error: what was read so far counts.
        if (readable) *readable = false;
    }
    return words;
}

bool writeStoplistWords(const std::string& path, const std::vector<std::string>& words) {
    std::string content;
    for (const std::string& word : words) {
        content += word;
        content += '\n';
    }
    return writeFileReplacing(nativePath(path), content);
}

}  // namespace zantric
