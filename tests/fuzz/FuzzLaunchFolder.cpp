// Reading a module path of any length and shape, cutting it to its folder and naming the
// companion in that folder, for both path grammars.

#include "LaunchFolder.h"
#include "PathBuffer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

template <class Style, class CharT>
void CheckPath(const std::basic_string<CharT>& input, bool terminatesWhenCut)
{
    // The source behaves like GetModuleFileNameW: writes at most `capacity` characters, with or
    // without a terminating zero when the path is cut off.
    kestrel::CPathBuffer<CharT> path;
    const bool read = path.ReadFrom([&](CharT* buffer, std::size_t capacity) -> std::size_t {
        const std::size_t copied = std::min(input.size(), capacity);
        std::copy(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(copied), buffer);
        if (copied < capacity)
            buffer[copied] = CharT('\0');
        else if (terminatesWhenCut)
            buffer[capacity - 1] = CharT('\0');
        return copied;
    });
    const bool fits = !input.empty() && input.size() <= kestrel::kLongestPath;
    Check(read == fits);
    if (!read)
        return;
    const std::basic_string_view<CharT> whole(path.c_str(), path.length());
    Check(whole == input);

    const std::size_t folderLength = kestrel::LaunchFolderLength<Style>(path.c_str(), path.length());
    std::size_t lastSeparator = whole.size();
    while (lastSeparator > 0 && !Style::IsSeparator(whole[lastSeparator - 1]))
        --lastSeparator;
    if (lastSeparator == 0)
    {
        Check(folderLength == 0);
        return;
    }
    --lastSeparator;
    // The folder drops the last separator and what follows, or keeps just that separator when it
    // is the root's own: it never keeps any of the file name.
    Check(folderLength == lastSeparator || folderLength == lastSeparator + 1);

    kestrel::CPathBuffer<CharT> folder;
    Check(folder.Assign(path.c_str(), folderLength));
    const CharT name[] = {'Q', 'u', 'i', 'l', 'l', 'm', 'e', 'r', 'e', '.', 'e', 'x', 'e'};
    kestrel::CPathBuffer<CharT> companion;
    if (!kestrel::MakePathInFolder<Style>(folder, name, 13, companion))
    {
        Check(folderLength + 14 > kestrel::kLongestPath);
        return;
    }
    const std::basic_string_view<CharT> joined(companion.c_str(), companion.length());
    const std::basic_string_view<CharT> folderText(folder.c_str(), folder.length());
    // Folder, at most one separator, then the name; and the companion lies in that same folder.
    Check(joined.substr(0, folderText.size()) == folderText);
    Check(joined.substr(joined.size() - 13) == std::basic_string_view<CharT>(name, 13));
    Check(joined.size() - folderText.size() - 13 == (Style::IsSeparator(folderText.back()) ? 0u : 1u));
    // Cutting the companion's path gives the folder back, unless the folder ends in a separator
    // (a root, or a doubled separator in the module path), which the companion's path shares.
    if (!Style::IsSeparator(folderText.back()))
        Check(kestrel::LaunchFolderLength<Style>(companion.c_str(), companion.length()) == folderText.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t mode = data[0];
    ++data;
    --size;
    if (mode & 1)
    {
        std::u16string path;
        for (std::size_t i = 0; i + 1 < size; i += 2)
            path.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
        path.resize(std::char_traits<char16_t>::length(path.c_str()));
        // Long inputs are rare in a fuzzer's corpus; repeat the input to reach past MAX_PATH.
        if (mode & 4)
            for (int i = 0; i < (mode >> 3) && path.size() < 40000; ++i)
                path += path;
        CheckPath<kestrel::WindowsPathStyle>(path, (mode & 2) != 0);
    }
    else
    {
        std::string path(reinterpret_cast<const char*>(data), size);
        path.resize(std::char_traits<char>::length(path.c_str()));
        CheckPath<kestrel::PosixPathStyle>(path, (mode & 2) != 0);
    }
    return 0;
}
