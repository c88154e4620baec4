// The reader's walk: which words a pattern, a minimum length, a start letter and a letters filter
// deliver, with the letters left over and the Checked figure, read from the file's bytes and from
// the records decoded once in memory (first reader and readers sharing its image) alike; and the
// letters a search may use: counts from typed text (a capital or a hundred copies make a letter
// unlimited, '?' is a blank) and a word tried against them.
#include "core/dictionary/dictionary_reader.h"

#include <random>

#include "support/dictionary_files.h"

namespace zantric {
namespace {

using test::Words;

Words collect(DictionaryReader& d, const char* pattern, const LetterPool* letters = nullptr,
              int minLength = 0) {
    Words words;
    char word[kOutWordSize];
    MatchResult r = d.nextMatch(word, pattern, letters, minLength);
    for (; r == kMatchFound; r = d.nextMatch(word, nullptr)) words.emplace_back(word);
    if (r != kNoMoreWords) words.push_back("result " + std::to_string(static_cast<int>(r)));
    return words;
}

// clang-format off
const Words kSmall = {"a", "at", "bat", "cat", "cot", "cut", "dog", "cart", "cats", "coat",
                      "comet"};
const Words kLong = {"a", "at", "cat", "cot", "strawberry", "conservation", "conversation",
                     "nationalization", "counterrevolutionary", "counter-revolutionary"};
// clang-format on
const Words kMixed = {"abc", "ab-c", "Paris", "paris", "parse", "well-off"};

TEST(DictionaryReader, PatternsAndCheckedCounts) {
    test::TempFolder folder;
    for (const auto& [name, words] :
         {std::pair{"small.lex", kSmall}, {"long.lex", kLong}, {"mixed.lex", kMixed}})
        test::writeDictionary(name, words);
    const LetterPool tca("tca"), conversation("conversation"), blanks(std::string(20, '?'));
    const std::string twenty(20, '?');
    const Words counters = {"counterrevolutionary", "counter-revolutionary"};
    const struct {
        const char* file;
        std::string pattern;
        const LetterPool* letters;
        int minLength;
        Words words;
        std::uint32_t checked;
    } cases[] = {
        // clang-format off
        {"small.lex", "*", nullptr, 0, kSmall, 11}, {"small.lex", "cat", nullptr, 0, {"cat"}, 5},
        {"small.lex", "c?t", nullptr, 0, {"cat", "cot", "cut"}, 5},
        {"small.lex", "?at", nullptr, 0, {"bat", "cat"}, 6},
        {"small.lex", "c*t", nullptr, 0, {"cat", "cot", "cut", "cart", "coat", "comet"}, 9},
        {"small.lex", "*a*", nullptr, 0, {"a", "at", "bat", "cat", "cart", "cats", "coat"}, 11},
        {"small.lex", "*a", nullptr, 0, {"a"}, 11},
        {"small.lex", "*?t", nullptr, 0, {"at", "bat", "cat", "cot", "cut", "cart", "coat", "comet"}, 10},
        {"small.lex", "*", nullptr, 4, {"cart", "cats", "coat", "comet"}, 4},
        {"small.lex", "*", &tca, 0, {"a", "at", "cat"}, 8}, {"small.lex", "*", nullptr, 10, {}, 0},
        {"small.lex", "abcdefghij", nullptr, 0, {}, 0},
        // Long words among short ones: the walks jump over the empty groups between them.
        {"long.lex", "*", nullptr, 0, kLong, 10}, {"long.lex", "*", nullptr, 21, {}, 0},
        {"long.lex", "c*n", nullptr, 0, {"conservation", "conversation"}, 8},
        {"long.lex", "*ation", nullptr, 0, {"conservation", "conversation", "nationalization"}, 6},
        {"long.lex", twenty, nullptr, 0, counters, 2}, {"long.lex", twenty + "?", nullptr, 0, {}, 0},
        {"long.lex", "c" + twenty.substr(1), nullptr, 0, counters, 2},
        {"long.lex", "*", nullptr, 12, Words(kLong.begin() + 5, kLong.end()), 5},
        {"long.lex", "*", &conversation, 0, {"a", "at", "cat", "cot", "conservation", "conversation"}, 8},
        {"long.lex", "*", &blanks, 13, Words(kLong.begin() + 7, kLong.end()), 3},
        // Capitals and hyphens come back as written; a pattern matches either case.
        {"mixed.lex", "*", nullptr, 0, kMixed, 6}, {"mixed.lex", "*f", nullptr, 0, {"well-off"}, 6},
        {"mixed.lex", "paris", nullptr, 0, {"Paris", "paris"}, 4},
        {"mixed.lex", "Paris", nullptr, 0, {"Paris", "paris"}, 4},
        // clang-format on
    };
    char word[kOutWordSize];
    for (bool memory : {false, true}) {
        for (const auto& c : cases) {
            ReadControl reads;
            DictionaryReader d(reads, c.file, memory, 1024);
            EXPECT_EQ(collect(d, c.pattern.c_str(), c.letters, c.minLength), c.words)
                << c.file << " " << c.pattern << " memory " << memory;
            EXPECT_EQ(reads.checked(), c.checked);
            EXPECT_EQ(d.nextMatch(word, ""), kEmptyPattern);
        }
    }
}

TEST(DictionaryReader, SharedImageSixteenthReaderAndCancel) {
    test::TempFolder folder;
    test::writeDictionary("small.lex", kSmall);
    test::writeDictionary("other.lex", {"dog"});
    char word[kOutWordSize];
    ReadControl reads;
    {
        // The first reader's image serves the readers of its file, not those of another, and
        // stays while it is open, also after a reader that could not open its file and after the
        // file changed.
        DictionaryReader first(reads, "small.lex", true, 1024);
        EXPECT_ANY_THROW(DictionaryReader(reads, "missing.lex", false, 1024));
        test::writeDictionary("small.lex", {"cut"});
        DictionaryReader other(reads, "other.lex", true, 1024);
        DictionaryReader same(reads, "small.lex", false, 1024);
        EXPECT_EQ(std::pair(collect(other, "*"), collect(same, "c?t")),
                  std::pair(Words{"dog"}, Words{"cat", "cot", "cut"}));
    }
    test::writeDictionary("small.lex", kSmall);
    {
        std::vector<std::unique_ptr<DictionaryReader>> readers(15);
        for (auto& reader : readers)
            reader = std::make_unique<DictionaryReader>(reads, "small.lex", false, 1024);
        DictionaryReader extra(reads, "small.lex", false, 1024);
        EXPECT_EQ(reads.readerCount(), 16);
        EXPECT_EQ(std::pair(extra.nextMatch(word, "*"), extra.nextMatch(word, nullptr)),
                  std::pair(kNoMoreWords, kNoMoreWords));
        EXPECT_EQ(readers[3]->nextMatch(word, "*"), kMatchFound);
    }
    EXPECT_EQ(reads.readerCount(), 0);
    {
        DictionaryReader d(reads, "small.lex", false, 1024);
        ASSERT_EQ(d.nextMatch(word, "*"), kMatchFound);
        reads.setCancel();
        EXPECT_EQ(d.nextMatch(word, nullptr), kMatchCancelled);
        DictionaryReader other(reads, "small.lex", false, 1024);
        EXPECT_EQ(other.nextMatch(word, "*"), kMatchCancelled);
        // Another control's readers do not see the cancel.
        ReadControl elsewhere;
        DictionaryReader apart(elsewhere, "small.lex", false, 1024);
        EXPECT_EQ(collect(apart, "*"), kSmall);
    }
    DictionaryReader fresh(reads, "small.lex", false, 1024);  // the first reader clears the flag
    EXPECT_EQ(collect(fresh, "*"), kSmall);
}

// One step of a walk: the word and the letters left over (when there is a filter).
std::vector<std::string> walk(ReadControl& reads, DictionaryReader& d, const char* pattern,
                              const LetterPool* letters, int minLength, char startLetter) {
    // The only reader starts the count again at a new pattern.
    const std::uint64_t before = reads.readerCount() == 1 ? 0 : reads.checked();
    std::vector<std::string> steps;
    char word[kOutWordSize];
    MatchResult r = d.nextMatch(word, pattern, letters, minLength, startLetter);
    for (; r == kMatchFound; r = d.nextMatch(word, nullptr)) {
        steps.push_back(word);
        for (int i = 0; d.letters() && i <= LetterPool::kSlots; ++i)
            steps.back() +=
                "," + std::to_string(i < LetterPool::kSlots ? d.letters()->working(i)
                                                            : d.letters()->workingVowels());
    }
    steps.push_back("result " + std::to_string(static_cast<int>(r)) + " checked " +
                    std::to_string(reads.checked() - before));
    return steps;
}

struct Case {
    const char *pattern, *from;  // from nullptr: no letters
    int minLength;
    char startLetter;
};

// Each case on the file's bytes, on the first reader of the image and on a reader sharing it;
// then "*" with no letters, which keeps the letters given before.
void expectSameWalks(const std::string& name, const std::vector<Case>& walks) {
    for (const Case& c : walks) {
        SCOPED_TRACE(testing::Message() << c.pattern << " from " << (c.from ? c.from : "-")
                                        << " min " << c.minLength << " start " << +c.startLetter);
        const LetterPool letters(c.from ? c.from : "");
        const LetterPool* filter = c.from ? &letters : nullptr;
        std::vector<std::string> bytes[2];
        ReadControl reads;
        {
            DictionaryReader file(reads, name, false, 1024);
            bytes[0] = walk(reads, file, c.pattern, filter, c.minLength, c.startLetter);
            bytes[1] = walk(reads, file, "*", nullptr, 2, 0);
        }
        DictionaryReader first(reads, name, true, 1024);
        EXPECT_EQ(walk(reads, first, c.pattern, filter, c.minLength, c.startLetter), bytes[0]);
        EXPECT_EQ(walk(reads, first, "*", nullptr, 2, 0), bytes[1]);
        DictionaryReader shared(reads, name, true, 1024);
        EXPECT_EQ(walk(reads, shared, c.pattern, filter, c.minLength, c.startLetter), bytes[0]);
    }
}

// Thousands of words of every length with capitals, hyphens, gaps between first letters and no
// 6-letter word come back whole; the walks of single-word searches, of the subset analysis ("*"
// with the FROM letters) and of the levels of a phrase search ("*" with what is left, a minimum
// length and a start letter) are the same either way.
TEST(DictionaryReader, MemoryWalksAreTheFileWalks) {
    Words words = kSmall;  // and thousands more
    for (const Words* more : {&kLong, &kMixed})
        words.insert(words.end(), more->begin(), more->end());
    std::mt19937 random(11);
    for (int i = 0; i < 1500; ++i) {
        // Mostly the letters of the filters below; one word in four of any letters.
        const std::string letters = i % 4 ? "aeinorstcldz" : "abcdefghijklmnopqrstuvwxyz";
        std::string w(1 + random() % kMaxWordLetters, 'a');
        if (w.size() == 6) w.push_back('a');
        for (auto& c : w) c = letters[random() % letters.size()];
        if (random() % 8 == 0) w[0] = static_cast<char>(w[0] - 'a' + 'A');
        if (w.size() > 2 && random() % 10 == 0) w.insert(1 + random() % (w.size() - 1), "-");
        words.push_back(w);
    }
    words = test::inWordOrder(words);
    test::TempFolder folder;
    test::writeDictionary("mixed.lex", words);
    ReadControl reads;
    DictionaryReader d(reads, "mixed.lex", false, 1024);
    EXPECT_EQ(collect(d, "*"), words);
    EXPECT_EQ(reads.checked(), words.size());
    std::vector<Case> cases;
    for (const char* from : {static_cast<const char*>(nullptr), "schoolmaster", "tea?rs", "Retains",
                             "??", "xq", "aeinorstcld"})
        for (const char* pattern : {"*", "c?t", "?at", "c*t", "*a*", "s*s", "????", "*ing", "a*e*",
                                    "Paris", "ta*", "?\?-?"})
            for (int minLength : {0, 3})
                for (char start : {'\0', 'c', 'q', 'z'})
                    cases.push_back({pattern, from, minLength, start});
    expectSameWalks("mixed.lex", cases);
}

// Damaged dictionaries: a small dictionary cut anywhere or with any byte changed is read without a
// fault (wrong words at worst, each within the caller's buffer, and an end to them), and where the
// memory image holds what the file holds, the same wrong words either way. A byte 255 ends the
// data held in memory but not the file; of the index, only the low byte of each entry is walked.
TEST(DamagedDictionary, EveryByteChangedIsReadSafelyAndTheSameEitherWay) {
    test::TempFolder folder;
    test::RecorderPresenter quiet;
    test::writeDictionary("good.lex", test::inWordOrder({"a", "at", "Bat", "ab-c", "cat", "cot",
                                                         "cots", "zoo", "strainers", "well-off",
                                                         "conservation", "counter-revolutionary"}));
    std::string good = test::TempFolder::read("good.lex");
    std::fill(good.begin() + kHeaderOffset, good.begin() + kHeaderOffset + 4, '\0');  // Created
    // Thousands of files are written: on a memory file system where there is one.
    const std::string bad = std::filesystem::is_directory("/dev/shm")
                                ? "/dev/shm/zantric-" + folder.path().filename().string() + ".lex"
                                : "bad.lex";
    const std::vector<Case> walks = {{"*", nullptr, 0, 0},    {"*", "taco?", 0, 0},
                                     {"*", "cotsat", 3, 'c'}, {"c?t", "tacos", 0, 0},
                                     {"*t", nullptr, 0, 0},   {"c*s", nullptr, 0, 0}};
    const LetterPool taco("taco?");
    for (std::size_t at = 0; at < good.size(); ++at) {
        test::TempFolder::write(bad, good.substr(0, at));  // a file cut short: at most its words
        for (bool memory : {false, true}) {
            ReadControl reads;
            DictionaryReader d(reads, bad, memory, 1024);
            ASSERT_LE(collect(d, "*").size(), 13u) << "cut at " << at;
        }
        // The low bit, the top bit and every bit: offsets a little off, far off, past the end.
        for (unsigned char flip : {0x01, 0x80, 0xFE, 0xFF}) {
            std::string bytes = good;
            bytes[at] = static_cast<char>(bytes[at] ^ flip);
            SCOPED_TRACE(testing::Message() << "byte " << at << " ^ " << int(flip));
            test::TempFolder::write(bad, bytes);
            for (bool memory : {false, true}) {
                for (const auto& [pattern, letters] :
                     {std::pair<const char*, const LetterPool*>{"*", nullptr},
                      {"c?t", &taco},
                      {"*t", nullptr}}) {
                    ReadControl reads;
                    DictionaryReader d(reads, bad, memory, 1024);
                    ASSERT_LE(collect(d, pattern, letters).size(), 2 * bytes.size());
                }
            }
            if ((at < kHeaderOffset && at % 4 != 0) || bytes.find('\xFF') != std::string::npos)
                continue;
            expectSameWalks(bad, walks);
            if (HasFailure()) break;
        }
    }
    std::filesystem::remove(bad);
}

// Damaged records: a hyphen byte that puts the hyphen before the first letter gives a wrong word
// and the words after it are still read; group-end bytes that claim a 21st length end the walk
// there, however many follow and whatever records come after them.
TEST(DamagedDictionary, BadHyphenAndGroupsPastTheLongestWord) {
    test::TempFolder folder;
    test::writeDictionary("hyphen.lex", {"abc", "ab-c", "cat"});
    test::writeDictionary("long.lex", {"counterrevolutionary"});
    std::string hyphen = test::TempFolder::read("hyphen.lex");
    const std::size_t at = hyphen.find(std::string("\x0D\x02", 2));  // "ab-c": hyphen at 2
    ASSERT_NE(at, std::string::npos);
    hyphen[at + 1] = '\0';
    const std::string longWord = test::TempFolder::read("long.lex");
    const std::pair<std::string, Words> cases[] = {
        {hyphen, {"abc", "-abc", "cat"}},
        // A 21-letter record ("a" 21 times) after the 21st group's 254, and a long run of 254s.
        {longWord + std::string("\xFE\x00", 2) + std::string(21, '\xE1'), {"counterrevolutionary"}},
        {longWord + std::string(300, '\xFE'), {"counterrevolutionary"}},
    };
    for (const auto& [bytes, words] : cases) {
        test::TempFolder::write("bad.lex", bytes);
        for (bool memory : {false, true}) {
            ReadControl reads;
            DictionaryReader d(reads, "bad.lex", memory, 1024);
            EXPECT_EQ(collect(d, "*"), words) << memory;
        }
    }
}

}  // namespace
}  // namespace zantric
