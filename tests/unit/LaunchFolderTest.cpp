#include "LaunchFolder.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace
{

struct FolderCase
{
    const char* name;
    std::wstring path;
    std::wstring expectedFolder;
};

// Shown in the test's listing in place of the case's bytes.
void PrintTo(const FolderCase& c, std::ostream* os)
{
    *os << c.name;
}

class WindowsLaunchFolderTest : public testing::TestWithParam<FolderCase>
{
};

TEST_P(WindowsLaunchFolderTest, CutsTheFileNameButKeepsTheRoot)
{
    const FolderCase& c = GetParam();
    const std::size_t length = kestrel::LaunchFolderLength<kestrel::WindowsPathStyle>(c.path.c_str(), c.path.size());
    EXPECT_EQ(c.path.substr(0, length), c.expectedFolder);
}

INSTANTIATE_TEST_SUITE_P(
    ModulePaths, WindowsLaunchFolderTest,
    testing::Values(
        FolderCase{"Folder", L"C:\\Apps\\LauncherKestrel.exe", L"C:\\Apps"},
        FolderCase{"NestedFolderWithBlanks", L"C:\\Program Files\\Kestrel Scan\\LauncherKestrel.exe",
                   L"C:\\Program Files\\Kestrel Scan"},
        FolderCase{"DriveRoot", L"C:\\LauncherKestrel.exe", L"C:\\"},
        FolderCase{"UncShare", L"\\\\server\\share\\LauncherKestrel.exe", L"\\\\server\\share"},
        FolderCase{"UncFolder", L"\\\\server\\share\\apps\\LauncherKestrel.exe", L"\\\\server\\share\\apps"},
        FolderCase{"LongPathPrefix", L"\\\\?\\C:\\Apps\\LauncherKestrel.exe", L"\\\\?\\C:\\Apps"},
        FolderCase{"LongPathPrefixRoot", L"\\\\?\\C:\\LauncherKestrel.exe", L"\\\\?\\C:\\"},
        FolderCase{"LongPathUnc", L"\\\\?\\UNC\\server\\share\\LauncherKestrel.exe", L"\\\\?\\UNC\\server\\share"},
        FolderCase{"RootOfCurrentDrive", L"\\LauncherKestrel.exe", L"\\"},
        FolderCase{"BareFileName", L"LauncherKestrel.exe", L""},
        FolderCase{"Empty", L"", L""}),
    [](const testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });

TEST(PosixLaunchFolderTest, CutsTheFileNameButKeepsTheRoot)
{
    const struct
    {
        std::string path;
        std::string folder;
    } cases[] = {{"/opt/kestrel/LauncherKestrel", "/opt/kestrel"}, {"/LauncherKestrel", "/"}, {"LauncherKestrel", ""}};
    for (const auto& c : cases)
    {
        const std::size_t length = kestrel::LaunchFolderLength<kestrel::PosixPathStyle>(c.path.c_str(), c.path.size());
        EXPECT_EQ(c.path.substr(0, length), c.folder) << c.path;
    }
}

TEST(LaunchFolderTest, CompanionPathJoinsFolderAndNameWithOneSeparator)
{
    const struct
    {
        std::wstring folder;
        std::wstring path;
    } cases[] = {{L"C:\\Apps", L"C:\\Apps\\Quillmere.exe"},
                 {L"C:\\", L"C:\\Quillmere.exe"},
                 {L"\\\\server\\share", L"\\\\server\\share\\Quillmere.exe"},
                 {L"\\\\?\\C:\\", L"\\\\?\\C:\\Quillmere.exe"}};
    for (const auto& c : cases)
    {
        kestrel::CPathBuffer<wchar_t> folder;
        kestrel::CPathBuffer<wchar_t> path;
        ASSERT_TRUE(folder.Assign(c.folder.c_str(), c.folder.size()));
        ASSERT_TRUE(kestrel::MakePathInFolder<kestrel::WindowsPathStyle>(folder, L"Quillmere.exe", 13, path));
        EXPECT_EQ(std::wstring(path.c_str()), c.path);
    }
}

} // namespace
