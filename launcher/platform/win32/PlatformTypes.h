#pragma once
// The launcher's platform types on Windows.

#include <afxtypes.h>
#include <commctrl.h>

#include "LaunchFolder.h"

#define PLATFORM_TEXT(text) L##text

namespace platform
{
using Char = wchar_t;
using MutexHandle = HANDLE;
inline const MutexHandle kNoMutex = nullptr;
using CommonControlsRecord = INITCOMMONCONTROLSEX;
// The tail of the process command line: a view into the system's string, not a copy.
using Arguments = const wchar_t*;
using PathStyle = kestrel::WindowsPathStyle;
} // namespace platform
