#include "LauncherKestrelApp.h"

#include "CompanionLaunch.h"
#include "InstanceGuard.h"
#include "Platform.h"

CLauncherKestrelApp theApp;

// No application name and no restart-manager support: a launcher that is gone within moments
// has nothing to restart.
CLauncherKestrelApp::CLauncherKestrelApp() noexcept : CWinApp(nullptr)
{
}

CLauncherKestrelApp::~CLauncherKestrelApp() = default;

BOOL CLauncherKestrelApp::InitInstance()
{
    // The test comes before any initialisation: a launcher that finds another at work does
    // nothing at all.
    const std::optional<kestrel::CMutexOwner> instanceOwner = kestrel::ClaimSingleInstance();
    if (!instanceOwner)
        return FALSE;

    platform::CommonControlsRecord controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    platform::InitCommonControlClasses(controls);

    CWinApp::InitInstance();

    // Ownership of the instance mutex ends with this scope, after the launch request returns.
    kestrel::LaunchCompanion();
    return FALSE;
}
