#include "afxwin.h"

namespace
{
int RunApplication(CWinApp& app)
{
    if (!app.InitInstance())
        return app.ExitInstance();
    return app.Run();
}
} // namespace

int AfxWinMain()
{
    CWinApp* const pApp = AfxGetApp();
    if (pApp == nullptr)
        return -1;
#if defined(__cpp_exceptions)
    // Catching here is what makes the stack unwind, so that scope objects inside InitInstance
    // (the instance mutex's owner above all) give back what they hold before the process ends.
    try
    {
        return RunApplication(*pApp);
    }
    catch (...)
    {
        return kAfxExitUnhandledException;
    }
#else
    return RunApplication(*pApp);
#endif
}
