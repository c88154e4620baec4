#include "core/search/stoplist.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <unordered_set>

#include "core/shell/folder_lock.h"
#include "core/shell/messages.h"
#include "core/shell/paths.h"
#include "core/shell/profile.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"
#include "core/sort/word_list_reader.h"

namespace zantric {
namespace {

// A stoplist file larger than this is not read as one.
constexpr std::size_t kMaxStoplistBytes = std::size_t{64} << 20;

unsigned char folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

std::string foldedWord(std::string_view word) {
    std::string out(word);
    for (char& c : out) c = static_cast<char>(folded(c));
    return out;
}

// Orders texts as their lower-case forms compare (the order of the sorted stoplist).
bool foldedLess(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return folded(x) < folded(y); });
}

bool foldedEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return folded(x) == folded(y);
           });
}

// The whole file, "" when it is missing; false when it is there but cannot be read.
bool readWholeFile(const std::filesystem::path& path, std::string& content) {
    content.clear();
    if (!fileExists(path)) return true;
    FilePtr file = openFile(path, "rb");
    if (!file) return false;
    char block[8192];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
        if (content.size() + got > kMaxStoplistBytes) return false;
        content.append(block, got);
    }
    return std::ferror(file.get()) == 0;
}

// The lines of a stoplist file as an edit sees them: where each lies (with its line feed), the
// word it holds in lower case ("" for none), and whether it stays.
class StoplistLines {
public:
    explicit StoplistLines(const std::string& content)
        : m_content(content),
          m_start(content.starts_with(kUtf8ByteOrderMark) ? kUtf8ByteOrderMark.size() : 0) {
        for (std::size_t at = m_start; at < content.size();) {
            const std::size_t feed = std::min(content.find('\n', at), content.size());
            std::string_view text(content.data() + at, feed - at);
            if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
            const std::size_t end = std::min(feed + 1, content.size());
            m_lines.push_back({at, end, foldedWord(stoplistWord(text))});
            at = end;
        }
    }

    // Whether a line that stays holds the word, in any case.
    bool holds(const std::string& word) const {
        const std::string key = foldedWord(word);
        return std::any_of(m_lines.begin(), m_lines.end(),
                           [&](const Line& line) { return line.kept && line.word == key; });
    }
    // Takes out every line that holds the word; false when none did.
    bool remove(const std::string& word) {
        const std::string key = foldedWord(word);
        bool found = false;
        for (Line& line : m_lines) {
            if (line.kept && line.word == key) {
                line.kept = false;
                found = true;
            }
        }
        return found;
    }
    // The file's text: the lines that stay, then the added words, each ended as the file's first
    // line is.
    std::string text(const std::vector<std::string>& added) const {
        const std::size_t firstFeed = m_content.find('\n', m_start);
        const char* lineEnd = firstFeed != std::string::npos && firstFeed > m_start &&
                                      m_content[firstFeed - 1] == '\r'
                                  ? "\r\n"
                                  : "\n";
        std::string out = m_content.substr(0, m_start);
        for (const Line& line : m_lines) {
            if (line.kept) out.append(m_content, line.begin, line.end - line.begin);
        }
        if (!added.empty() && out.size() > m_start && out.back() != '\n') out += lineEnd;
        for (const std::string& word : added) {
            out += word;
            out += lineEnd;
        }
        return out;
    }

private:
    struct Line {
        std::size_t begin;
        std::size_t end;
        std::string word;
        bool kept = true;
    };
    const std::string& m_content;
    std::size_t m_start;  // after a byte-order mark
    std::vector<Line> m_lines;
};

// Whether the edit has dealt with the word already, in any case.
bool seenInEdit(const StoplistEdit& edit, const std::string& word) {
    for (const auto* list : {&edit.added, &edit.removed, &edit.present, &edit.absent}) {
        for (const std::string& seen : *list) {
            if (foldedEqual(seen, word)) return true;
        }
    }
    return false;
}

}  // namespace

Stoplist::Stoplist(std::vector<std::string> words) : m_words(std::move(words)) {
    for (std::string& word : m_words) word = foldedWord(word);
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

Stoplist Stoplist::keepingOnly(std::vector<std::string> kept) const {
    Stoplist list(std::move(kept));
    std::erase_if(list.m_words, [this](const std::string& word) { return contains(word); });
    list.m_keepOnly = true;
    list.m_fingerprint = ~(list.m_fingerprint ^ m_fingerprint);
    return list;
}

Stoplist Stoplist::read(Prompter& prompter, const std::filesystem::path& path) {
    bool readable = true;
    std::vector<std::string> words = readStoplistWords(path, &readable);
    if (!readable) {
        prompter.ask({loadString(kStrUnableToOpenFile) + shownPath(path) + notAFileText(path),
                      loadString(kStrFileErrorTitle), MessageKind::kError});
    }
    return Stoplist(std::move(words));
}

bool Stoplist::contains(std::string_view word) const {
    const auto at =
        std::lower_bound(m_words.begin(), m_words.end(), word,
                         [](const std::string& a, std::string_view b) { return foldedLess(a, b); });
    return (at != m_words.end() && foldedEqual(*at, word)) != m_keepOnly;
}

std::string stoplistWord(std::string_view text) {
    char word[kWordRoom];
    if (text.size() > static_cast<std::size_t>(kWordListLineLimit) ||
        validateWordLine(text, word) != LineKind::kWord) {
        return {};
    }
    return word;
}

std::vector<std::string> readStoplistWords(const std::filesystem::path& path, bool* readable) {
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
            if (seen.insert(foldedWord(word)).second) words.emplace_back(word);
        }
    } catch (const ZantricException&) {
        // A folder under the name, or a read error: what was read so far counts.
        if (readable) *readable = false;
    }
    return words;
}

StoplistEditResult editStoplistFile(const std::filesystem::path& path, StoplistEdit& edit) {
    const FolderLock lock(path.parent_path(), FolderLock::Mode::kExclusive);
    std::string content;
    if (!readWholeFile(path, content)) return StoplistEditResult::kUnreadable;
    StoplistLines lines(content);
    for (const std::string& word : edit.remove) {
        if (!word.empty() && !seenInEdit(edit, word)) {
            (lines.remove(word) ? edit.removed : edit.absent).push_back(word);
        }
    }
    for (const std::string& word : edit.add) {
        if (!word.empty() && !seenInEdit(edit, word)) {
            (lines.holds(word) ? edit.present : edit.added).push_back(word);
        }
    }
    if (edit.added.empty() && edit.removed.empty()) return StoplistEditResult::kDone;
    return writeFileReplacing(path, lines.text(edit.added)) ? StoplistEditResult::kDone
                                                            : StoplistEditResult::kUnwritable;
}

}  // namespace zantric
