// SearchLevel: one level of a search. It enumerates the dictionary words that fit its word of
// the FIND and the letters still available, and either stores each answer (a single-word
// search) or runs the level of the next word with the letters left (a phrase search). Levels
// live on the stack of the level above; the top level is run by the search worker thread. The
// levels of a phrase search share the top level's SubtreeMemo, which replays a sub-search that
// was met before instead of walking it again. With more than one search thread, the top level
// of a phrase search hands its words out in turn to the threads; each runs the levels below a
// word with its own readers, all share the memo, and their matches reach the store in the order of
// one thread (MatchSink). The phrase filters prune as the levels go: words start at the minimum
// length, a level with too few letters left opens no reader, and a word already in the phrase is
// passed over where the letters left could spell it again.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/dictionary/letter_pool.h"
#include "core/search/search_request.h"
#include "core/search/subtree_memo.h"

namespace zantric {

class DictionaryReader;
class MatchSink;
class ReadControl;
class ReadLane;
class ResultsStore;

// Every word of a phrase at its longest, with a hyphen and a space.
inline constexpr int kMaxPhraseLength = kMaxPhraseWords * (kMaxWordLetters + 2) + 1;

class SearchLevel {
public:
    // The top level: the whole FIND, the request's work letters, an empty phrase; its readers
    // are those of `reads`. Resets the checked base and the checked counter. When `stop` is set, no
    // further dictionary is opened (a cancel confirmed between two dictionaries of a single-word
    // search still counts). A phrase search runs on `threads` search threads (1: on the calling
    // thread only), which keep at most `keptLimit` bytes of matches waiting their turn (0:
    // ChunkOrder's default).
    SearchLevel(const SearchRequest& request, ReadControl& reads,
                std::atomic<std::int64_t>& checkedBase, const std::atomic<bool>* stop = nullptr,
                int threads = 1, std::size_t keptLimit = 0);
    ~SearchLevel();
    SearchLevel(const SearchLevel&) = delete;
    SearchLevel& operator=(const SearchLevel&) = delete;

    // Runs this level and the levels below; every accepted word or phrase is appended to
    // `results`. Returns true when the run was cancelled, or stopped because the store took no
    // more matches.
    bool run(ResultsStore& results);
    // After run, on the top level: whether a filter passed over a word (a stoplist word in a
    // single-word search, a repeated word in a phrase).
    bool struckWords() const { return m_struckWords; }

private:
    // A word of the phrase so far, by its place in the phrase text, and its place in the
    // order of lengths and first letters (letters * 32 + first letter). Left uninitialised, so
    // a level's list costs nothing unless the filter is on.
    struct WordSpan {
        int start;
        int length;
        int order;
    };

    SearchLevel(const SearchRequest& request, std::string_view position, const LetterPool& letters,
                char* phrase, int phraseLength, bool afterBang, int minLength, char firstLetter,
                SubtreeMemo* memo, SearchLevel* parent);

    // The top level as one search thread sees it: the level above that thread's words, whose
    // readers are those of the thread's `lane`.
    SearchLevel(const SearchLevel& top, ReadLane& lane);

    // What a level settles before it reads a word: its part of the FIND, the letters it may
    // use and the shortest word it takes.
    struct Plan {
        explicit Plan(const LetterPool& from) : letters(from) {}
        std::string_view rest;     // the FIND after this level's word
        std::string_view pattern;  // this level's word pattern ("*" after a "!")
        LetterPool letters;        // the letters left, this word's fixed letters released
        int total;                 // letters.total()
        int length;                // the shortest word this level takes
        bool hasFrom;              // the search has FROM letters
        bool permutation;          // Suppress Permutations orders this word after the one above
        bool lastWord;             // no word follows this one
        int addedMinLength;        // what the level above passed: its word's place in the order
        char addedFirstLetter;     // of lengths and first letters (0: not passed)
    };
    // What the memo made of a level: nothing (read the dictionary), or its phrases replayed.
    enum class Replayed { kNo, kDone, kStopped };

    // run() for a search with (kFiltered) or without filters; the levels below run the same.
    template <bool kFiltered>
    bool runLevel(MatchSink& results);
    // The pattern, the letters and the trailing-word rule of this level.
    void planWord(Plan& plan);
    // Whether the bound of the word before stops applying at this level's word.
    bool boundEnds(const Plan& plan) const;
    // The phrase needs no further word.
    bool phraseComplete(const Plan& plan) const;
    // Stores the complete phrase; true when the store took no more.
    bool storePhrase(MatchSink& results);
    // Sets plan.length, the shortest word; false when no word can follow.
    template <bool kFiltered>
    bool chooseLength(Plan& plan);
    // "Each word once": the words above that this level's letters could spell again.
    void collectRepeatable(const Plan& plan);
    // Replays this level from the memo when it met the same state before; else begins a
    // recording of it when the state has a key.
    Replayed replayOrRecord(const Plan& plan, int variant, MatchSink& results,
                            SubtreeMemo::Key& key, SubtreeMemo::Recording& recording);
    // Reads the words of one dictionary that fit; true when the search was cancelled.
    template <bool kFiltered>
    bool readWords(const std::filesystem::path& name, const Plan& plan, const char* pattern,
                   MatchSink& results, SubtreeMemo::Recording& recording);
    // A word of a single-word search that fit the reader: stored unless a filter passes over
    // it. False when the store took no more.
    template <bool kFiltered>
    bool offerWord(std::string_view word, const Plan& plan, MatchSink& results);
    // A word of a phrase search: the levels below run with the letters it left. True when the
    // search was cancelled.
    template <bool kFiltered>
    bool followWord(const DictionaryReader& dictionary, const char* word, const Plan& plan,
                    MatchSink& results, SubtreeMemo::Recording& recording);
    // The level below this one's `word` (already in the phrase), with the letters it left.
    template <bool kFiltered>
    bool runBelow(MatchSink& results, const char* word, int wordLength,
                  const LetterPool& childLetters, bool permutation, std::string_view rest,
                  SubtreeMemo::Outcome& outcome);
    // The top level's words, handed out to the search threads; the arguments are those this
    // level's reader takes.
    template <bool kFiltered>
    bool runSplit(ResultsStore& store, const char* pattern, const LetterPool* letters, int length,
                  bool permutation, std::string_view rest);
    // A filter passed over a word: noted on the top level.
    void noteStruck();
    // The memo's variant for this level's words that may not come again (-1: none left).
    int repeatVariant();

    const SearchRequest& m_request;
    ReadLane* m_lane;             // the readers of this level's thread
    std::string_view m_position;  // the rest of the FIND, from this level's word on
    LetterPool m_letters;
    char* m_phrase;  // the words of the levels above, each followed by a space
    int m_phraseLength;
    bool m_afterBang;
    int m_minLength;
    char m_firstLetter;
    bool m_useAll;
    std::atomic<std::int64_t>* m_checkedBase = nullptr;  // the top level only
    const std::atomic<bool>* m_stop = nullptr;           // the top level only
    std::size_t m_keptLimit = 0;                         // the top level only
    SubtreeMemo* m_memo = nullptr;                       // a phrase search's, shared by its levels
    std::unique_ptr<SubtreeMemo> m_ownedMemo;            // the top level of a phrase search
    SubtreeMemo::Outcome m_outcome = SubtreeMemo::kNothing;  // what run() left, for the level above
    SearchLevel* m_parent = nullptr;                         // the level above; none at the top
    bool m_struckWords;                                      // the top level's only
    int m_threads = 1;                                       // the top level's only
    // Suppress Permutations: the trailing word before this one (NUL-terminated), before which
    // no word of this level comes in the dictionary's word order (nullptr: none, or none of its
    // length and first letter can follow); whether it holds no vowel-like letter, so that words
    // with one may come whatever their order; and whether words without one may not come (the
    // analysis kept some, and a word above holds one).
    const char* m_bound = nullptr;
    bool m_boundVowelless = false;
    bool m_vowelsOnly = false;
    // The length and first letter of the word the reader gave last, and whether it was the first
    // of them.
    int m_blockLength = 0;
    char m_blockFirst = 0;
    bool m_newBlock = false;
    // "Each word once": the words above that this level's letters could spell again; the level
    // below checks them again with its own letters. Set by the levels of a filtered search only.
    int m_repeatableCount;
    WordSpan m_repeatable[kMaxPhraseWords];
    char m_phraseBuffer[kMaxPhraseLength + 16];  // the top level's phrase
};

}  // namespace zantric
