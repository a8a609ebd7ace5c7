// The launcher's platform functions on Windows: thin calls of the wide-character Win32 API.

#include "CommandLine.h"
#include "Platform.h"

#include <shellapi.h>

namespace platform
{

static_assert(sizeof(INITCOMMONCONTROLSEX) == 8, "the common-controls record is two 32-bit fields");

bool InstanceMutexExists(const wchar_t* name)
{
    // A handle that comes back is left open: the process ends moments later.
    return ::OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name) != nullptr;
}

MutexCreation CreateInstanceMutex(const wchar_t* name)
{
    const HANDLE hMutex = ::CreateMutexW(nullptr, TRUE, name);
    // When the object existed before, the request for initial ownership is ignored.
    return MutexCreation{hMutex, hMutex != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS};
}

void ReleaseInstanceMutex(HANDLE hMutex)
{
    ::ReleaseMutex(hMutex);
}

void InitCommonControlClasses(const INITCOMMONCONTROLSEX& record)
{
    INITCOMMONCONTROLSEX request = record;
    ::InitCommonControlsEx(&request);
}

Arguments CompanionArguments()
{
    return kestrel::ArgumentTail(::GetCommandLineW());
}

bool ReadExecutablePath(kestrel::CPathBuffer<wchar_t>& path)
{
    const HMODULE hSelf = ::GetModuleHandleW(nullptr);
    // GetModuleFileNameW cuts a long path off silently, and on Windows XP leaves the buffer
    // unterminated when it does; the buffer treats a full buffer as cut off and grows.
    return path.ReadFrom([hSelf](wchar_t* buffer, std::size_t capacity) {
        return static_cast<std::size_t>(::GetModuleFileNameW(hSelf, buffer, static_cast<DWORD>(capacity)));
    });
}

kestrel::LaunchResult OpenCompanion(const wchar_t* companionPath, const Arguments& arguments, const wchar_t* folder)
{
    const HWND hOwner = ::GetForegroundWindow();
    const HINSTANCE hResult = ::ShellExecuteW(hOwner, L"open", companionPath, arguments, folder, SW_SHOW);
    return reinterpret_cast<kestrel::LaunchResult>(hResult);
}

void ReportLaunchResult(kestrel::LaunchResult, const char* description)
{
    // The descriptions are plain ASCII; widening them is a copy.
    wchar_t line[256];
    std::size_t i = 0;
    for (; description[i] != '\0' && i + 1 < sizeof(line) / sizeof(line[0]); ++i)
        line[i] = static_cast<unsigned char>(description[i]);
    line[i] = L'\0';
    ::OutputDebugStringW(line);
}

} // namespace platform
