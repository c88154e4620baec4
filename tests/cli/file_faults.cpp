// Preloaded by faults_test.sh: fails the AT-th file operation of kind OP (open, read, write,
// sync, rename, remove, any), or each from it on, or kills there (MODE), counting from the first
// one on a file whose name holds FROM: opens, renames, removes of relative or ROOT paths, I/O on
// regular files but the standard streams. LOG gets "KIND FILE" per fault, "count KIND N" at exit.
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio_ext.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
enum Kind { kOpen, kRead, kWrite, kSync, kRename, kRemove, kAny };
constexpr const char* kNames[] = {"open", "read", "write", "sync", "rename", "remove", "any"};
const char* env(const char* name) {  // ZANTRIC_FAULT_<name>
    const char* value = std::getenv((std::string("ZANTRIC_FAULT_") + name).c_str());
    return value ? value : "";
}
struct Settings {
    long kind = std::find(kNames, kNames + 7, std::string(env("OP"))) - kNames;
    long at = std::atol(env("AT"));
    std::string mode = env("MODE");
    const char *log = env("LOG"), *root = env("ROOT"), *from = env("FROM");
};
const Settings& settings() {
    static const Settings s;
    return s;
}
std::atomic<long> g_counts[kAny + 1];
std::atomic<bool> g_started{false};
template <class F>
F real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
// Appends a line to the log through calls that are not counted.
__attribute__((format(printf, 1, 2))) void logLine(const char* format, ...) {
    static auto realOpen = real<int (*)(const char*, int, ...)>("open");
    const int fd =
        *settings().log ? realOpen(settings().log, O_WRONLY | O_CREAT | O_APPEND, 0644) : -1;
    if (fd < 0) return;
    va_list args;
    va_start(args, format);
    vdprintf(fd, format, args);
    va_end(args);
    close(fd);
}
// Whether this operation fails; kills the program in kill mode.
bool fault(Kind kind, const char* file) {
    const Settings& s = settings();
    if (!g_started && *s.from && !std::strstr(file, s.from)) return false;
    g_started = true;
    const long n = ++g_counts[kind];
    const long any = ++g_counts[kAny];
    const long counted = s.kind == kAny ? any : s.kind == kind ? n : 0;
    if (s.at <= 0 || counted == 0 || (s.mode == "on" ? counted < s.at : counted != s.at))
        return false;
    logLine("%s %s\n", kNames[kind], file);
    if (s.mode == "kill") ::kill(getpid(), SIGKILL);
    errno = kind == kWrite || kind == kSync ? ENOSPC : EIO;
    return true;
}
// The path, or nullptr when it is not one of the program's files.
const char* pathOf(const char* path) {
    const char* root = settings().root;
    const bool ours =
        path && (path[0] != '/' || (*root && std::strncmp(path, root, std::strlen(root)) == 0));
    return ours ? path : nullptr;
}
// The file an open descriptor or stream names; nullptr when it is not one of the program's files.
const char* fileOf(int fd) {
    thread_local char buffer[4096];
    struct stat st;
    if (fd <= 2 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t got = readlink(link, buffer, sizeof buffer - 1);
    buffer[got > 0 ? got : 0] = '\0';
    return buffer;
}
const char* fileOf(FILE* stream) { return stream ? fileOf(fileno(stream)) : nullptr; }
FILE* pending(FILE* stream) { return stream && __fpending(stream) > 0 ? stream : nullptr; }
// glibc's error flag of a stream, so that ferror() sees an injected failure as a real one.
void markError(FILE* stream) { stream->_flags |= 0x20; }
__attribute__((destructor)) void reportCounts() {
    for (int k = kOpen; k < kAny; ++k) logLine("count %s %ld\n", kNames[k], g_counts[k].load());
}
}  // namespace
// NOLINTBEGIN(bugprone-macro-parentheses): a wrapper fails as the real call would when the file
// WHICH names meets a fault; PARAMS and FAILED are a parameter list and a statement.
#define ZANTRIC_CALL(type, name, params, args, which, kind, failed)      \
    type name params {                                                   \
        static auto next = real<type(*) params>(#name);                  \
        if (const char* file = which; file && fault(kind, file)) failed; \
        return next args;                                                \
    }
#define ZANTRIC_ARGS(...) __VA_ARGS__
#define ZANTRIC_OPEN_CALL(name, args, ...)                                              \
    int name(__VA_ARGS__, int flags, ...) {                                             \
        static auto next = real<int (*)(__VA_ARGS__, int, ...)>(#name);                 \
        va_list rest;                                                                   \
        va_start(rest, flags);                                                          \
        const auto mode =                                                               \
            static_cast<mode_t>(flags & (O_CREAT | O_TMPFILE) ? va_arg(rest, int) : 0); \
        va_end(rest);                                                                   \
        if (pathOf(path) && fault(kOpen, path)) return -1;                              \
        return next(ZANTRIC_ARGS args, flags, mode);                                    \
    }
extern "C" {
ZANTRIC_CALL(FILE*, fopen, (const char* p, const char* m), (p, m), pathOf(p), kOpen, return nullptr)
ZANTRIC_CALL(FILE*, fopen64, (const char* p, const char* m), (p, m), pathOf(p), kOpen,
             return nullptr)
ZANTRIC_CALL(int, rename, (const char* p, const char* to), (p, to), pathOf(p), kRename, return -1)
ZANTRIC_CALL(int, link, (const char* p, const char* to), (p, to), pathOf(p), kRename, return -1)
ZANTRIC_CALL(int, unlink, (const char* p), (p), pathOf(p), kRemove, return -1)
ZANTRIC_CALL(int, remove, (const char* p), (p), pathOf(p), kRemove, return -1)
ZANTRIC_OPEN_CALL(open, (path), const char* path)
ZANTRIC_OPEN_CALL(open64, (path), const char* path)
ZANTRIC_OPEN_CALL(openat, (dir, path), int dir, const char* path)
ZANTRIC_OPEN_CALL(openat64, (dir, path), int dir, const char* path)
ZANTRIC_CALL(ssize_t, read, (int fd, void* b, size_t n), (fd, b, n), fileOf(fd), kRead, return -1)
ZANTRIC_CALL(ssize_t, write, (int fd, const void* b, size_t n), (fd, b, n), fileOf(fd), kWrite,
             return -1)
ZANTRIC_CALL(int, fsync, (int fd), (fd), fileOf(fd), kSync, return -1)
ZANTRIC_CALL(size_t, fread, (void* b, size_t size, size_t n, FILE* s), (b, size, n, s), fileOf(s),
             kRead, return (markError(s), 0))
ZANTRIC_CALL(size_t, fwrite, (const void* b, size_t size, size_t n, FILE* s), (b, size, n, s),
             fileOf(s), kWrite, return (markError(s), 0))
ZANTRIC_CALL(int, fflush, (FILE * s), (s), fileOf(pending(s)), kWrite, return (markError(s), EOF))
// The data waiting in a stream whose close fails is lost, as when the disk is full.
ZANTRIC_CALL(int, fclose, (FILE * s), (s), fileOf(pending(s)), kWrite,
             return (__fpurge(s), next(s), errno = ENOSPC, EOF))
}  // extern "C"
// NOLINTEND(bugprone-macro-parentheses)
