#include "afxwin.h"

int CWinApp::Run()
{
    // GetMessageW returns 0 for the quit message and -1 on failure; both end the loop, the quit
    // message leaving its exit code in m_msgCur for ExitInstance.
    while (::GetMessageW(&m_msgCur, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    return ExitInstance();
}
