#include "core/dictionary/dictionary_language.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>

#include "core/dictionary/dictionary_format.h"
#include "core/shell/file_replace.h"
#include "core/shell/little_endian.h"
#include "core/shell/paths.h"

namespace zantric {
namespace {

// Reads `size` bytes at `offset` of `file`; false when the file is shorter or unreadable.
bool readAt(const std::filesystem::path& file, std::size_t offset, unsigned char* bytes,
            std::size_t size) {
    const FilePtr in = openFile(file, "rb");
    return in && std::fseek(in.get(), static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(bytes, 1, size, in.get()) == size;
}

// The Created time of a dictionary file; false when its header cannot be read.
bool createdOf(const std::filesystem::path& dictionary, std::uint32_t& created) {
    unsigned char header[kHeaderBytes];
    if (!readAt(dictionary, kHeaderOffset, header, sizeof header)) return false;
    created = DictionaryHeader::fromBytes(header).created;
    return true;
}

// Reads the 16 bytes of the language file of `dictionary` into `bytes`; true when they carry the
// mark, a known code and the dictionary's Created time.
bool belongs(const std::filesystem::path& dictionary, unsigned char* bytes) {
    std::uint32_t created = 0;
    return readAt(languageFilePath(dictionary), 0, bytes, kLanguageFileBytes) &&
           readU16(bytes) == kLanguageFileMark &&
           languageOfCode(std::string_view(reinterpret_cast<const char*>(bytes + 2), 2)) &&
           createdOf(dictionary, created) && readU32(bytes + 4) == created;
}

// The most bytes one entry takes: two length bytes, a word of 21, a spelling of 255.
constexpr std::uintmax_t kLongestEntry = 2 + 21 + 255;

}  // namespace

std::filesystem::path languageFilePath(const std::filesystem::path& dictionary) {
    std::filesystem::path file = dictionary;
    file.replace_extension(".lxs");
    return file;
}

Language dictionaryLanguage(const std::filesystem::path& dictionary) {
    unsigned char bytes[kLanguageFileBytes];
    return belongs(dictionary, bytes)
               ? *languageOfCode(std::string_view(reinterpret_cast<const char*>(bytes + 2), 2))
               : Language::kEnglish;
}

Spellings dictionarySpellings(const std::filesystem::path& dictionary) {
    unsigned char header[kLanguageFileBytes];
    if (!belongs(dictionary, header)) return {};
    const std::uint32_t count = readU32(header + 8);
    // No more bytes than the entries could fill, nor than the file holds.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(languageFilePath(dictionary), error);
    if (error || size <= kLanguageFileBytes) return {};
    const std::uintmax_t room = std::min<std::uintmax_t>(
        size - kLanguageFileBytes, static_cast<std::uintmax_t>(count) * kLongestEntry);
    std::string bytes(static_cast<std::size_t>(room), '\0');
    if (!readAt(languageFilePath(dictionary), kLanguageFileBytes,
                reinterpret_cast<unsigned char*>(bytes.data()), bytes.size())) {
        return {};
    }
    return Spellings::parse(bytes, count);
}

bool placeLanguageFile(const std::filesystem::path& dictionary, Language language,
                       const std::filesystem::path& staging, const Spellings* spellings) {
    const std::filesystem::path target = languageFilePath(dictionary);
    if (!foldsLetters(language)) return !fileExists(target) || removeFile(target);
    std::uint32_t created = 0;
    bool written = createdOf(dictionary, created);
    if (written) {
        unsigned char bytes[kLanguageFileBytes] = {};
        writeU16(bytes, kLanguageFileMark);
        const std::string_view code = languageCode(language);
        bytes[2] = static_cast<unsigned char>(code[0]);
        bytes[3] = static_cast<unsigned char>(code[1]);
        writeU32(bytes + 4, created);
        writeU32(bytes + 8, spellings ? static_cast<std::uint32_t>(spellings->count()) : 0);
        const std::string entries = spellings ? spellings->bytes() : std::string();
        FilePtr out = openFile(staging, "wb");
        written = out && std::fwrite(bytes, 1, sizeof bytes, out.get()) == sizeof bytes &&
                  std::fwrite(entries.data(), 1, entries.size(), out.get()) == entries.size();
        if (out && std::fclose(out.release()) != 0) written = false;
    }
    written = written && replaceFile(staging, target);
    if (!written && fileExists(staging)) removeFile(staging);
    return written;
}

}  // namespace zantric
