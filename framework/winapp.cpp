#include "afxwin.h"

namespace
{
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(const AfxChar* lpszAppName) noexcept
    : m_pszAppName(lpszAppName), m_msgCur()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

int CWinApp::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

CWinApp* AfxGetApp() noexcept
{
    return g_pApp;
}
