// Loaded into a note writer with LD_PRELOAD by the kill tests: stops the
// process at a chosen stage of a store, so that the test kills it exactly
// there rather than at a moment that may fall between two stores.
//
// QEL_STOP_AT="<stage> <n>" stops the process (SIGSTOP) the n-th time it
// reaches the stage, after appending "<stage> <n>" and a newline to the file
// named by QEL_STOP_REPORT. The stages, told apart by the names of the files a
// store touches:
//   pending  a pending note file was just made, still empty
//   decided  the store's journal was just given its name
//   moved    a file was just renamed aside
//   put      a pending file was just renamed over its note file
//   removed  a note file of the series was just removed

#undef _FORTIFY_SOURCE // its inline open() would clash with the one defined here

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool endsWith(const char *text, const char *suffix)
{
    const size_t length = strlen(text);
    const size_t suffixLength = strlen(suffix);
    return length >= suffixLength && strcmp(text + length - suffixLength, suffix) == 0;
}

const char *baseName(const char *path)
{
    const char *slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

// "QelNotes_<digits>.rtf"
bool isSeriesFile(const char *path)
{
    const char *name = baseName(path);
    if (strncmp(name, "QelNotes_", 9) != 0)
        return false;
    const char *digits = name + 9;
    const char *end = digits;
    while (*end >= '0' && *end <= '9')
        ++end;
    return end > digits && strcmp(end, ".rtf") == 0;
}

std::atomic<int> reached{0};

void reach(const char *stage)
{
    const char *wanted = getenv("QEL_STOP_AT");
    char name[32];
    int ordinal = 0;
    if (!wanted || sscanf(wanted, "%31s %d", name, &ordinal) != 2 || strcmp(name, stage) != 0)
        return;
    if (++reached != ordinal)
        return;
    if (const char *report = getenv("QEL_STOP_REPORT")) {
        const int handle = open(report, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (handle >= 0) {
            dprintf(handle, "%s %d\n", stage, ordinal);
            close(handle);
        }
    }
    raise(SIGSTOP);
}

void created(const char *path, int flags)
{
    if ((flags & O_CREAT) && endsWith(path, ".pending"))
        reach("pending");
}

void renamed(const char *from, const char *to)
{
    if (endsWith(to, "QelNotes_store.journal"))
        reach("decided");
    else if (endsWith(from, ".pending"))
        reach("put");
    else if (strncmp(baseName(to), "QelNotes_", 9) == 0)
        reach("moved");
}

void unlinked(const char *path)
{
    if (isSeriesFile(path))
        reach("removed");
}

template <typename Function>
Function next(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// Every way of opening, renaming and removing goes through the most general
// call of its kind.
int openFile(int folder, const char *path, int flags, mode_t mode)
{
    static const auto real = next<int (*)(int, const char *, int, ...)>("openat");
    const int handle = real(folder, path, flags, mode);
    if (handle >= 0)
        created(path, flags);
    return handle;
}

int renameFile(int fromFolder, const char *from, int toFolder, const char *to, unsigned flags)
{
    static const auto real
        = next<int (*)(int, const char *, int, const char *, unsigned)>("renameat2");
    const int result = real(fromFolder, from, toFolder, to, flags);
    if (result == 0)
        renamed(from, to);
    return result;
}

// A file written unnamed (O_TMPFILE) is given its name by a link.
int linkFile(int fromFolder, const char *from, int toFolder, const char *to, int flags)
{
    static const auto real = next<int (*)(int, const char *, int, const char *, int)>("linkat");
    const int result = real(fromFolder, from, toFolder, to, flags);
    if (result == 0)
        renamed(from, to);
    return result;
}

int unlinkFile(int folder, const char *path, int flags)
{
    static const auto real = next<int (*)(int, const char *, int)>("unlinkat");
    const int result = real(folder, path, flags);
    if (result == 0 && !(flags & AT_REMOVEDIR))
        unlinked(path);
    return result;
}

} // namespace

// The mode argument is there only when a file may be made.
#define QEL_MODE_OF(flags)                                                                         \
    mode_t mode = 0;                                                                               \
    if ((flags) & (O_CREAT | O_TMPFILE)) {                                                         \
        va_list arguments;                                                                         \
        va_start(arguments, flags);                                                                \
        mode = mode_t(va_arg(arguments, int));                                                     \
        va_end(arguments);                                                                         \
    }

extern "C" {

int open(const char *path, int flags, ...)
{
    QEL_MODE_OF(flags)
    return openFile(AT_FDCWD, path, flags, mode);
}

int open64(const char *path, int flags, ...)
{
    QEL_MODE_OF(flags)
    return openFile(AT_FDCWD, path, flags, mode);
}

int openat(int folder, const char *path, int flags, ...)
{
    QEL_MODE_OF(flags)
    return openFile(folder, path, flags, mode);
}

int openat64(int folder, const char *path, int flags, ...)
{
    QEL_MODE_OF(flags)
    return openFile(folder, path, flags, mode);
}

int rename(const char *from, const char *to)
{
    return renameFile(AT_FDCWD, from, AT_FDCWD, to, 0);
}

int renameat(int fromFolder, const char *from, int toFolder, const char *to)
{
    return renameFile(fromFolder, from, toFolder, to, 0);
}

int renameat2(int fromFolder, const char *from, int toFolder, const char *to, unsigned flags)
{
    return renameFile(fromFolder, from, toFolder, to, flags);
}

int link(const char *from, const char *to)
{
    return linkFile(AT_FDCWD, from, AT_FDCWD, to, 0);
}

int linkat(int fromFolder, const char *from, int toFolder, const char *to, int flags)
{
    return linkFile(fromFolder, from, toFolder, to, flags);
}

int unlink(const char *path)
{
    return unlinkFile(AT_FDCWD, path, 0);
}

int unlinkat(int folder, const char *path, int flags)
{
    return unlinkFile(folder, path, flags);
}

} // extern "C"
