#pragma once
// The launcher's platform types on POSIX systems.

#include <afxtypes.h>

#include <cstdint>

#include "LaunchFolder.h"

#define PLATFORM_TEXT(text) text

// The common-controls request keeps its Windows shape; there is nothing to register here.
#ifndef ICC_WIN95_CLASSES
#define ICC_WIN95_CLASSES 0x000000FF
#endif

namespace platform
{
using Char = char;
// The descriptor of the instance lock file.
using MutexHandle = int;
inline const MutexHandle kNoMutex = -1;

struct CommonControlsRecord
{
    std::uint32_t dwSize;
    std::uint32_t dwICC;
};

// The launcher's own arguments, already split by the system: a null-terminated vector.
struct Arguments
{
    char* const* argv;
};

using PathStyle = kestrel::PosixPathStyle;
} // namespace platform
