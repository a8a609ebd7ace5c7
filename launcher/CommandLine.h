#pragma once
// The argument tail of a Windows command line.

namespace kestrel
{

// Returns where the arguments begin in `commandLine`: past the program name, delimited the way
// Windows itself delimits it (from an opening double quote up to the closing one, otherwise up to
// the first blank or tab), and past one blank or tab after it. The rest is handed on untouched,
// so the result is always a suffix of `commandLine`; it never points past the terminating zero.
template <class CharT>
const CharT* ArgumentTail(const CharT* commandLine) noexcept
{
    const CharT* p = commandLine;
    if (*p == CharT('"'))
    {
        ++p;
        while (*p != CharT('\0') && *p != CharT('"'))
            ++p;
        if (*p == CharT('"'))
            ++p;
    }
    else
    {
        while (*p != CharT('\0') && *p != CharT(' ') && *p != CharT('\t'))
            ++p;
    }
    if (*p == CharT(' ') || *p == CharT('\t'))
        ++p;
    return p;
}

} // namespace kestrel
