// The argument tail of any UTF-16 command line, against a reference written another way.

#include "CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace
{

std::u16string_view ReferenceTail(std::u16string_view line)
{
    std::size_t end;
    if (!line.empty() && line.front() == u'"')
    {
        const std::size_t closing = line.find(u'"', 1);
        end = closing == std::u16string_view::npos ? line.size() : closing + 1;
    }
    else
    {
        end = std::min(line.find_first_of(u" \t"), line.size());
    }
    if (end < line.size() && (line[end] == u' ' || line[end] == u'\t'))
        ++end;
    return line.substr(end);
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The system's string: UTF-16 code units, ending at the first zero (or the input's end).
    std::u16string line;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        line.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    line.resize(std::char_traits<char16_t>::length(line.c_str()));

    const char16_t* const begin = line.c_str();
    const char16_t* const tail = kestrel::ArgumentTail(begin);

    // A suffix of the line, up to and including its terminating zero, and the expected one.
    Check(tail >= begin && tail <= begin + line.size());
    Check(std::u16string_view(tail) == ReferenceTail(line));
    return 0;
}
