#include "core/results/results_header.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/dictionary/dictionary_format.h"

namespace zantric {
namespace {

void putText(unsigned char* field, std::size_t size, const std::string& text) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

std::string getText(const unsigned char* field, std::size_t size) {
    const unsigned char* end = std::find(field, field + size, 0);
    return std::string(field, end);
}

}  // namespace

ResultsHeader ResultsHeader::fromSummary(const SearchSummary& summary, std::int32_t longest) {
    ResultsHeader header;
    header.found =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(summary.found, 0, kMaxHeaderCount));
    header.checked =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(summary.checked, 0, kMaxHeaderCount));
    header.longest = static_cast<std::int16_t>(
        std::clamp<std::int32_t>(longest, 0, std::numeric_limits<std::int16_t>::max()));
    header.find = summary.find;
    header.from = summary.from;
    header.include = summary.include;
    header.exclude = summary.exclude;
    header.useAllFromLetters = summary.useAllFromLetters;
    header.suppressPermutations = summary.suppressPermutations;
    return header;
}

SearchSummary ResultsHeader::summary() const {
    SearchSummary summary;
    summary.find = find;
    summary.from = from;
    summary.include = include;
    summary.exclude = exclude;
    summary.useAllFromLetters = useAllFromLetters;
    summary.suppressPermutations = suppressPermutations;
    summary.found = found;
    summary.checked = checked;
    return summary;
}

void ResultsHeader::toBytes(std::span<unsigned char, kResultsHeaderSize> out) const {
    unsigned char* p = out.data();
    writeU32(p + kMarkerOffset, marker);
    writeU32(p + kFoundOffset, static_cast<std::uint32_t>(found));
    writeU32(p + kCheckedOffset, static_cast<std::uint32_t>(checked));
    writeU16(p + kLongestOffset, static_cast<std::uint16_t>(longest));
    putText(p + kFindOffset, kFindSize, find);
    putText(p + kFromOffset, kFromSize, from);
    putText(p + kIncludeOffset, kIncludeSize, include);
    putText(p + kExcludeOffset, kExcludeSize, exclude);
    p[kUseAllOffset] = useAllFromLetters ? 1 : 0;
    p[kSuppressOffset] = suppressPermutations ? 1 : 0;
}

ResultsHeader ResultsHeader::fromBytes(std::span<const unsigned char, kResultsHeaderSize> in) {
    const unsigned char* p = in.data();
    ResultsHeader header;
    header.marker = readU32(p + kMarkerOffset);
    header.found = static_cast<std::int32_t>(readU32(p + kFoundOffset));
    header.checked = static_cast<std::int32_t>(readU32(p + kCheckedOffset));
    header.longest = static_cast<std::int16_t>(readU16(p + kLongestOffset));
    header.find = getText(p + kFindOffset, kFindSize);
    header.from = getText(p + kFromOffset, kFromSize);
    header.include = getText(p + kIncludeOffset, kIncludeSize);
    header.exclude = getText(p + kExcludeOffset, kExcludeSize);
    header.useAllFromLetters = p[kUseAllOffset] != 0;
    header.suppressPermutations = p[kSuppressOffset] != 0;
    return header;
}

}  // namespace zantric
