// The launcher's platform functions on POSIX systems. Everything here is POSIX but the lookup of
// the executable's own path, which each system answers in its own way; the instance lock lives in
// InstanceLock.cpp.

#include "Platform.h"

#include <afxargs.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace platform
{
using namespace kestrel;

namespace
{

constexpr LaunchResult kLaunchStarted = kLaunchSucceededAbove + 1;

char* const kNoArguments[] = {nullptr};

kestrel::LaunchResult ResultOfStartError(int error) noexcept
{
    switch (error)
    {
    case ENOENT: return kLaunchFileNotFound;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG: return kLaunchPathNotFound;
    case EACCES:
    case EPERM: return kLaunchAccessDenied;
    case ENOMEM:
    case EAGAIN:
    case E2BIG: return kLaunchOutOfMemory;
    case ENOEXEC:
    case EINVAL:
#ifdef ELIBBAD
    case ELIBBAD: // Linux: a broken shared-library image
#endif
        return kLaunchInvalidExecutable;
    case ETXTBSY: return kLaunchSharingViolation;
    default: return kLaunchOutOfResources;
    }
}

bool WriteAll(int fd, const void* data, std::size_t size) noexcept
{
    const char* p = static_cast<const char*>(data);
    while (size > 0)
    {
        const ssize_t written = ::write(fd, p, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        p += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The companion is to inherit the standard streams and nothing else, whatever the launcher was
// handed (its own descriptors are close-on-exec already).
int CloseAboveStandardStreamsInChild(posix_spawn_file_actions_t* actions) noexcept
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // glibc's own action: the child closes them all, by close_range where the kernel has it and
    // by its list of open descriptors where it has not, never by trying every number.
    return ::posix_spawn_file_actions_addclosefrom_np(actions, STDERR_FILENO + 1);
#else
    // Elsewhere the launcher, which needs none of them, marks them close-on-exec itself.
    (void)actions;
    const long limit = ::sysconf(_SC_OPEN_MAX);
    const int descriptorLimit = (limit > 0 && limit <= INT_MAX) ? static_cast<int>(limit) : 65536;
    for (int fd = STDERR_FILENO + 1; fd < descriptorLimit; ++fd)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    return 0;
#endif
}

int AddChangeDirectory(posix_spawn_file_actions_t* actions, const char* folder) noexcept
{
#if defined(__GLIBC__) || defined(__APPLE__)
    // The POSIX.1-2024 action, under the name these systems gave it before it was standard.
    return ::posix_spawn_file_actions_addchdir_np(actions, folder);
#else
    return ::posix_spawn_file_actions_addchdir(actions, folder);
#endif
}

// Starts the companion in a session of its own (no controlling terminal, out of reach of the
// hang-up and job-control signals meant for the launcher's terminal) with `folder` as its working
// directory, and does not wait for it. posix_spawn returns once the exec has happened, with the
// error of a start that failed; it never waits for the companion itself.
kestrel::LaunchResult StartDetached(const char* companionPath, char* const* argv, const char* folder) noexcept
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    int error = ::posix_spawn_file_actions_init(&actions);
    if (error != 0)
        return ResultOfStartError(error);
    error = ::posix_spawnattr_init(&attributes);
    if (error == 0)
    {
        error = AddChangeDirectory(&actions, folder);
        if (error == 0)
            error = CloseAboveStandardStreamsInChild(&actions);
        if (error == 0)
            error = ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        pid_t child;
        if (error == 0)
            error = ::posix_spawn(&child, companionPath, &actions, &attributes, argv, environ);
        ::posix_spawnattr_destroy(&attributes);
    }
    ::posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? kLaunchStarted : ResultOfStartError(error);
}

} // namespace

void InitCommonControlClasses(const CommonControlsRecord&)
{
    // No window system, hence no control classes to register.
}

Arguments CompanionArguments()
{
    // Everything after the program name, each argument exactly as the system split it. A process
    // may be started with no vector at all (argc 0), and then there is no program name to skip.
    char** const argv = AfxGetArgv();
    if (argv == nullptr || AfxGetArgc() < 1 || argv[0] == nullptr)
        return Arguments{kNoArguments};
    return Arguments{argv + 1};
}

bool ReadExecutablePath(kestrel::CPathBuffer<char>& path)
{
#if defined(__linux__)
    // Linux-only: the kernel's link to the running executable, every symbolic link resolved, so a
    // launcher started through a link finds the companion beside the real file. readlink writes
    // no terminating zero and cuts a long path off at the capacity, which the buffer treats as too
    // small and grows.
    return path.ReadFrom([](char* buffer, std::size_t capacity) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer, capacity);
        return length > 0 ? static_cast<std::size_t>(length) : std::size_t{0};
    });
#else
#error "Read the resolved path of the running executable here (macOS: _NSGetExecutablePath, then realpath)."
#endif
}

kestrel::LaunchResult OpenCompanion(const char* companionPath, const Arguments& arguments, const char* folder)
{
    // The companion's own vector: its path as the program name, then the launcher's arguments as
    // they are, none joined, split or quoted again.
    std::size_t count = 0;
    while (arguments.argv[count] != nullptr)
        ++count;
    char** const argv = static_cast<char**>(std::malloc((count + 2) * sizeof(char*)));
    if (argv == nullptr)
        return kLaunchOutOfMemory;
    argv[0] = const_cast<char*>(companionPath);
    for (std::size_t i = 0; i < count; ++i)
        argv[i + 1] = arguments.argv[i];
    argv[count + 1] = nullptr;

    const kestrel::LaunchResult result = StartDetached(companionPath, argv, folder);
    std::free(argv);
    return result;
}

void ReportLaunchResult(kestrel::LaunchResult result, const char* description)
{
    if (result > kLaunchSucceededAbove)
        return;
    // The whole line in one write, so that the reports of launchers sharing a terminal do not
    // interleave.
    char line[256];
    std::size_t length = std::strlen(description);
    if (length > sizeof(line) - 1)
        length = sizeof(line) - 1;
    std::memcpy(line, description, length);
    line[length++] = '\n';
    // A reader of standard error that has gone away must not end the launcher by SIGPIPE: its
    // exit code is 0 whatever becomes of the report.
    std::signal(SIGPIPE, SIG_IGN);
    WriteAll(STDERR_FILENO, line, length);
}

} // namespace platform
