/* The companion for timing: starts and ends. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR tail, int show)
{
    (void)instance; (void)previous; (void)tail; (void)show;
    return 0;
}
