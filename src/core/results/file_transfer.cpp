#include "core/results/file_transfer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "core/shell/paths.h"

namespace zantric {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCopyingText = "Copying File: ";
constexpr const char* kMovingText = "Moving File: ";

bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

// Whether the destination can be created, without truncating it when it exists.
bool canCreate(const fs::path& name) {
    const bool existed = fileExists(name);
    if (!openFile(name, "ab")) return false;
    if (!existed) removeFile(name);
    return true;
}

}  // namespace

Transfer copyFile(const std::filesystem::path& destination, const std::filesystem::path& source,
                  const BlockHook& afterBlock) {
    if (sameFile(destination, source)) return Transfer::kOk;
    std::error_code error;
    const std::uintmax_t size = fs::file_size(source, error);

    FilePtr in = openFile(source, "rb");
    if (!in) return canCreate(destination) ? Transfer::kCannotOpenSource : Transfer::kCannotCreate;
    FilePtr out = openFile(destination, "wb");
    if (!out) return Transfer::kCannotCreate;

    auto buffer = std::make_unique<char[]>(kTransferBlock + 1);
    // Counting from 1, as the program always did, so a copy ends at 100% (or just above: capped).
    std::uintmax_t copied = 1;
    Transfer result = Transfer::kOk;
    while (true) {
        const std::size_t got = std::fread(buffer.get(), 1, kTransferBlock, in.get());
        if (got == 0) {
            if (std::ferror(in.get())) result = Transfer::kCannotOpenSource;
            break;
        }
        copied += got;
        const int percent =
            size == 0 ? 100 : static_cast<int>(std::min<std::uintmax_t>(copied * 100 / size, 100));
        if (afterBlock) afterBlock(percent);
        if (std::fwrite(buffer.get(), 1, got, out.get()) != got) {
            result = Transfer::kCannotCreate;
            break;
        }
    }
    if (std::fclose(out.release()) != 0 && result == Transfer::kOk)
        result = Transfer::kCannotCreate;
    if (result != Transfer::kOk) removeFile(destination);
    return result;
}

Transfer moveFile(const std::filesystem::path& destination, const std::filesystem::path& source,
                  const BlockHook& afterBlock) {
    // A rename replaces an existing destination at once, and moving a file onto itself keeps it.
    std::error_code error;
    fs::rename(source, destination, error);
    if (!error) return Transfer::kOk;
    if (error != std::errc::cross_device_link) return Transfer::kCannotCreate;

    const Transfer result = copyFile(destination, source, afterBlock);
    if (result == Transfer::kOk && fileExists(source)) removeFile(source);
    return result;
}

void CallingThreadWork::blockDone(int percent) {
    setPercent(percent);
    if (m_afterBlock) m_afterBlock();
}

void CallingThreadWork::setTransfer(Transfer transfer) {
    m_transfer = transfer;
    if (transfer != Transfer::kOk) setResult(WorkResult::kFailed);
}

WorkResult runHere(CallingThreadWork& work) { return runWork(work); }

FileCopyWork::FileCopyWork(Prompter& prompter, std::filesystem::path destination,
                           std::filesystem::path source)
    : CallingThreadWork(prompter),
      m_destination(std::move(destination)),
      m_source(std::move(source)) {
    setText(kCopyingText + shownPath(m_source));
}

void FileCopyWork::work() {
    setTransfer(copyFile(m_destination, m_source, [this](int percent) { blockDone(percent); }));
}

FileMoveWork::FileMoveWork(Prompter& prompter, std::filesystem::path destination,
                           std::filesystem::path source)
    : CallingThreadWork(prompter),
      m_destination(std::move(destination)),
      m_source(std::move(source)) {
    setText(kMovingText + shownPath(m_source));
}

void FileMoveWork::work() {
    setTransfer(moveFile(m_destination, m_source, [this](int percent) { blockDone(percent); }));
}

}  // namespace zantric
