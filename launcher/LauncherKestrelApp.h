#pragma once
// The launcher's application class: all of its work happens in InitInstance, which never lets
// the framework enter its message loop.

#include <afxwin.h>

class CLauncherKestrelApp : public CWinApp
{
public:
    CLauncherKestrelApp() noexcept;
    ~CLauncherKestrelApp() override;

    // Single-instance test, then the companion's launch; returns FALSE on every path, so the
    // process ends at once with ExitInstance's exit code 0.
    BOOL InitInstance() override;
};

extern CLauncherKestrelApp theApp;
