// Copying and moving whole files with a progress figure: Save As copies the results pair, and
// the dictionary commands move finished files into place. The works run to their end on the
// calling thread, block by block, and cannot be cancelled; after every block the runner may
// dispatch its waiting events (the window stays alive). One thread per work.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "core/shell/progress_work.h"

namespace zantric {

// What a copy or a move came to (a move that renames gives kOk or kCannotCreate).
enum class Transfer {
    kOk,
    kCannotCreate,      // the destination cannot be created or written
    kCannotOpenSource,  // the source cannot be opened or read
};
// Bytes copied between two progress reports.
inline constexpr std::size_t kTransferBlock = 20480;

// Called after every block with the progress in percent (0 to 100).
using BlockHook = std::function<void(int percent)>;

// Copies `source` to `destination` byte for byte. A destination that cannot be created gives
// kCannotCreate, even when the source is missing too (the program always checked the destination
// first); a source that cannot be opened gives kCannotOpenSource and leaves an existing
// destination untouched. A failed read
// or write deletes the partial destination. Copying a file onto itself does nothing and succeeds.
Transfer copyFile(const std::filesystem::path& destination, const std::filesystem::path& source,
                  const BlockHook& afterBlock = {});
// Moves `source` to `destination`, replacing an existing file. On one file system this is a
// rename (kOk, or kCannotCreate when it fails); across file systems the file is copied and, when
// the copy succeeded, the source deleted (the copy's result). A source that failed to copy stays.
Transfer moveFile(const std::filesystem::path& destination, const std::filesystem::path& source,
                  const BlockHook& afterBlock = {});

// Work that runs on the calling thread and cannot be cancelled: copy, move and the text export.
// Its runner may install a hook that runs after every block, once the progress figure is set.
class CallingThreadWork : public ProgressWork {
public:
    using ProgressWork::ProgressWork;
    bool cancellable() const override { return false; }
    void cancelWork() override {}
    void setAfterBlock(std::function<void()> afterBlock) { m_afterBlock = std::move(afterBlock); }

    // What the copy or move came to; kOk for a work that is neither.
    Transfer transfer() const { return m_transfer; }

protected:
    void blockDone(int percent);
    // Notes what a copy or move came to; the work has failed unless it is kOk.
    void setTransfer(Transfer transfer);

private:
    std::function<void()> m_afterBlock;
    Transfer m_transfer = Transfer::kOk;
};

// Runs a calling-thread work and returns its result: the window's progress dialog, the command
// line's progress line. A runner reports a ZantricException that escapes, as runWork does.
using WorkRunner = std::function<WorkResult(CallingThreadWork&)>;
// The plain runner: runWork on the calling thread, no display.
WorkResult runHere(CallingThreadWork& work);

// "Copying File: " and the source name; its transfer() is copyFile's result.
class FileCopyWork final : public CallingThreadWork {
public:
    FileCopyWork(Prompter& prompter, std::filesystem::path destination,
                 std::filesystem::path source);
    void work() override;

private:
    std::filesystem::path m_destination;
    std::filesystem::path m_source;
};

// "Moving File: " and the source name; its transfer() is moveFile's result.
class FileMoveWork final : public CallingThreadWork {
public:
    FileMoveWork(Prompter& prompter, std::filesystem::path destination,
                 std::filesystem::path source);
    void work() override;

private:
    std::filesystem::path m_destination;
    std::filesystem::path m_source;
};

}  // namespace zantric
