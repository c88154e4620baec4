#include "core/dictionary/word_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/dictionary/dictionary_format.h"

namespace zantric {
namespace {

std::vector<int> encode(const std::string& tail) {
    unsigned char out[kMaxWordLetters];
    const int n = encodeTail(tail.data(), static_cast<int>(tail.size()), out);
    return std::vector<int>(out, out + n);
}

TEST(WordCodec, WorkedCodes) {
    const struct {
        const char* tail;
        std::vector<int> codes;
    } cases[] = {
        {"a", {225}},
        {"the", {161, 229}},
        {"cat", {189, 244}},
        {"zoo", {250, 110}},
        {"aw", {225, 247}},
        {"queen", {241, 245, 22, 238}},
        {"seats", {169, 7, 243}},
        {"strain", {175, 126, 46}},
        {"e", {229}},
        {"ej", {229, 234}},
        {"oz", {239, 250}},
        {"", {}},
        {"strainers", {175, 126, 46, 27, 243}},
        {"bumpy", {226, 245, 237, 240, 249}},
        {"sea", {169, 225}},
        // Tails of long words: 10, 12, 15 and 20 letters.
        {"strawberry", {175, 126, 247, 226, 27, 146}},
        {"conservation", {194, 92, 27, 246, 7, 47, 238}},
        {"nationalization", {84, 149, 109, 3, 233, 250, 7, 47, 238}},
        {"counterrevolutionary", {194, 245, 91, 27, 127, 246, 108, 245, 149, 109, 6, 249}},
        {"zzzzzzzzzzzzzzzzzzzz", std::vector<int>(20, 250)},
    };
    for (const auto& c : cases) EXPECT_EQ(encode(c.tail), c.codes) << c.tail;
}

TEST(WordCodec, EveryPairTableRowStartsWhereItShould) {
    // Row starts: a 0, e 21, i 42, l 63, n 84, o 105, r 126, t 147, s 168, c 189.
    const char* lead = "aeilnortsc";
    for (int row = 0; row < 10; ++row) {
        const std::string pair = {lead[row], 'a'};
        EXPECT_EQ(encode(pair), std::vector<int>{21 * row}) << pair;
        const std::string last = {lead[row], 'y'};
        EXPECT_EQ(encode(last), std::vector<int>{21 * row + 20}) << last;
    }
}

TEST(WordCodec, DecodeInvertsEncodeForAllShortTails) {
    // Every tail of up to three letters comes back letter for letter.
    std::string tail;
    for (int n = 1; n <= 3; ++n) {
        const int combos = n == 1 ? 26 : n == 2 ? 26 * 26 : 26 * 26 * 26;
        for (int k = 0; k < combos; ++k) {
            tail.clear();
            for (int i = 0, v = k; i < n; ++i, v /= 26)
                tail.push_back(static_cast<char>('a' + v % 26));
            unsigned char codes[16];
            const int count = encodeTail(tail.data(), n, codes);
            ASSERT_GE(count, (n + 1) / 2);
            ASSERT_LE(count, n);
            char buf[16];
            int len = 0;
            for (int i = 0; i < count; ++i) {
                ASSERT_NE(codes[i], 210);
                ASSERT_LT(codes[i], 254);
                len = decodeByte(codes[i], buf, len);
            }
            ASSERT_EQ(std::string(buf, len), tail);
        }
    }
}

}  // namespace
}  // namespace zantric
