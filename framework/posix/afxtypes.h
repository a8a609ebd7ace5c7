#pragma once
// The few Windows basic types that the framework and the launcher's shared code use, for
// systems that do not have them.

#include <cstdint>

typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

using AfxChar = char;

// Stands in for the message record; only the word parameter (the exit code) is ever read.
struct AfxMessage
{
    std::uintptr_t wParam;
};
