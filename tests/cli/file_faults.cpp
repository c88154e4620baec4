// A preload library for faults_test.sh: counts the program's file operations and fails one of
// them, or all from one on, or kills the program there, the way a full disk, a failing drive or
// a crash would. Built by the test script and loaded with LD_PRELOAD; never part of the program.
//
//   ZANTRIC_FAULT_OP     open, read, write, sync, rename, remove, or any (every kind together)
//   ZANTRIC_FAULT_AT     the operation of that kind, counted from 1, that fails
//   ZANTRIC_FAULT_MODE   once (only that one fails), on (it and every later one fail),
//                        kill (the program is killed with SIGKILL just before it)
//   ZANTRIC_FAULT_ERRNO  the error of a failed operation (default ENOSPC for writes, else EIO)
//   ZANTRIC_FAULT_LOG    a file that gets a line with the kind and the file name of each fault,
//                        and "count KIND N" lines for every kind when the program ends
//   ZANTRIC_FAULT_ROOT   a folder whose files count too when named by an absolute path
//   ZANTRIC_FAULT_FROM   counting starts at the first operation on a file whose name holds
//                        this text (the part of a command that is under test)
//
// Counted are the operations on the program's files: opens, renames and removes of relative
// paths (and of paths in the root folder), and reads, writes and flushes of regular files other
// than the standard streams.
// Reads, writes and flushes through stdio count as one operation each, as do fclose and fflush
// of a stream with data waiting to be written.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum Kind { kOpen, kRead, kWrite, kSync, kRename, kRemove, kKinds };
constexpr const char* kKindNames[kKinds] = {"open", "read", "write", "sync", "rename", "remove"};

struct Settings {
    int kind = -1;  // kKinds for any
    long at = 0;
    char mode = 'o';  // o once, n on, k kill
    int error = 0;
    const char* log = nullptr;
    const char* root = nullptr;
    const char* from = nullptr;
};

Settings& settings() {
    static Settings s = [] {
        Settings r;
        if (const char* op = std::getenv("ZANTRIC_FAULT_OP")) {
            for (int k = 0; k < kKinds; ++k) {
                if (std::strcmp(op, kKindNames[k]) == 0) r.kind = k;
            }
            if (std::strcmp(op, "any") == 0) r.kind = kKinds;
        }
        if (const char* at = std::getenv("ZANTRIC_FAULT_AT")) r.at = std::atol(at);
        if (const char* mode = std::getenv("ZANTRIC_FAULT_MODE")) {
            r.mode = std::strcmp(mode, "on") == 0     ? 'n'
                     : std::strcmp(mode, "kill") == 0 ? 'k'
                                                      : 'o';
        }
        if (const char* error = std::getenv("ZANTRIC_FAULT_ERRNO")) r.error = std::atoi(error);
        r.log = std::getenv("ZANTRIC_FAULT_LOG");
        r.root = std::getenv("ZANTRIC_FAULT_ROOT");
        r.from = std::getenv("ZANTRIC_FAULT_FROM");
        return r;
    }();
    return s;
}

std::atomic<long> g_counts[kKinds + 1];
std::atomic<bool> g_started{false};

template <class F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void logLine(const char* text) {
    const Settings& s = settings();
    if (!s.log) return;
    static auto realOpen = real<int (*)(const char*, int, ...)>("open");
    static auto realWrite = real<ssize_t (*)(int, const void*, size_t)>("write");
    const int fd = realOpen(s.log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    ssize_t ignored = realWrite(fd, text, std::strlen(text));
    (void)ignored;
    close(fd);
}

// Whether this operation fails; kills the program in kill mode.
bool fault(Kind kind, const char* what) {
    const Settings& s = settings();
    if (!g_started) {
        if (s.from && (!what || !std::strstr(what, s.from))) return false;
        g_started = true;
    }
    const long n = ++g_counts[kind];
    const long any = ++g_counts[kKinds];
    if (s.kind < 0 || s.at <= 0) return false;
    const long counted = s.kind == kKinds ? any : s.kind == kind ? n : 0;
    if (counted == 0) return false;
    const bool hit = s.mode == 'n' ? counted >= s.at : counted == s.at;
    if (!hit) return false;
    char line[4200];
    std::snprintf(line, sizeof line, "%s %s\n", kKindNames[kind], what ? what : "?");
    logLine(line);
    if (s.mode == 'k') kill(getpid(), SIGKILL);
    errno = s.error ? s.error : kind == kWrite || kind == kSync ? ENOSPC : EIO;
    return true;
}

bool programPath(const char* path) {
    if (!path) return false;
    if (path[0] != '/') return true;
    const char* root = settings().root;
    return root && root[0] && std::strncmp(path, root, std::strlen(root)) == 0;
}

// The file an open descriptor names, for the log; "" when it is not one of the program's files.
const char* fileOf(int fd, char* buffer, std::size_t size) {
    if (fd <= 2) return nullptr;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t got = readlink(link, buffer, size - 1);
    buffer[got > 0 ? got : 0] = '\0';
    return buffer;
}

const char* fileOf(FILE* stream, char* buffer, std::size_t size) {
    if (!stream || stream == stdin || stream == stdout || stream == stderr) return nullptr;
    return fileOf(fileno(stream), buffer, size);
}

// glibc's error flag of a stream, so that ferror() sees an injected failure as a real one.
void markError(FILE* stream) { stream->_flags |= 0x20; }

void reportCounts() __attribute__((destructor));
void reportCounts() {
    if (!settings().log) return;
    char line[256];
    int used = 0;
    for (int k = 0; k < kKinds; ++k) {
        used += std::snprintf(line + used, sizeof line - static_cast<std::size_t>(used),
                              "count %s %ld\n", kKindNames[k], g_counts[k].load());
    }
    logLine(line);
}

}  // namespace

extern "C" {

FILE* fopen(const char* path, const char* mode) {
    static auto next = real<FILE* (*)(const char*, const char*)>("fopen");
    if (programPath(path) && fault(kOpen, path)) return nullptr;
    return next(path, mode);
}
FILE* fopen64(const char* path, const char* mode) {
    static auto next = real<FILE* (*)(const char*, const char*)>("fopen64");
    if (programPath(path) && fault(kOpen, path)) return nullptr;
    return next(path, mode);
}

#define ZANTRIC_OPEN_WRAPPER(name, ...)                                 \
    int name(__VA_ARGS__, int flags, ...) {                             \
        static auto next = real<int (*)(__VA_ARGS__, int, ...)>(#name); \
        mode_t mode = 0;                                                \
        if (flags & (O_CREAT | O_TMPFILE)) {                            \
            va_list args;                                               \
            va_start(args, flags);                                      \
            mode = static_cast<mode_t>(va_arg(args, int));              \
            va_end(args);                                               \
        }                                                               \
        if (programPath(path) && fault(kOpen, path)) return -1;         \
        return ZANTRIC_OPEN_CALL;                                       \
    }
#define ZANTRIC_OPEN_CALL next(path, flags, mode)
ZANTRIC_OPEN_WRAPPER(open, const char* path)
ZANTRIC_OPEN_WRAPPER(open64, const char* path)
#undef ZANTRIC_OPEN_CALL
#define ZANTRIC_OPEN_CALL next(dirfd, path, flags, mode)
ZANTRIC_OPEN_WRAPPER(openat, int dirfd, const char* path)
ZANTRIC_OPEN_WRAPPER(openat64, int dirfd, const char* path)
#undef ZANTRIC_OPEN_CALL

size_t fread(void* buffer, size_t size, size_t count, FILE* stream) {
    static auto next = real<size_t (*)(void*, size_t, size_t, FILE*)>("fread");
    char name[4096];
    if (const char* file = fileOf(stream, name, sizeof name); file && fault(kRead, file)) {
        markError(stream);
        return 0;
    }
    return next(buffer, size, count, stream);
}

ssize_t read(int fd, void* buffer, size_t size) {
    static auto next = real<ssize_t (*)(int, void*, size_t)>("read");
    char name[4096];
    if (const char* file = fileOf(fd, name, sizeof name); file && fault(kRead, file)) return -1;
    return next(fd, buffer, size);
}

size_t fwrite(const void* buffer, size_t size, size_t count, FILE* stream) {
    static auto next = real<size_t (*)(const void*, size_t, size_t, FILE*)>("fwrite");
    char name[4096];
    if (const char* file = fileOf(stream, name, sizeof name); file && fault(kWrite, file)) {
        markError(stream);
        return 0;
    }
    return next(buffer, size, count, stream);
}

ssize_t write(int fd, const void* buffer, size_t size) {
    static auto next = real<ssize_t (*)(int, const void*, size_t)>("write");
    char name[4096];
    if (const char* file = fileOf(fd, name, sizeof name); file && fault(kWrite, file)) return -1;
    return next(fd, buffer, size);
}

int fflush(FILE* stream) {
    static auto next = real<int (*)(FILE*)>("fflush");
    char name[4096];
    if (stream && __fpending(stream) > 0) {
        if (const char* file = fileOf(stream, name, sizeof name); file && fault(kWrite, file)) {
            markError(stream);
            return EOF;
        }
    }
    return next(stream);
}

int fclose(FILE* stream) {
    static auto next = real<int (*)(FILE*)>("fclose");
    char name[4096];
    const char* file =
        stream && __fpending(stream) > 0 ? fileOf(stream, name, sizeof name) : nullptr;
    if (file && fault(kWrite, file)) {
        // The data waiting in the stream is lost, as when the disk is full.
        __fpurge(stream);
        next(stream);
        errno = settings().error ? settings().error : ENOSPC;
        return EOF;
    }
    return next(stream);
}

int fsync(int fd) {
    static auto next = real<int (*)(int)>("fsync");
    char name[4096];
    if (const char* file = fileOf(fd, name, sizeof name); file && fault(kSync, file)) return -1;
    return next(fd);
}

int rename(const char* from, const char* to) {
    static auto next = real<int (*)(const char*, const char*)>("rename");
    if (programPath(from) && fault(kRename, from)) return -1;
    return next(from, to);
}

int link(const char* from, const char* to) {
    static auto next = real<int (*)(const char*, const char*)>("link");
    if (programPath(from) && fault(kRename, from)) return -1;
    return next(from, to);
}

int unlink(const char* path) {
    static auto next = real<int (*)(const char*)>("unlink");
    if (programPath(path) && fault(kRemove, path)) return -1;
    return next(path);
}

int remove(const char* path) {
    static auto next = real<int (*)(const char*)>("remove");
    if (programPath(path) && fault(kRemove, path)) return -1;
    return next(path);
}

}  // extern "C"
