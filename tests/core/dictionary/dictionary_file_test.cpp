// The dictionary file byte for byte as the writer lays it out (index, header, records and the
// codes of word tails), the word order, and the words the writer refuses.
#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/dictionary_language.h"
#include "core/dictionary/word_codec.h"
#include "core/shell/paths.h"
#include "core/shell/zantric_exception.h"
#include "support/dictionary_files.h"

namespace zantric {
namespace {

using test::TempFolder;
using test::Words;
using Bytes = std::vector<int>;

// The index as runs of equal entries: "first entry:offset ...".
std::string indexRuns(const std::string& file) {
    std::string runs;
    for (int i = 0, last = -1; i < kIndexEntries; ++i) {
        const int offset =
            static_cast<int>(readU32(reinterpret_cast<const unsigned char*>(&file[4 * i])));
        if (offset != last)
            runs += (runs.empty() ? "" : " ") + std::to_string(i) + ":" + std::to_string(offset);
        last = offset;
    }
    return runs;
}

TEST(DictionaryFile, IndexHeaderAndRecordsByteForByte) {
    TempFolder folder;
    const std::tuple<Words, int, const char*, Bytes> cases[] = {
        // words, count, index runs, data
        // clang-format off
        {{}, 0, "0:2096", {}},
        {{"a"}, 1, "0:2096 1:2098", {0, 225}},
        {{"cat", "dog"}, 2, "0:2096 26:2097 52:2098 55:2101 56:2104",
         {254, 254, 0, 189, 244, 0, 228, 118}},
        // The hyphenated twin shares all three letters and has no code bytes.
        {{"abc", "ab-c"}, 2, "0:2096 26:2097 52:2098 53:2103", {254, 254, 0, 10, 227, 13, 2}},
        // A duplicate is stored once.
        {{"apple", "apple"}, 1, "0:2096 26:2097 52:2098 78:2099 104:2100 105:2104",
         {254, 254, 254, 254, 0, 17, 240, 64}},
        // After a capitalised word nothing is shared; the capital flag is bit 1.
        {{"Apple", "apple"}, 2, "0:2096 26:2097 52:2098 78:2099 104:2100 105:2108",
         {254, 254, 254, 254, 2, 17, 240, 64, 0, 17, 240, 64}},
        // A new block starts with P = 0.
        {{"bat", "bot", "cat"}, 3, "0:2096 26:2097 52:2098 54:2103 55:2106",
         {254, 254, 0, 226, 7, 4, 112, 0, 189, 244}},
        // Nine empty groups between the 3-letter and the 12-letter word; each empty group's
        // entries point at the 254 that ends it.
        {{"cat", "conservation"}, 2, "0:2096 26:2097 52:2098 55:2101 78:2102 104:2103 130:2104 "
         "156:2105 182:2106 208:2107 234:2108 260:2109 286:2110 289:2118",
         {254, 254, 0, 189, 244, 254, 254, 254, 254, 254, 254, 254, 254, 254,
          0, 194, 92, 27, 246, 7, 47, 238}},
        // 10, 15 and 20 letters; the twin shares all twenty letters (head 81, hyphen at 7), and
        // the word after it shares only the seven letters before that hyphen (head 28).
        {{"strawberry", "nationalization", "counterrevolutionary", "counter-revolutionary",
          "counterrevolutionist"}, 5, nullptr,
         {254, 254, 254, 254, 254, 254, 254, 254, 254, 0, 175, 126, 247, 226, 27, 146,
          254, 254, 254, 254, 254, 0, 84, 149, 109, 3, 233, 250, 7, 47, 238,
          254, 254, 254, 254, 254, 0, 194, 245, 91, 27, 127, 246, 108, 245, 149, 109, 6, 249,
          81, 7, 28, 127, 246, 108, 245, 149, 109, 50, 244}},
        // clang-format on
    };
    for (const auto& [words, count, index, data] : cases) {
        SCOPED_TRACE(testing::PrintToString(words));
        test::writeDictionary("t.lex", words);
        const std::string file = TempFolder::read("t.lex");
        ASSERT_GE(file.size(), kDataOffset);
        EXPECT_TRUE(!index || indexRuns(file) == index) << indexRuns(file);  // nullptr: not checked
        // Modified 0, the word count, the mark 0x59B1 and no selection, after the Created time.
        EXPECT_EQ(file.substr(kHeaderOffset + 4, 12),
                  std::string(4, 0) + static_cast<char>(count) + std::string("\0\0\0\xB1Y\0\0", 7));
        const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
        EXPECT_EQ(Bytes(bytes + kDataOffset, bytes + file.size()), data);
        EXPECT_EQ(test::wordsOf("t.lex"), test::inWordOrder(words));
    }
    createEmptyFile("empty.lex");
    test::writeDictionary("t.lex", {});
    std::string made = TempFolder::read("empty.lex"), written = TempFolder::read("t.lex");
    EXPECT_EQ(made.replace(kHeaderOffset, 4, 4, '\0'), written.replace(kHeaderOffset, 4, 4, '\0'));
}

TEST(DictionaryFile, WordsItCannotStoreAndFilesItCannotOpen) {
    TempFolder folder;
    DictionaryWriter writer("t.lex");
    for (const char* bad : {"", "abcdefghijklmnopqrstu", "abcdefghij-klmnopqrstu", "ab1", "a b",
                            "-", "caf\xc3\xa9", "co--op"})
        EXPECT_FALSE(writer.addWord(bad)) << bad;
    for (const char* good : {"abcdefghij", "abcdefghijklmnopqrst", "abcdefghij-klmnopqrst"})
        EXPECT_TRUE(writer.addWord(good)) << good;
    EXPECT_THROW(DictionaryWriter("no/such/folder/t.lex"), ZantricException);
    ReadControl reads;
    std::optional<Message> notice;
    try {
        DictionaryReader reader(reads, "missing.lex", false, 1024);
    } catch (const ZantricException& e) {
        notice = e.notice();
    }
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(std::tuple(notice->text, notice->title, reads.readerCount()),
              std::tuple("Unable to open Dictionary: " + (folder.path() / "missing.lex").string(),
                         "File Error", 0));
}

TEST(WordOrder, CompareWords) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"cat", "at", 1},       {"ab-c", "abcd", -1},  {"abc", "ab-c", -1}, {"ab-c", "abc", 1},
        {"Apple", "apple", -1}, {"apple", "Apple", 1}, {"Bat", "ape", 1},   {"ape", "Bat", -1},
        {"Paris", "parse", -1}, {"cat", "cat", 0},     {"Cat", "Cat", 0},   {"Cab", "Cat", -1},
        {"a-b", "ab", 1},       {"zed", "Zed", 1},
    };
    for (const auto& [a, b, sign] : cases) {
        const int r = compareWords(a, b);
        EXPECT_EQ((r > 0) - (r < 0), sign) << a << " vs " << b;
    }
    // Equal words (the hyphen elsewhere) pass once each, however they alternate.
    OnceEach once;
    for (const auto& [word, first] :
         {std::pair{"a-bc", true}, {"ab-c", true}, {"a-bc", false}, {"ab-c", false}, {"abd", true}})
        EXPECT_EQ(once.firstTime(word), first) << word;
}

TEST(LetterFold, EachLanguageSpellsItsLettersWithAToZ) {
    using enum Language;
    const std::tuple<Language, const char*, const char*> cases[] = {
        {kFrench, "élève", "eleve"},
        {kFrench, "Élire", "Elire"},
        {kFrench, "œuvre", "oeuvre"},
        {kFrench, "Œuvre", "Oeuvre"},
        {kFrench, "ÇA-ÿ", "CA-y"},
        {kFrench, "Bände", "Bande"},
        {kGerman, "Bände", "Baende"},
        {kGerman, "ÖLÜß", "OeLUess"},
        {kGerman, "Straße", "Strasse"},
        {kSpanish, "ÁBACO", "ABACO"},
        {kSpanish, "niño", "nino"},
        {kItalian, "città", "citta"},
        {kFrench, "aujourd'hui", "aujourd'hui"},
        // No fold: Greek, Cyrillic, a sign, a cut or broken character, and English at all.
        {kFrench, "αβγ", nullptr},
        {kGerman, "Москва", nullptr},
        {kFrench, "3×4", nullptr},
        {kFrench, "caf\xC3", nullptr},
        {kFrench, "\xC3(a", nullptr},
        {kFrench, "\xE2\x82\xAC", nullptr},
        {kEnglish, "café", nullptr},
        {kEnglish, "cafe", "cafe"},
    };
    for (const auto& [language, text, folded] : cases) {
        const std::string_view in(text);
        std::string out(in.size() + 1, '#');
        const int length = foldLetters(language, in, out.data());
        EXPECT_EQ(length < 0 ? std::string("(none)") : out.substr(0, length + 1),
                  folded ? std::string(folded) + '\0' : "(none)")
            << text;
    }
    EXPECT_EQ(languageOfCode("DE"), Language::kGerman);
    EXPECT_EQ(languageOfCode("xx"), std::nullopt);
    for (const auto& [list, language] : {std::pair{"/usr/share/dict/french", kFrench},
                                         {"ogerman", kGerman},
                                         {"/usr/share/dict/spanish", kSpanish},
                                         {"italian", kItalian},
                                         {"/usr/share/dict/words", kEnglish},
                                         {"/tmp/french/list.txt", kEnglish}})
        EXPECT_EQ(languageOfWordList(list), language) << list;
}

// The language file belongs to the dictionary beside it, or reads as English.
TEST(DictionaryLanguage, AFileThatIsNotTheDictionarysReadsAsEnglish) {
    TempFolder folder;
    test::writeDictionary("words.lex", {"cat"});
    const std::string created = TempFolder::read("words.lex").substr(kHeaderOffset, 4);
    EXPECT_EQ(dictionaryLanguage("words.lex"), Language::kEnglish);  // no file
    ASSERT_TRUE(placeLanguageFile("words.lex", Language::kFrench, "staging"));
    const std::string good = TempFolder::read("words.lxs");
    EXPECT_EQ(good,
              "\xB2\x59"
              "fr" +
                  created + std::string(8, '\0'));
    const std::pair<std::string, Language> cases[] = {
        {good, Language::kFrench},
        {good.substr(0, 8), Language::kEnglish},                          // short
        {"\xB1" + good.substr(1), Language::kEnglish},                    // not the mark
        {good.substr(0, 2) + "xx" + good.substr(4), Language::kEnglish},  // unknown code
        {good.substr(0, 4) + "\x01\x02\x03\x04" + good.substr(8), Language::kEnglish},  // older
    };
    for (const auto& [bytes, language] : cases) {
        TempFolder::write("words.lxs", bytes);
        EXPECT_EQ(dictionaryLanguage("words.lex"), language);
    }
    // Spellings follow the 16 bytes; a file cut anywhere gives the entries before the cut.
    Spellings spellings;
    for (const auto& [word, spelling] :
         {std::pair{"cat", "Cät"}, {"cat", "cat"}, {"eleve", "élève"}})
        spellings.add(word, spelling);
    spellings.finish();
    ASSERT_TRUE(placeLanguageFile("words.lex", Language::kFrench, "staging", &spellings));
    const std::string full = TempFolder::read("words.lxs");
    const std::pair<std::size_t, std::string> cuts[] = {
        {full.size(), "Cät/cat élève"}, {full.size() - 1, "Cät/cat eleve"}, {16 + 9, "Cät eleve"},
        {16 + 16, "Cät eleve"},         {16 + 17, "Cät/cat eleve"},         {16, "cat eleve"}};
    for (const auto& [size, shownWords] : cuts) {
        TempFolder::write("words.lxs", full.substr(0, size));
        const Spellings read = dictionarySpellings("words.lex");
        std::string cat, eleve;
        EXPECT_EQ(read.shown("cat", cat) + " " + read.shown("eleve", eleve), shownWords) << size;
    }
    // English leaves no language file.
    ASSERT_TRUE(placeLanguageFile("words.lex", Language::kEnglish, "staging"));
    EXPECT_FALSE(fileExists("words.lxs"));
    EXPECT_FALSE(fileExists("staging"));
}

Bytes encode(const std::string& tail) {
    unsigned char out[kMaxWordLetters];
    return Bytes(out, out + encodeTail(tail.data(), static_cast<int>(tail.size()), out));
}

TEST(WordCodec, WorkedCodes) {
    // clang-format off
    const std::pair<std::string, Bytes> cases[] = {  // the long tails are in the records above
        {"a", {225}}, {"the", {161, 229}}, {"cat", {189, 244}}, {"zoo", {250, 110}}, {"e", {229}},
        {"aw", {225, 247}}, {"queen", {241, 245, 22, 238}}, {"seats", {169, 7, 243}}, {"", {}},
        {"strain", {175, 126, 46}}, {"ej", {229, 234}}, {"oz", {239, 250}}, {"sea", {169, 225}},
        {"strainers", {175, 126, 46, 27, 243}}, {"bumpy", {226, 245, 237, 240, 249}},
        {"zzzzzzzzzzzzzzzzzzzz", Bytes(20, 250)},
    };
    // clang-format on
    for (const auto& [tail, codes] : cases) EXPECT_EQ(encode(tail), codes) << tail;
}

}  // namespace
}  // namespace zantric
