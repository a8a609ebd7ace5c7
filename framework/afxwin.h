#pragma once
// A small application framework in the manner of MFC, holding only what the launcher relies on:
// one global application object, which the framework's entry drives through InitInstance, then
// either Run or ExitInstance, ending the process with the value that comes back.

#include <afxtypes.h>

class CWinApp
{
public:
    // Registers the object as the process's application object (see AfxGetApp).
    explicit CWinApp(const AfxChar* lpszAppName = nullptr) noexcept;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The virtual operations, in the framework's order.
    virtual ~CWinApp();
    // Called once on the main thread; FALSE means "do not run the message loop".
    virtual BOOL InitInstance();
    // Runs the message loop until the quit message arrives, then returns ExitInstance().
    virtual int Run();
    // Returns the word parameter of the current-message record: the quit message's exit code,
    // or 0 when no message was ever retrieved.
    virtual int ExitInstance();

    const AfxChar* m_pszAppName;

protected:
    AfxMessage m_msgCur;
};

// The application object, or null if none has been constructed.
CWinApp* AfxGetApp() noexcept;

// Exit code when an exception escapes the application object: the process must not report success.
constexpr int kAfxExitUnhandledException = 1;

// The framework's entry: InitInstance once; Run if it returned TRUE, else ExitInstance. Returns
// the process exit code. The platform's own entry point calls it.
int AfxWinMain();
