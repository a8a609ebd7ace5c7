// The instance mutex on POSIX systems: a lock file named after it, held with a non-blocking
// exclusive record lock. Trying the lock is the test and the creation in one atomic step, so two
// launchers can never both pass; the system drops the lock when the holding process ends,
// however it ends, which gives the object the life of the process that holds it.

#include "Platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{
namespace
{

bool IsAbsolutePath(const char* path) noexcept
{
    return path != nullptr && path[0] == '/';
}

// The fallback: a directory of this user's own under the temporary directory. A directory that
// someone else planted under its name (a symbolic link, another owner, open to others) is
// refused, so the lock is never made where another user could reach it or hold it.
int OpenPrivateTemporaryDirectory() noexcept
{
    const char* temporary = std::getenv("TMPDIR");
    if (!IsAbsolutePath(temporary))
        temporary = "/tmp";
    char name[48];
    std::snprintf(name, sizeof(name), "LauncherKestrel-%lu", static_cast<unsigned long>(::geteuid()));

    kestrel::CPathBuffer<char> path;
    if (!path.Assign(temporary, std::strlen(temporary)) || !path.Append('/') || !path.Append(name, std::strlen(name)))
        return -1;

    // An existing directory is checked below exactly like one made now.
    ::mkdir(path.c_str(), S_IRWXU);
    // O_NOFOLLOW refuses a symbolic link in the directory's place instead of following it, and
    // the checks are made on the opened directory, so nothing can be swapped in between.
    const int directory = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (directory < 0)
        return -1;
    struct stat status;
    if (::fstat(directory, &status) != 0 || status.st_uid != ::geteuid() || (status.st_mode & (S_IRWXG | S_IRWXO)) != 0)
    {
        ::close(directory);
        return -1;
    }
    return directory;
}

// The directory that holds the lock file, opened; -1 when there is none to use.
int OpenLockDirectory() noexcept
{
    // The runtime directory is made for this user alone by the session. An empty or relative
    // value names no directory, as the base-directory rules say, and counts as unset.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsAbsolutePath(runtime))
        return ::open(runtime, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return OpenPrivateTemporaryDirectory();
}

// A launcher started with a standard stream closed would get the lock file in that stream's
// place, and its report on standard error would then be written into the lock file.
int MoveAboveStandardStreams(int fd) noexcept
{
    if (fd > STDERR_FILENO)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(fd);
    return moved;
}

bool LockWholeFile(int fd, short type) noexcept
{
    struct flock whole = {};
    whole.l_type = type;
    whole.l_whence = SEEK_SET;
    whole.l_start = 0;
    whole.l_len = 0; // to the end of the file, however long it grows
    return ::fcntl(fd, F_SETLK, &whole) == 0;
}

} // namespace

bool InstanceMutexExists(const char*)
{
    // Here the test is the lock request itself, made by CreateInstanceMutex: a test of its own
    // would only answer for a moment that is already past.
    return false;
}

MutexCreation CreateInstanceMutex(const char* name)
{
    const int directory = OpenLockDirectory();
    if (directory < 0)
        return MutexCreation{kNoMutex, false};
    // Close-on-exec, so the companion never inherits the descriptor; O_NOFOLLOW, so a link under
    // the lock file's name is never written through.
    int fd = ::openat(directory, name, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    ::close(directory);
    if (fd < 0)
        return MutexCreation{kNoMutex, false};
    // Before the lock, not after: closing any descriptor of the file drops the process's locks.
    fd = MoveAboveStandardStreams(fd);
    if (fd < 0)
        return MutexCreation{kNoMutex, false};

    if (LockWholeFile(fd, F_WRLCK))
        return MutexCreation{fd, false};
    if (errno == EACCES || errno == EAGAIN)
    {
        // Held by another process: another launcher at work, or anything else that holds the
        // lock. The descriptor stays open until the process ends moments later.
        return MutexCreation{fd, true};
    }
    ::close(fd);
    return MutexCreation{kNoMutex, false};
}

void ReleaseInstanceMutex(MutexHandle lock)
{
    // Ownership ends but the object stays: the exclusive lock becomes a shared one, which every
    // other launcher's exclusive request still runs into until this process ends. The system
    // replaces the one lock by the other in a single step, so there is no moment without either.
    LockWholeFile(lock, F_RDLCK);
}

} // namespace platform
