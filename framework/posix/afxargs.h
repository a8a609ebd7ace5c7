#pragma once
// The process's arguments as the system handed them to main, kept for the code that needs them
// later, as the C runtime's __argc and __argv are on Windows. The entry point records them once,
// before the framework starts; the system keeps the vector alive for the whole process.

namespace afx_detail
{
inline int g_argc = 0;
inline char** g_argv = nullptr;
} // namespace afx_detail

inline void AfxSetProcessArguments(int argc, char** argv) noexcept
{
    afx_detail::g_argc = argc;
    afx_detail::g_argv = argv;
}

// 0 and null until the entry point has recorded them.
inline int AfxGetArgc() noexcept
{
    return afx_detail::g_argc;
}

// argv[argc] is null, as the system guarantees.
inline char** AfxGetArgv() noexcept
{
    return afx_detail::g_argv;
}
