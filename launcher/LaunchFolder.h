#pragma once
// The launch folder of an executable path, and the companion's path inside it. The path grammar
// (separators, roots) comes from a style type: WindowsPathStyle or PosixPathStyle.

#include "PathBuffer.h"

#include <cstddef>

namespace kestrel
{

// Length of the folder part of `path`: the path without its last component and the separator
// before it, except that a root keeps its own separator (C:\app.exe gives C:\, /app gives /).
// 0 when the path has no separator at all.
template <class Style, class CharT>
std::size_t LaunchFolderLength(const CharT* path, std::size_t length) noexcept
{
    std::size_t lastSeparator = length;
    while (lastSeparator > 0 && !Style::IsSeparator(path[lastSeparator - 1]))
        --lastSeparator;
    if (lastSeparator == 0)
        return 0;
    --lastSeparator;
    // A root keeps its own separator, but never any of the file name after it.
    std::size_t root = Style::RootLength(path, length);
    if (root > lastSeparator + 1)
        root = lastSeparator + 1;
    return lastSeparator < root ? root : lastSeparator;
}

// True when a file name appended to a folder of this spelling needs a separator first.
template <class Style, class CharT>
bool NeedsSeparatorBeforeName(const CharT* folder, std::size_t length) noexcept
{
    return length > 0 && !Style::IsSeparator(folder[length - 1]);
}

// The full path of the file `name` in `folder` (a root already ends in its separator). False
// when the path does not fit in memory or exceeds the longest path.
template <class Style, class CharT>
bool MakePathInFolder(const CPathBuffer<CharT>& folder, const CharT* name, std::size_t nameLength,
                      CPathBuffer<CharT>& path) noexcept
{
    const CharT separator = static_cast<CharT>(Style::kSeparator);
    return path.Assign(folder.c_str(), folder.length()) &&
           (!NeedsSeparatorBeforeName<Style>(folder.c_str(), folder.length()) || path.Append(separator)) &&
           path.Append(name, nameLength);
}

// Windows paths as the system reports a module's path: drive paths (C:\dir), UNC paths
// (\\server\share\dir) and both with the \\?\ prefix.
struct WindowsPathStyle
{
    template <class CharT>
    static constexpr bool IsSeparator(CharT c) noexcept
    {
        return c == CharT('\\');
    }

    static constexpr char kSeparator = '\\';

    // How many leading characters form the root, which is never cut.
    template <class CharT>
    static std::size_t RootLength(const CharT* path, std::size_t length) noexcept
    {
        std::size_t start = 0;
        if (HasPrefix(path, length, "\\\\?\\UNC\\"))
            return UncRootLength(path, length, 8);
        if (HasPrefix(path, length, "\\\\?\\"))
            start = 4;
        else if (HasPrefix(path, length, "\\\\"))
            return UncRootLength(path, length, 2);

        if (length >= start + 2 && path[start + 1] == CharT(':'))
            return (length >= start + 3 && IsSeparator(path[start + 2])) ? start + 3 : start + 2;
        if (length > start && IsSeparator(path[start]))
            return start + 1;
        return start;
    }

private:
    template <class CharT>
    static bool HasPrefix(const CharT* path, std::size_t length, const char* prefix) noexcept
    {
        std::size_t i = 0;
        for (; prefix[i] != '\0'; ++i)
        {
            if (i >= length || path[i] != CharT(prefix[i]))
                return false;
        }
        return true;
    }

    // A UNC root runs through the server and share names: \\server\share.
    template <class CharT>
    static std::size_t UncRootLength(const CharT* path, std::size_t length, std::size_t serverStart) noexcept
    {
        std::size_t i = serverStart;
        for (int names = 0; names < 2; ++names)
        {
            if (names > 0 && i < length)
                ++i; // the separator between server and share
            while (i < length && !IsSeparator(path[i]))
                ++i;
        }
        return i;
    }
};

// POSIX paths: one separator, one root.
struct PosixPathStyle
{
    template <class CharT>
    static constexpr bool IsSeparator(CharT c) noexcept
    {
        return c == CharT('/');
    }

    static constexpr char kSeparator = '/';

    template <class CharT>
    static std::size_t RootLength(const CharT* path, std::size_t length) noexcept
    {
        return (length > 0 && IsSeparator(path[0])) ? 1 : 0;
    }
};

} // namespace kestrel
