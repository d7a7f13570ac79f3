/* Makes one folder answer like a share on a slow network, with no network at
 * all: preloaded into a Wine process, it holds every file-system call on a
 * path under the folder for a while before making it.
 *
 *   LD_PRELOAD=.../libvcslowfs.so     the library itself, for the whole session
 *   VC_SLOWFS_DIR=/unix/folder        the slow folder; without it nothing waits
 *   VC_SLOWFS_MS=1500                 the wait per call, in milliseconds
 * The two settings are taken from the Unix environment or, in a Wine process,
 * from its Windows environment (see settle).
 *
 * Wine's file calls reach the C library through these functions (ntdll's
 * Unix side imports them), so only the calls themselves are wrapped; calls on
 * an open descriptor (read, fstat, readdir) are as fast as ever, as they are
 * on a share once the file is open. */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <asm/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

static char slow_dir[PATH_MAX];  /* as given */
static char slow_real[PATH_MAX]; /* with its links resolved, as /proc/self/fd names it */
static size_t dir_len, real_len;
static long delay_ms = 1500;
static int active, wine_process, settled;
static pthread_mutex_t settle_lock = PTHREAD_MUTEX_INITIALIZER;

static ssize_t (*next_readlink)(const char *, char *, size_t);

static size_t keep(char *to, const char *from) {
    size_t n = strlen(from);
    if (n >= PATH_MAX) return 0;
    memcpy(to, from, n + 1);
    while (n > 1 && to[n - 1] == '/') to[--n] = '\0';
    return n;
}

static void configure(const char *dir, const char *ms) {
    if (ms && *ms) {
        char *end;
        long v = strtol(ms, &end, 10);
        if (*end == '\0' && v >= 0) delay_ms = v;
    }
    if (!dir || dir[0] != '/') return;
    dir_len = keep(slow_dir, dir);
    char *(*next_realpath)(const char *, char *) =
        (char *(*)(const char *, char *))dlsym(RTLD_NEXT, "realpath");
    char real[PATH_MAX];
    if (next_realpath && next_realpath(slow_dir, real)) real_len = keep(slow_real, real);
    active = dir_len > 0;
}

/* The value of `name` in a Windows environment block, as UTF-8. */
static void windows_variable(const uint16_t *env, const char *name, char *out, size_t size) {
    size_t len = strlen(name);
    for (const uint16_t *e = env; *e;) {
        size_t n = 0, i = 0;
        while (e[n]) n++;
        while (i < len && e[i] == (unsigned char)name[i]) i++;
        if (i == len && e[len] == '=') {
            size_t o = 0;
            for (const uint16_t *c = e + len + 1; *c && o + 4 < size; c++) {
                uint32_t u = *c;
                if (u >= 0xd800 && u < 0xdc00 && c[1] >= 0xdc00 && c[1] < 0xe000) u = 0x10000 + ((u - 0xd800) << 10) + (*++c - 0xdc00);
                if (u < 0x80) out[o++] = (char)u;
                else if (u < 0x800) { out[o++] = (char)(0xc0 | u >> 6); out[o++] = (char)(0x80 | (u & 0x3f)); }
                else if (u < 0x10000) { out[o++] = (char)(0xe0 | u >> 12); out[o++] = (char)(0x80 | ((u >> 6) & 0x3f)); out[o++] = (char)(0x80 | (u & 0x3f)); }
                else { out[o++] = (char)(0xf0 | u >> 18); out[o++] = (char)(0x80 | ((u >> 12) & 0x3f)); out[o++] = (char)(0x80 | ((u >> 6) & 0x3f)); out[o++] = (char)(0x80 | (u & 0x3f)); }
            }
            out[o] = '\0';
            return;
        }
        e += n + 1;
    }
}

/* A program started by another Wine program gets the Windows environment its
 * starter chose (CreateProcessW's block) but the starter's Unix environment,
 * so the settings are read from the Windows one, in the process's own PEB, as
 * soon as Wine has set it up. Wine keeps the thread's TEB in the GS base. */
static void settle(void) {
    unsigned long gs = 0;
    if (!wine_process || syscall(SYS_arch_prctl, ARCH_GET_GS, &gs) != 0 || !gs) return;
    char *teb = (char *)gs;
    if (*(char **)(teb + 0x30) != teb) return; /* NT_TIB.Self */
    char *peb = *(char **)(teb + 0x60);
    char *params = peb ? *(char **)(peb + 0x20) : NULL;
    if (!params || !(*(uint32_t *)(params + 0x08) & 1)) return; /* normalized: pointers, not offsets */
    const uint16_t *env = *(const uint16_t **)(params + 0x80);
    if (!env) return;
    pthread_mutex_lock(&settle_lock);
    if (!__atomic_load_n(&settled, __ATOMIC_ACQUIRE)) {
        char dir[PATH_MAX] = "", ms[16] = "";
        windows_variable(env, "VC_SLOWFS_DIR", dir, sizeof dir);
        windows_variable(env, "VC_SLOWFS_MS", ms, sizeof ms);
        configure(dir, ms);
        __atomic_store_n(&settled, 1, __ATOMIC_RELEASE);
    }
    pthread_mutex_unlock(&settle_lock);
}

__attribute__((constructor)) static void slowfs_init(void) {
    next_readlink = (ssize_t(*)(const char *, char *, size_t))dlsym(RTLD_NEXT, "readlink");
    char exe[PATH_MAX];
    ssize_t n = next_readlink ? next_readlink("/proc/self/exe", exe, sizeof exe - 1) : -1;
    if (n <= 0) return;
    exe[n] = '\0';
    const char *base = strrchr(exe, '/');
    base = base ? base + 1 : exe;
    /* wineserver serves every Wine process from one thread: a wait there
     * would hold up all of them, not just the program under test. */
    if (strncmp(base, "wineserver", 10) == 0) return;
    wine_process = strncmp(base, "wine", 4) == 0;
    configure(getenv("VC_SLOWFS_DIR"), getenv("VC_SLOWFS_MS"));
    settled = active || !wine_process;
}

static int under(const char *path, const char *dir, size_t n) {
    return n && strncmp(path, dir, n) == 0 && (path[n] == '/' || path[n] == '\0');
}

/* Waits when `path` (taken relative to `dirfd` unless absolute) lies in the
 * slow folder. The caller's errno is left as it was. */
static void wait_if_slow(int dirfd, const char *path) {
    if (!path || !path[0]) return;
    int saved = errno;
    if (!__atomic_load_n(&settled, __ATOMIC_ACQUIRE)) settle();
    if (!active) { errno = saved; return; }
    char full[2 * PATH_MAX];
    const char *p = path;
    if (path[0] != '/') {
        /* A name relative to the working folder is one Wine uses after moving
         * into a folder it reads (FindFirstFile), which it does holding a lock
         * of the whole process, as the working folder is the process's. A
         * wait there would hold up every thread's file calls on every drive,
         * which no share does on Windows; the absolute calls around it wait. */
        if (dirfd == AT_FDCWD) { errno = saved; return; }
        char link[40];
        snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
        ssize_t n = next_readlink(link, full, PATH_MAX - 1);
        if (n <= 0) { errno = saved; return; }
        full[n] = '/';
        size_t rest = strnlen(path, PATH_MAX);
        memcpy(full + n + 1, path, rest);
        full[n + 1 + rest] = '\0';
        p = full;
    }
    if (under(p, slow_dir, dir_len) || under(p, slow_real, real_len)) {
        struct timespec ts = {delay_ms / 1000, (delay_ms % 1000) * 1000000L};
        /* Wine's signals (thread suspension, timers) must not cut the wait short. */
        while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {}
    }
    errno = saved;
}

#define NEXT(name) \
    static __typeof__(&name) next; \
    if (!next) next = (__typeof__(&name))dlsym(RTLD_NEXT, #name)

/* One wrapper: RET NAME(PARAMS) waits on (DIRFD, PATH), then calls through. */
#define WRAP(ret, name, params, args, dirfd, path) \
    ret name params { \
        NEXT(name); \
        wait_if_slow(dirfd, path); \
        return next args; \
    }

/* glibc before 2.33 exported stat and its kin only as these; programs built
 * then still call them, and they survive only as versioned compat symbols. */
#define WRAP_COMPAT(name, params, args, dirfd, path) \
    int name params { \
        static int(*next) params; \
        if (!next) next = (int(*) params)dlvsym(RTLD_NEXT, #name, "GLIBC_2.2.5"); \
        if (!next) { errno = ENOSYS; return -1; } \
        wait_if_slow(dirfd, path); \
        return next args; \
    }

#define WRAP_OPEN(name) \
    int name(const char *p, int flags, ...) { \
        NEXT(name); \
        mode_t mode = 0; \
        if (flags & (O_CREAT | O_TMPFILE)) { va_list a; va_start(a, flags); mode = va_arg(a, mode_t); va_end(a); } \
        wait_if_slow(AT_FDCWD, p); \
        return next(p, flags, mode); \
    }
#define WRAP_OPENAT(name) \
    int name(int fd, const char *p, int flags, ...) { \
        NEXT(name); \
        mode_t mode = 0; \
        if (flags & (O_CREAT | O_TMPFILE)) { va_list a; va_start(a, flags); mode = va_arg(a, mode_t); va_end(a); } \
        wait_if_slow(fd, p); \
        return next(fd, p, flags, mode); \
    }

WRAP_OPEN(open)
WRAP_OPEN(open64)
WRAP_OPENAT(openat)
WRAP_OPENAT(openat64)

WRAP(int, stat, (const char *p, struct stat *b), (p, b), AT_FDCWD, p)
WRAP(int, lstat, (const char *p, struct stat *b), (p, b), AT_FDCWD, p)
WRAP(int, stat64, (const char *p, struct stat64 *b), (p, b), AT_FDCWD, p)
WRAP(int, lstat64, (const char *p, struct stat64 *b), (p, b), AT_FDCWD, p)
WRAP(int, fstatat, (int fd, const char *p, struct stat *b, int fl), (fd, p, b, fl), fd, p)
WRAP(int, fstatat64, (int fd, const char *p, struct stat64 *b, int fl), (fd, p, b, fl), fd, p)
WRAP(int, statx, (int fd, const char *p, int fl, unsigned m, struct statx *b), (fd, p, fl, m, b), fd, p)
WRAP_COMPAT(__xstat, (int v, const char *p, struct stat *b), (v, p, b), AT_FDCWD, p)
WRAP_COMPAT(__lxstat, (int v, const char *p, struct stat *b), (v, p, b), AT_FDCWD, p)
WRAP_COMPAT(__xstat64, (int v, const char *p, struct stat64 *b), (v, p, b), AT_FDCWD, p)
WRAP_COMPAT(__lxstat64, (int v, const char *p, struct stat64 *b), (v, p, b), AT_FDCWD, p)
WRAP_COMPAT(__fxstatat, (int v, int fd, const char *p, struct stat *b, int fl), (v, fd, p, b, fl), fd, p)
WRAP_COMPAT(__fxstatat64, (int v, int fd, const char *p, struct stat64 *b, int fl), (v, fd, p, b, fl), fd, p)

WRAP(int, access, (const char *p, int m), (p, m), AT_FDCWD, p)
WRAP(int, faccessat, (int fd, const char *p, int m, int fl), (fd, p, m, fl), fd, p)
WRAP(DIR *, opendir, (const char *p), (p), AT_FDCWD, p)
WRAP(ssize_t, readlink, (const char *restrict p, char *restrict b, size_t n), (p, b, n), AT_FDCWD, p)
WRAP(ssize_t, readlinkat, (int fd, const char *restrict p, char *restrict b, size_t n), (fd, p, b, n), fd, p)
WRAP(char *, realpath, (const char *restrict p, char *restrict r), (p, r), AT_FDCWD, p)
WRAP(int, statfs, (const char *p, struct statfs *b), (p, b), AT_FDCWD, p)
WRAP(int, statfs64, (const char *p, struct statfs64 *b), (p, b), AT_FDCWD, p)
WRAP(int, statvfs, (const char *restrict p, struct statvfs *restrict b), (p, b), AT_FDCWD, p)
WRAP(int, statvfs64, (const char *restrict p, struct statvfs64 *restrict b), (p, b), AT_FDCWD, p)
WRAP(ssize_t, getxattr, (const char *p, const char *k, void *v, size_t n), (p, k, v, n), AT_FDCWD, p)
WRAP(ssize_t, lgetxattr, (const char *p, const char *k, void *v, size_t n), (p, k, v, n), AT_FDCWD, p)
