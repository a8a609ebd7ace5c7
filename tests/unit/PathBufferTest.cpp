#include "PathBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace
{

// How GetModuleFileNameW behaves when the path does not fit.
enum class Truncation
{
    Unterminated, // Windows XP: fills the whole buffer, no terminating zero, returns the capacity
    Terminated    // later Windows: capacity - 1 characters and a zero, returns the capacity
};

struct ModulePathSource
{
    std::u16string path;
    Truncation truncation;
    int calls = 0;

    std::size_t operator()(char16_t* buffer, std::size_t capacity)
    {
        ++calls;
        if (path.size() < capacity)
        {
            std::copy(path.begin(), path.end(), buffer);
            buffer[path.size()] = u'\0';
            return path.size();
        }
        if (truncation == Truncation::Unterminated)
        {
            std::copy(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(capacity), buffer);
        }
        else
        {
            std::copy(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(capacity - 1), buffer);
            buffer[capacity - 1] = u'\0';
        }
        return capacity;
    }
};

std::u16string PathOfLength(std::size_t length)
{
    std::u16string path = u"C:\\";
    for (std::size_t i = 0; path.size() < length; ++i)
        path += (i % 50 == 49) ? u'\\' : static_cast<char16_t>(u'a' + i % 26);
    path.resize(length);
    return path;
}

class PathBufferReadTest : public testing::TestWithParam<std::tuple<std::size_t, Truncation>>
{
};

TEST_P(PathBufferReadTest, ReadsThePathWhole)
{
    const auto [length, truncation] = GetParam();
    ModulePathSource source{PathOfLength(length), truncation};

    kestrel::CPathBuffer<char16_t> buffer;
    ASSERT_TRUE(buffer.ReadFrom(source));
    EXPECT_EQ(buffer.length(), length);
    EXPECT_EQ(std::u16string(buffer.c_str()), source.path);
    EXPECT_EQ(source.calls == 1, length < MAX_PATH);
}

INSTANTIATE_TEST_SUITE_P(Lengths, PathBufferReadTest,
                         testing::Combine(testing::Values(1, 259, 260, 261, 519, 520, 4000, kestrel::kLongestPath),
                                          testing::Values(Truncation::Unterminated, Truncation::Terminated)));

TEST(PathBufferTest, FailedReadLeavesItEmpty)
{
    kestrel::CPathBuffer<char16_t> buffer;
    ASSERT_TRUE(buffer.Assign(u"stale", 5));
    EXPECT_FALSE(buffer.ReadFrom([](char16_t*, std::size_t) { return std::size_t{0}; }));
    EXPECT_EQ(buffer.length(), 0u);
    EXPECT_EQ(buffer.c_str()[0], u'\0');
}

TEST(PathBufferTest, GivesUpOnAPathThatNeverFits)
{
    int calls = 0;
    kestrel::CPathBuffer<char16_t> buffer;
    EXPECT_FALSE(buffer.ReadFrom([&calls](char16_t*, std::size_t capacity) {
        ++calls;
        return capacity;
    }));
    EXPECT_EQ(buffer.length(), 0u);
    EXPECT_LE(calls, 10);
}

TEST(PathBufferTest, AppendsAndTruncates)
{
    kestrel::CPathBuffer<char> buffer;
    EXPECT_STREQ(buffer.c_str(), "");
    ASSERT_TRUE(buffer.Assign("/opt/kestrel/LauncherKestrel", 28));
    buffer.Truncate(12);
    ASSERT_TRUE(buffer.Append('/'));
    ASSERT_TRUE(buffer.Append(std::string(1000, 'x').c_str(), 1000));
    EXPECT_EQ(std::string(buffer.c_str()), "/opt/kestrel/" + std::string(1000, 'x'));
}

TEST(PathBufferTest, RefusesToGrowPastTheLongestPath)
{
    const std::string longest(kestrel::kLongestPath, 'x');
    kestrel::CPathBuffer<char> buffer;
    ASSERT_TRUE(buffer.Assign(longest.c_str(), longest.size()));
    EXPECT_FALSE(buffer.Append('y'));
    EXPECT_EQ(buffer.length(), kestrel::kLongestPath);
}

} // namespace
