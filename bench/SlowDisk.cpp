// SPDX-FileCopyrightText: 2026 The Pressly Pro developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A slow disk for one folder, loaded with LD_PRELOAD: every open, stat and
// read of a file under SLOW_DISK_DIR waits SLOW_DISK_MS (200) milliseconds
// first, as a network share or a sleeping disk would. Calls made on the main
// thread (the event loop's) are counted, for the program to ask through
// pressly_slow_disk_main_thread_calls(); with SLOW_DISK_TRACE set each also
// prints its stack to standard error, which names the code that waited.
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

#define MAX_FDS 65536
unsigned char slowFds[MAX_FDS];
std::atomic<int> mainThreadCalls{0};

int under(const char* path)
{
    const char* dir = getenv("SLOW_DISK_DIR");
    if (!dir || !*dir || !path)
        return 0;
    const size_t length = strlen(dir);
    return strncmp(path, dir, length) == 0 && (path[length] == '/' || path[length] == '\0');
}

int underAt(int dirfd, const char* path)
{
    if (path && path[0] == '/')
        return under(path);
    char folder[4096], link[64];
    if (dirfd == AT_FDCWD)
        snprintf(link, sizeof link, "/proc/self/cwd");
    else
        snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
    const ssize_t n = readlink(link, folder, sizeof folder - 1);
    if (n <= 0)
        return 0;
    folder[n] = '\0';
    return under(folder);
}

void slowDown(const char* what)
{
    const char* ms = getenv("SLOW_DISK_MS");
    const long delay = ms ? atol(ms) : 200;
    const bool onMainThread = syscall(SYS_gettid) == getpid();
    if (onMainThread)
        ++mainThreadCalls;
    if (getenv("SLOW_DISK_TRACE") && onMainThread) {
        void* frames[32];
        const int count = backtrace(frames, 32);
        dprintf(2, "slow disk: %s on the main thread\n", what);
        backtrace_symbols_fd(frames, count, 2);
    }
    const timespec pause{delay / 1000, (delay % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

int remember(int fd, int slow)
{
    if (fd >= 0 && fd < MAX_FDS)
        slowFds[fd] = static_cast<unsigned char>(slow);
    return fd;
}

int openWith(int (*real)(int, const char*, int, ...), int dirfd, const char* path, int flags, mode_t mode)
{
    const int slow = underAt(dirfd, path);
    if (slow)
        slowDown("open");
    return remember(real(dirfd, path, flags, mode), slow);
}

using OpenAt = int (*)(int, const char*, int, ...);
using Close = int (*)(int);
using Read = ssize_t (*)(int, void*, size_t);
using PRead = ssize_t (*)(int, void*, size_t, off_t);
using StatAt = int (*)(int, const char*, struct stat*, int);
using StatAt64 = int (*)(int, const char*, struct stat64*, int);
using RealPath = char* (*)(const char*, char*);
using StatX = int (*)(int, const char*, int, unsigned int, struct statx*);

template <typename F> F next(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) int pressly_slow_disk_main_thread_calls()
{
    return mainThreadCalls.load();
}

int openat(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    va_end(args);
    static const auto real_openat = next<OpenAt>("openat");
    return openWith(real_openat, dirfd, path, flags, mode);
}

int openat64(int dirfd, const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    va_end(args);
    static const auto real_openat64 = next<OpenAt>("openat64");
    return openWith(real_openat64, dirfd, path, flags, mode);
}

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    va_end(args);
    static const auto real_openat = next<OpenAt>("openat");
    return openWith(real_openat, AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? va_arg(args, mode_t) : 0;
    va_end(args);
    static const auto real_openat64 = next<OpenAt>("openat64");
    return openWith(real_openat64, AT_FDCWD, path, flags, mode);
}

int close(int fd)
{
    static const auto real_close = next<Close>("close");
    remember(fd, 0);
    return real_close(fd);
}

ssize_t read(int fd, void* buffer, size_t count)
{
    static const auto real_read = next<Read>("read");
    if (fd >= 0 && fd < MAX_FDS && slowFds[fd])
        slowDown("read");
    return real_read(fd, buffer, count);
}

ssize_t pread64(int fd, void* buffer, size_t count, off_t offset)
{
    static const auto real_pread64 = next<PRead>("pread64");
    if (fd >= 0 && fd < MAX_FDS && slowFds[fd])
        slowDown("read");
    return real_pread64(fd, buffer, count, offset);
}

int fstatat(int dirfd, const char* path, struct stat* info, int flags)
{
    static const auto real_fstatat = next<StatAt>("fstatat");
    if (underAt(dirfd, path))
        slowDown("stat");
    return real_fstatat(dirfd, path, info, flags);
}

int fstatat64(int dirfd, const char* path, struct stat64* info, int flags)
{
    static const auto real_fstatat64 = next<StatAt64>("fstatat64");
    if (underAt(dirfd, path))
        slowDown("stat");
    return real_fstatat64(dirfd, path, info, flags);
}

int stat(const char* path, struct stat* info)
{
    return fstatat(AT_FDCWD, path, info, 0);
}
int stat64(const char* path, struct stat64* info)
{
    return fstatat64(AT_FDCWD, path, info, 0);
}
int lstat(const char* path, struct stat* info)
{
    return fstatat(AT_FDCWD, path, info, AT_SYMLINK_NOFOLLOW);
}
int lstat64(const char* path, struct stat64* info)
{
    return fstatat64(AT_FDCWD, path, info, AT_SYMLINK_NOFOLLOW);
}

int statx(int dirfd, const char* path, int flags, unsigned int mask, struct statx* info)
{
    static const auto real_statx = next<StatX>("statx");
    if (underAt(dirfd, path))
        slowDown("stat");
    return real_statx(dirfd, path, flags, mask, info);
}

// Folder names are looked up one by one: canonical paths wait too.
char* realpath(const char* path, char* resolved)
{
    static const auto real_realpath = next<RealPath>("realpath");
    if (under(path))
        slowDown("realpath");
    return real_realpath(path, resolved);
}

} // extern "C"
