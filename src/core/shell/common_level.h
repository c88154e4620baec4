// How common a word is, on the one scale that --common, the window's "Common words only", the
// results header and the ranking share: 1 (rare) to kMostCommonLevel (among the most common
// words); 0 for any word, or for a word no list holds.
#pragma once

namespace zantric {

inline constexpr int kMostCommonLevel = 10;

}  // namespace zantric
