#pragma once
// A zero-terminated path string on the heap that grows as needed. It reports allocation failure
// instead of throwing, so the launcher's code can never raise an exception of its own.

#include <afxtypes.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace kestrel
{

// NT paths are at most 32,767 characters; the buffer never grows far past that.
constexpr std::size_t kLongestPath = 32767;

template <class CharT>
class CPathBuffer
{
public:
    CPathBuffer() noexcept = default;
    ~CPathBuffer() { std::free(m_pData); }
    CPathBuffer(const CPathBuffer&) = delete;
    CPathBuffer& operator=(const CPathBuffer&) = delete;

    const CharT* c_str() const noexcept { return m_pData != nullptr ? m_pData : &kEmpty; }
    std::size_t length() const noexcept { return m_nLength; }

    // Reads a string from a source that works like GetModuleFileNameW (or readlink): it is
    // handed a buffer and its capacity, writes at most that many characters and returns how many
    // it wrote, 0 for failure. A count that reaches the capacity means the string was cut off,
    // terminated or not; the buffer then grows from MAX_PATH characters until the string fits.
    // Returns false, leaving the buffer empty, when the source fails or the string never fits.
    template <class Source>
    bool ReadFrom(Source&& source) noexcept
    {
        Truncate(0);
        for (std::size_t capacity = MAX_PATH; capacity <= 2 * (kLongestPath + 1); capacity *= 2)
        {
            if (!Reallocate(capacity))
                break;
            std::memset(m_pData, 0, capacity * sizeof(CharT));
            const std::size_t written = source(m_pData, capacity);
            if (written == 0)
                break;
            if (written < capacity)
            {
                if (written > kLongestPath)
                    break;
                m_pData[written] = CharT('\0');
                m_nLength = written;
                return true;
            }
        }
        Truncate(0);
        return false;
    }

    bool Assign(const CharT* text, std::size_t count) noexcept
    {
        Truncate(0);
        return Append(text, count);
    }

    bool Append(const CharT* text, std::size_t count) noexcept
    {
        if (count > kLongestPath || m_nLength + count > kLongestPath)
            return false;
        const std::size_t needed = m_nLength + count + 1;
        if (needed > m_nCapacity && !Reallocate(needed))
            return false;
        std::memcpy(m_pData + m_nLength, text, count * sizeof(CharT));
        m_nLength += count;
        m_pData[m_nLength] = CharT('\0');
        return true;
    }

    bool Append(CharT c) noexcept { return Append(&c, 1); }

    void Truncate(std::size_t count) noexcept
    {
        if (count < m_nLength)
        {
            m_nLength = count;
            m_pData[m_nLength] = CharT('\0');
        }
    }

private:
    bool Reallocate(std::size_t capacity) noexcept
    {
        void* const pGrown = std::realloc(m_pData, capacity * sizeof(CharT));
        if (pGrown == nullptr)
            return false;
        m_pData = static_cast<CharT*>(pGrown);
        m_nCapacity = capacity;
        // The buffer only grows, or is emptied before it is refilled, so the length still fits.
        m_pData[m_nLength] = CharT('\0');
        return true;
    }

    static constexpr CharT kEmpty = CharT('\0');

    CharT* m_pData = nullptr;
    std::size_t m_nLength = 0;
    std::size_t m_nCapacity = 0;
};

} // namespace kestrel
