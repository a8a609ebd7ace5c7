#include "afxwin.h"

int CWinApp::Run()
{
    // No window system here, hence no messages: the loop ends before it starts.
    return ExitInstance();
}
