// Preloaded into one run of an operation to make one chosen system call go
// wrong. KORVALO_FAULT is either
//   count:FILE          count the calls of each kind and write the counts to FILE
//   KIND:N:MODE         make the N-th call of KIND go wrong, where KIND is
//                       write, fsync, rename, read or open and MODE is
//                       fail  (-1 with EIO),
//                       short (half the bytes; read and write only),
//                       kill  (SIGKILL, after half the bytes for read and write).
// Only calls between korvalo_fault_arm() and korvalo_fault_disarm(), which
// the driver calls around the operation, are counted.

#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

enum Kind { kWrite, kFsync, kRename, kRead, kOpen, kKinds };
enum Action { kNone, kFail, kShort, kKill };

static const char* const kKindNames[kKinds] = {"write", "fsync", "rename", "read", "open"};

static int armed;
static long counts[kKinds];
static int targetKind = -1;
static long targetCall;
static enum Action targetAction;
static char countFile[4096];

__attribute__((constructor)) static void configure(void) {
    const char* plan = getenv("KORVALO_FAULT");
    if (!plan)
        return;
    if (strncmp(plan, "count:", 6) == 0) {
        snprintf(countFile, sizeof countFile, "%s", plan + 6);
        return;
    }
    char kind[16], mode[16];
    long n = 0;
    if (sscanf(plan, "%15[a-z]:%ld:%15[a-z]", kind, &n, mode) != 3)
        return;
    for (int k = 0; k < kKinds; ++k)
        if (strcmp(kind, kKindNames[k]) == 0)
            targetKind = k;
    targetCall = n;
    targetAction = strcmp(mode, "fail") == 0    ? kFail
                   : strcmp(mode, "short") == 0 ? kShort
                   : strcmp(mode, "kill") == 0  ? kKill
                                                : kNone;
}

void korvalo_fault_arm(void) {
    armed = 1;
}

void korvalo_fault_disarm(void) {
    armed = 0;
    if (!countFile[0])
        return;
    FILE* out = fopen(countFile, "w");
    if (!out)
        return;
    for (int k = 0; k < kKinds; ++k)
        fprintf(out, "%s %ld\n", kKindNames[k], counts[k]);
    fclose(out);
}

static enum Action next(enum Kind kind) {
    if (!armed)
        return kNone;
    const long n = ++counts[kind];
    return (int)kind == targetKind && n == targetCall ? targetAction : kNone;
}

#define REAL(name, type) ((type)dlsym(RTLD_NEXT, name))

typedef ssize_t (*WriteFn)(int, const void*, size_t);
typedef ssize_t (*PwriteFn)(int, const void*, size_t, off_t);
typedef ssize_t (*ReadFn)(int, void*, size_t);
typedef ssize_t (*PreadFn)(int, void*, size_t, off_t);
typedef int (*SyncFn)(int);
typedef int (*RenameFn)(const char*, const char*);
typedef int (*RenameatFn)(int, const char*, int, const char*);
typedef int (*Renameat2Fn)(int, const char*, int, const char*, unsigned);
typedef int (*OpenFn)(const char*, int, ...);
typedef int (*OpenatFn)(int, const char*, int, ...);

// Read and write: the byte count to pass on, or -1 when the call is to fail.
static ssize_t sizeFor(enum Action action, size_t size) {
    if (action == kFail) {
        errno = EIO;
        return -1;
    }
    if ((action == kShort || action == kKill) && size > 1)
        return (ssize_t)(size / 2);
    return (ssize_t)size;
}

static ssize_t finish(enum Action action, ssize_t result) {
    if (action == kKill)
        raise(SIGKILL);
    return result;
}

ssize_t write(int fd, const void* data, size_t size) {
    const enum Action a = next(kWrite);
    const ssize_t n = sizeFor(a, size);
    return n < 0 ? -1 : finish(a, REAL("write", WriteFn)(fd, data, (size_t)n));
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    const enum Action a = next(kWrite);
    const ssize_t n = sizeFor(a, size);
    return n < 0 ? -1 : finish(a, REAL("pwrite", PwriteFn)(fd, data, (size_t)n, offset));
}

ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) {
    return pwrite(fd, data, size, offset);
}

ssize_t read(int fd, void* data, size_t size) {
    const enum Action a = next(kRead);
    const ssize_t n = sizeFor(a, size);
    return n < 0 ? -1 : finish(a, REAL("read", ReadFn)(fd, data, (size_t)n));
}

ssize_t pread(int fd, void* data, size_t size, off_t offset) {
    const enum Action a = next(kRead);
    const ssize_t n = sizeFor(a, size);
    return n < 0 ? -1 : finish(a, REAL("pread", PreadFn)(fd, data, (size_t)n, offset));
}

ssize_t pread64(int fd, void* data, size_t size, off_t offset) {
    return pread(fd, data, size, offset);
}

// The calls that cannot come back short fail or kill before they run.
static int refuse(enum Action action) {
    if (action == kKill)
        raise(SIGKILL);
    if (action == kFail) {
        errno = EIO;
        return 1;
    }
    return 0;
}

int fsync(int fd) {
    return refuse(next(kFsync)) ? -1 : REAL("fsync", SyncFn)(fd);
}

int fdatasync(int fd) {
    return refuse(next(kFsync)) ? -1 : REAL("fdatasync", SyncFn)(fd);
}

int rename(const char* from, const char* to) {
    return refuse(next(kRename)) ? -1 : REAL("rename", RenameFn)(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    return refuse(next(kRename)) ? -1 : REAL("renameat", RenameatFn)(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    return refuse(next(kRename)) ? -1
                                 : REAL("renameat2", Renameat2Fn)(fromDir, from, toDir, to, flags);
}

#define OPEN_MODE(flags)                                                                           \
    mode_t mode = 0;                                                                               \
    if ((flags) & (O_CREAT | O_TMPFILE)) {                                                         \
        va_list args;                                                                              \
        va_start(args, flags);                                                                     \
        mode = (mode_t)va_arg(args, int);                                                          \
        va_end(args);                                                                              \
    }

int open(const char* path, int flags, ...) {
    OPEN_MODE(flags);
    return refuse(next(kOpen)) ? -1 : REAL("open", OpenFn)(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    OPEN_MODE(flags);
    return refuse(next(kOpen)) ? -1 : REAL("open64", OpenFn)(path, flags, mode);
}

int openat(int dir, const char* path, int flags, ...) {
    OPEN_MODE(flags);
    return refuse(next(kOpen)) ? -1 : REAL("openat", OpenatFn)(dir, path, flags, mode);
}

int openat64(int dir, const char* path, int flags, ...) {
    OPEN_MODE(flags);
    return refuse(next(kOpen)) ? -1 : REAL("openat64", OpenatFn)(dir, path, flags, mode);
}
