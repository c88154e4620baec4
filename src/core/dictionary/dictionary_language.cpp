#include "core/dictionary/dictionary_language.h"

#include <cstdio>
#include <string_view>

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

}  // namespace

std::filesystem::path languageFilePath(const std::filesystem::path& dictionary) {
    std::filesystem::path file = dictionary;
    file.replace_extension(".lxs");
    return file;
}

Language dictionaryLanguage(const std::filesystem::path& dictionary) {
    unsigned char bytes[kLanguageFileBytes];
    std::uint32_t created = 0;
    if (!readAt(languageFilePath(dictionary), 0, bytes, sizeof bytes) ||
        readU16(bytes) != kLanguageFileMark || !createdOf(dictionary, created) ||
        readU32(bytes + 4) != created) {
        return Language::kEnglish;
    }
    const std::string_view code(reinterpret_cast<const char*>(bytes + 2), 2);
    return languageOfCode(code).value_or(Language::kEnglish);
}

bool placeLanguageFile(const std::filesystem::path& dictionary, Language language,
                       const std::filesystem::path& staging) {
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
        FilePtr out = openFile(staging, "wb");
        written = out && std::fwrite(bytes, 1, sizeof bytes, out.get()) == sizeof bytes;
        if (out && std::fclose(out.release()) != 0) written = false;
    }
    written = written && replaceFile(staging, target);
    if (!written && fileExists(staging)) removeFile(staging);
    return written;
}

}  // namespace zantric
