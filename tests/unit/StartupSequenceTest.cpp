// The launcher's start-up, step by step, through the global application object (and the
// framework's entry where an exception escapes), against the recording platform.

#include "LauncherKestrelApp.h"
#include "RecordingPlatform.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace
{

const std::string kOpen = "open {7C3E91A4-2D6B-4f08-9A5E-C41B7D0E83F2}";
const std::string kCreate = "create {7C3E91A4-2D6B-4f08-9A5E-C41B7D0E83F2}";
const std::string kCommonControls = "common controls size 8 classes 255";
const std::string kBase = "base InitInstance";
const std::string kArguments = "arguments";
const std::string kPath = "executable path";
const std::string kLaunch = "launch /opt/kestrel/Quillmere.exe in /opt/kestrel with [/a] [b c]";
const std::string kRelease = "release 7";

struct StartupCase
{
    const char* name;
    recording::Scenario scenario;
    std::vector<std::string> expectedCalls;
    int expectedExitCode;
};

// Shown in the test's listing in place of the case's bytes.
void PrintTo(const StartupCase& c, std::ostream* os)
{
    *os << c.name;
}

recording::Scenario With(void (*change)(recording::Scenario&))
{
    recording::Scenario scenario;
    change(scenario);
    return scenario;
}

class StartupSequenceTest : public testing::TestWithParam<StartupCase>
{
};

TEST_P(StartupSequenceTest, RunsItsStepsInOrder)
{
    const StartupCase& c = GetParam();
    recording::Start(c.scenario);

    ASSERT_EQ(AfxGetApp(), &theApp);
    if (c.scenario.openThrows)
    {
        // Through the framework's entry, which must not report success.
        EXPECT_EQ(AfxWinMain(), c.expectedExitCode);
    }
    else
    {
        // FALSE on every path keeps the framework out of its message loop; ExitInstance then
        // gives the exit code.
        EXPECT_EQ(theApp.InitInstance(), FALSE);
        EXPECT_EQ(theApp.ExitInstance(), c.expectedExitCode);
    }
    EXPECT_EQ(recording::Calls(), c.expectedCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, StartupSequenceTest,
    testing::Values(
        StartupCase{"FirstLauncher",
                    {},
                    {kOpen, kCreate, kCommonControls, kBase, kArguments, kPath, kLaunch,
                     "report 42 successful, returned a value greater than 32", kRelease},
                    0},
        StartupCase{"AnotherLauncherAtWork",
                    With([](recording::Scenario& s) { s.mutexExists = true; }),
                    {kOpen},
                    0},
        StartupCase{"AnotherLauncherCreatedItFirst",
                    With([](recording::Scenario& s) { s.creation = {7, true}; }),
                    {kOpen, kCreate},
                    0},
        StartupCase{"CreationFailedLaunchesAnyway",
                    With([](recording::Scenario& s) { s.creation = {platform::kNoMutex, true}; }),
                    {kOpen, kCreate, kCommonControls, kBase, kArguments, kPath, kLaunch,
                     "report 42 successful, returned a value greater than 32"},
                    0},
        StartupCase{"CompanionMissing",
                    With([](recording::Scenario& s) { s.openResult = 2; }),
                    {kOpen, kCreate, kCommonControls, kBase, kArguments, kPath, kLaunch,
                     "report 2 The specified file was not found.", kRelease},
                    0},
        StartupCase{"OwnPathUnreadableLaunchesNothing",
                    With([](recording::Scenario& s) { s.executablePathReadable = false; }),
                    {kOpen, kCreate, kCommonControls, kBase, kArguments, kPath,
                     "report 2 The specified file was not found.", kRelease},
                    0},
        StartupCase{"LauncherInTheRoot",
                    With([](recording::Scenario& s) { s.executablePath = "/LauncherKestrel"; }),
                    {kOpen, kCreate, kCommonControls, kBase, kArguments, kPath,
                     "launch /Quillmere.exe in / with [/a] [b c]",
                     "report 42 successful, returned a value greater than 32", kRelease},
                    0},
        StartupCase{"ExceptionFromTheLaunchStillReleases",
                    With([](recording::Scenario& s) { s.openThrows = true; }),
                    {kOpen, kCreate, kCommonControls, kBase, kArguments, kPath, kLaunch, kRelease},
                    kAfxExitUnhandledException}),
    [](const testing::TestParamInfo<StartupCase>& info) { return std::string(info.param.name); });

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
