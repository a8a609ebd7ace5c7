#include "afxwin.h"

// The process entry (wide-character, GUI subsystem). The framework reads what it needs of the
// process itself, so the entry's arguments are not passed on.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return AfxWinMain();
}
