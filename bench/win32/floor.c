/* The floor for the launcher's speed on Windows: the same Win32 calls in the same order, with no
   framework, no checks and fixed buffers. The launcher should cost little more than this. */
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

static const wchar_t kName[] = L"{7C3E91A4-2D6B-4f08-9A5E-C41B7D0E83F2}";

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR unused, int show)
{
    (void)instance; (void)previous; (void)unused; (void)show;
    if (OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kName) != NULL)
        return 0;
    HANDLE mutex = CreateMutexW(NULL, TRUE, kName);
    if (mutex != NULL && GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    const wchar_t* tail = GetCommandLineW();
    if (*tail == L'"')
    {
        for (++tail; *tail && *tail != L'"'; ++tail)
            ;
        if (*tail)
            ++tail;
    }
    else
        while (*tail && *tail != L' ' && *tail != L'\t')
            ++tail;
    if (*tail == L' ' || *tail == L'\t')
        ++tail;

    wchar_t folder[MAX_PATH], companion[MAX_PATH + 16];
    GetModuleFileNameW(GetModuleHandleW(NULL), folder, MAX_PATH);
    *wcsrchr(folder, L'\\') = L'\0';
    lstrcpyW(companion, folder);
    lstrcatW(companion, L"\\Quillmere.exe");
    ShellExecuteW(GetForegroundWindow(), L"open", companion, tail, folder, SW_SHOW);
    ReleaseMutex(mutex);
    return 0;
}
