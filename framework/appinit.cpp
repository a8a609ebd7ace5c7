#include "afxwin.h"

// The base initialisation. The framework offers no restart-manager registration and loads no
// satellite resource libraries, so there is nothing to set up; derived classes call it all the
// same, as the framework's contract asks. Kept in a file of its own so that tests can stand in
// for it at link time and see when it is called.
BOOL CWinApp::InitInstance()
{
    return TRUE;
}
