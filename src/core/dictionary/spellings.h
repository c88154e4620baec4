// The spellings of a dictionary's words as their word list wrote them (élève for the stored
// eleve), kept in its language file after the 16 bytes of the language
// (docs/dictionary-format.md, "Spellings"). One arena of entries, each a byte n, the stored word
// (n bytes and a NUL), a byte m and the spelling (m bytes of UTF-8), with their offsets in word
// order: no allocation per word. Belongs to one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zantric {

class Spellings {
public:
    // Notes one spelling of a stored word (a word of 1 to 21 characters, a spelling of 1 to 255
    // bytes); anything longer is not kept, nor anything past 4 GiB of entries.
    void add(std::string_view word, std::string_view spelling);
    // Puts the entries in word order (then by the spelling's bytes), drops repeats, and drops
    // the words whose one spelling is the stored word itself: those are shown as stored.
    void finish();
    // Adds every entry of `other` (then call finish()).
    void addAll(const Spellings& other);

    std::size_t count() const { return m_offsets.size(); }
    std::string_view word(std::size_t i) const;
    std::string_view spelling(std::size_t i) const;

    // How `word` is shown: its spellings after finish(), joined by "/" ("baratte/baratté"), or
    // the word itself when it has none. `out` is reused.
    const std::string& shown(std::string_view word, std::string& out) const;
    // A match line (words between single spaces) with each word shown as above, in `out`;
    // `word` is room the call reuses.
    const std::string& shownLine(std::string_view line, std::string& out, std::string& word) const;

    // The entries as the language file holds them, in order.
    std::string bytes() const;
    // The entries read back from `count` entries of `bytes`; an entry that runs past the end,
    // or has an empty word or spelling, ends the reading there (a damaged file).
    static Spellings parse(std::string_view bytes, std::uint32_t count);

private:
    std::string_view wordAt(std::uint32_t at) const;
    std::string_view spellingAt(std::uint32_t at) const;

    std::string m_arena;
    std::vector<std::uint32_t> m_offsets;
};

}  // namespace zantric
