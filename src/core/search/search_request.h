// SearchRequest: the one search request of the main window, built from the four field texts and
// the two options and checked on the way; each failed check shows its message box (a beep
// first for input errors). The window owns one for its whole life and refills it at each Start;
// the analysed letters survive between searches. Built and changed on the user-interface
// thread only; the search worker reads it while the fields are disabled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/dictionary/letter_pool.h"
#include "core/dictionary/workspace.h"
#include "core/search/phrase_filters.h"
#include "core/search/search_fields.h"

namespace zantric {

class SearchRequest {
public:
    // Stream buffer per open dictionary: single-word searches and the analysis use the larger.
    static constexpr std::size_t kSingleWordBufferSize = 5120;
    static constexpr std::size_t kMultiWordBufferSize = 2048;

    // Searches the selected dictionaries of the workspace's catalogue; its messages go to the
    // workspace's prompter.
    explicit SearchRequest(Workspace workspace) : m_workspace(workspace) {}
    SearchRequest(const SearchRequest&) = delete;
    SearchRequest& operator=(const SearchRequest&) = delete;

    // The whole Start validation: multiWord from the FIND text, both options, then setFind,
    // setFrom, setInclude, setExclude and prepare, stopping at the first failure.
    bool build(const SearchFields& fields);

    // Normalises and checks FIND (too long, a word too long, the question about text after
    // '!'). A call made while another one's message box is open succeeds without doing
    // anything. On failure `find` keeps its previous value.
    bool setFind(std::string_view text);
    // Stores FROM as typed; lower-cased when the request is multi-word or must use all letters.
    bool setFrom(std::string_view text);
    // Store the text lower-cased, then checkIncludeExclude.
    bool setInclude(std::string_view text);
    bool setExclude(std::string_view text);
    // Refuses an INCLUDE and EXCLUDE that share a character. Re-entered calls succeed at once.
    bool checkIncludeExclude();
    // The final checks at Start; builds fromLetters and workLetters, decides analysisNeeded and
    // the buffer size (these stay set even when checkFindAgainstFrom then fails).
    bool prepare();
    // Whether the FIND letters can come from FROM at all; success when FROM is empty.
    bool checkFindAgainstFrom();

    // The window keeps multiWord current from the FIND field text on every edit.
    bool updateMultiWord(std::string_view findFieldText);
    void setMultiWord(bool multiWord) { m_multiWord = multiWord; }
    void setUseAllFromLetters(bool on) { m_useAllFromLetters = on; }
    void setSuppressPermutations(bool on) { m_suppressPermutations = on; }
    // Forces the next multi-word search to analyse the dictionaries again.
    void clearAnalysedLetters() { m_analysedLetters.setText({}); }
    // The phrase filters of the next Start. A new stoplist makes the next phrase search analyse
    // the dictionaries again.
    void setFilters(PhraseFilters filters) { m_filters = std::move(filters); }
    const PhraseFilters& filters() const { return m_filters; }
    // What the last analysis kept: its shortest word, whether the stoplist struck a word, and
    // whether a word holds no vowel-like letter.
    void noteAnalysis(int shortestWord, bool struck, bool vowelless) {
        m_analysedShortest = shortestWord;
        m_analysisStruck = struck;
        m_analysedVowelless = vowelless;
    }

    // The normalised FIND: lower-case letters, '?', '*', single spaces between words, and at
    // most one '!', which ends it. Stable while a search runs (the search points into it).
    const std::string& find() const { return m_find; }
    const std::string& from() const { return m_from; }
    const std::string& include() const { return m_include; }
    const std::string& exclude() const { return m_exclude; }
    // The FROM letters with the FIND's fixed letters held in reserve: where the search starts.
    const LetterPool& workLetters() const { return m_workLetters; }
    const LetterPool& fromLetters() const { return m_fromLetters; }
    const LetterPool& analysedLetters() const { return m_analysedLetters; }
    // Whether the FROM holds a letter or '?' at all; without, words are not tested for letters.
    bool hasFromLetters() const { return m_fromLetters.total() != 0; }
    bool suppressPermutations() const { return m_suppressPermutations; }
    bool useAllFromLetters() const { return m_useAllFromLetters; }
    bool analysisNeeded() const { return m_analysisNeeded; }
    bool multiWord() const { return m_multiWord; }
    std::size_t readBufferSize() const { return m_readBufferSize; }

    // The filters as the search applies them (decided by prepare, so that each level of the
    // search reads one value): a minimum word length (0: none) and each word once only for a
    // phrase search; the stoplist, when it holds words, for every search (with a commonness
    // level, the list that also strikes the words less common).
    int phraseMinWordLength() const { return m_phraseMinWordLength; }
    bool eachWordOnce() const { return m_eachWordOnce; }
    const Stoplist* stoplist() const { return m_stoplist; }
    // Whether any filter applies.
    bool filtered() const { return m_phraseMinWordLength != 0 || m_eachWordOnce || m_stoplist; }
    int analysedShortestWord() const { return m_analysedShortest; }
    bool analysisStruck() const { return m_analysisStruck; }
    // Whether a phrase's last words may hold no vowel-like letter (true until an analysis says).
    bool analysedVowelless() const { return m_analysedVowelless; }

    Workspace workspace() const { return m_workspace; }
    // The catalogue whose selected dictionaries a search reads.
    const Catalogue& catalogue() const { return m_workspace.catalogue; }
    // The dictionary a phrase search reads: the subset its analysis wrote.
    const std::filesystem::path& subsetDictionary() const {
        return m_workspace.catalogue.subsetDictionaryName();
    }

private:
    Workspace m_workspace;
    std::string m_find;
    std::string m_from;
    std::string m_include;
    std::string m_exclude;
    LetterPool m_workLetters;
    LetterPool m_fromLetters;
    LetterPool m_analysedLetters;
    bool m_suppressPermutations = false;
    bool m_useAllFromLetters = false;
    bool m_analysisNeeded = false;
    bool m_multiWord = false;
    std::size_t m_readBufferSize = kSingleWordBufferSize;
    PhraseFilters m_filters;
    int m_phraseMinWordLength = 0;
    bool m_eachWordOnce = false;
    const Stoplist* m_stoplist = nullptr;  // m_filters' list, when it holds words
    std::uint64_t m_analysedStoplist = 0;  // the fingerprint of the stoplist last analysed with
    int m_analysedShortest = 0;
    bool m_analysisStruck = false;
    bool m_analysedVowelless = true;
    // Set while setFind / checkIncludeExclude wait on their message box, during which a focus
    // change or keystroke can call them again.
    bool m_inSetFind = false;
    bool m_inCheckIncludeExclude = false;
};

// Shows the message of a refused request: a beep, then the text titled "Input Error" with the
// stop icon and no owner. kTextAfterBang and kNone show nothing (the '!' question is asked
// before the refusal).
void reportRequestError(Prompter& prompter, RequestError error);

}  // namespace zantric
