#include "CompanionLaunch.h"

#include "LaunchFolder.h"
#include "Platform.h"

namespace kestrel
{

const platform::Char kCompanionFileName[] = PLATFORM_TEXT("Quillmere.exe");

namespace
{

using Style = platform::PathStyle;
using PathBuffer = CPathBuffer<platform::Char>;

LaunchResult OpenCompanionBesideLauncher(const platform::Arguments& arguments)
{
    PathBuffer folder;
    if (!platform::ReadExecutablePath(folder))
        return kLaunchFileNotFound;
    const std::size_t folderLength = LaunchFolderLength<Style>(folder.c_str(), folder.length());
    if (folderLength == 0)
        return kLaunchFileNotFound;
    folder.Truncate(folderLength);

    // The companion is named by its full path in the folder, so that a missing one is never
    // looked for anywhere else (current directory, search path, registered application paths).
    const std::size_t nameLength = sizeof(kCompanionFileName) / sizeof(kCompanionFileName[0]) - 1;
    PathBuffer companionPath;
    if (!MakePathInFolder<Style>(folder, kCompanionFileName, nameLength, companionPath))
        return kLaunchOutOfMemory;
    return platform::OpenCompanion(companionPath.c_str(), arguments, folder.c_str());
}

} // namespace

LaunchResult LaunchCompanion()
{
    const platform::Arguments arguments = platform::CompanionArguments();
    const LaunchResult result = OpenCompanionBesideLauncher(arguments);
    platform::ReportLaunchResult(result, DescribeLaunchResult(result));
    return result;
}

} // namespace kestrel
