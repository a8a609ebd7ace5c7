#pragma once
// The framework's basic types on Windows are the platform's own.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

using AfxChar = wchar_t;
using AfxMessage = MSG;
