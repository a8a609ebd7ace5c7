#include "RecordingPlatform.h"

#include <afxwin.h>

#include <new>

namespace recording
{
namespace
{
Scenario g_scenario;
std::vector<std::string> g_calls;

char* g_argv[] = {const_cast<char*>("/a"), const_cast<char*>("b c"), nullptr};
} // namespace

void Start(const Scenario& scenario)
{
    g_scenario = scenario;
    g_calls.clear();
}

const std::vector<std::string>& Calls()
{
    return g_calls;
}

} // namespace recording

using recording::g_calls;
using recording::g_scenario;

// The framework's base initialisation, recorded instead of run.
BOOL CWinApp::InitInstance()
{
    g_calls.push_back("base InitInstance");
    return TRUE;
}

namespace platform
{

bool InstanceMutexExists(const Char* name)
{
    g_calls.push_back(std::string("open ") + name);
    return g_scenario.mutexExists;
}

MutexCreation CreateInstanceMutex(const Char* name)
{
    g_calls.push_back(std::string("create ") + name);
    return g_scenario.creation;
}

void ReleaseInstanceMutex(MutexHandle hMutex)
{
    g_calls.push_back("release " + std::to_string(hMutex));
}

void InitCommonControlClasses(const CommonControlsRecord& record)
{
    g_calls.push_back("common controls size " + std::to_string(record.dwSize) + " classes " +
                      std::to_string(record.dwICC));
}

Arguments CompanionArguments()
{
    g_calls.push_back("arguments");
    return Arguments{recording::g_argv};
}

bool ReadExecutablePath(kestrel::CPathBuffer<Char>& path)
{
    g_calls.push_back("executable path");
    const std::string& source = g_scenario.executablePath;
    return g_scenario.executablePathReadable && path.Assign(source.c_str(), source.size());
}

kestrel::LaunchResult OpenCompanion(const Char* companionPath, const Arguments& arguments, const Char* folder)
{
    std::string call = std::string("launch ") + companionPath + " in " + folder + " with";
    for (char* const* argument = arguments.argv; *argument != nullptr; ++argument)
        call += std::string(" [") + *argument + "]";
    g_calls.push_back(call);
    if (g_scenario.openThrows)
        throw std::bad_alloc();
    return g_scenario.openResult;
}

void ReportLaunchResult(kestrel::LaunchResult result, const char* description)
{
    g_calls.push_back("report " + std::to_string(result) + " " + description);
}

} // namespace platform
