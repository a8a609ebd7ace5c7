// The framework's contract with the application object: InitInstance exactly once; on FALSE no
// Run, then ExitInstance, whose value (the current message's word parameter, 0) ends the process.

#include <afxwin.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace
{

class CRecordingApp : public CWinApp
{
public:
    BOOL initResult = FALSE;
    bool initThrows = false;
    std::string calls;

    BOOL InitInstance() override
    {
        calls += "init ";
        if (initThrows)
            throw std::runtime_error("out of memory");
        return initResult;
    }
    int Run() override
    {
        calls += "run ";
        return CWinApp::Run();
    }
    int ExitInstance() override
    {
        calls += "exit ";
        return CWinApp::ExitInstance();
    }
};

CRecordingApp theTestApp;

TEST(FrameworkTest, ConstructionRegistersTheApplicationObject)
{
    EXPECT_EQ(AfxGetApp(), &theTestApp);
    EXPECT_EQ(theTestApp.m_pszAppName, nullptr);
}

TEST(FrameworkTest, FalseFromInitInstanceSkipsRunAndExitsWithZero)
{
    theTestApp.calls.clear();
    theTestApp.initResult = FALSE;
    theTestApp.initThrows = false;
    EXPECT_EQ(AfxWinMain(), 0);
    EXPECT_EQ(theTestApp.calls, "init exit ");
}

TEST(FrameworkTest, TrueFromInitInstanceRunsTheLoop)
{
    theTestApp.calls.clear();
    theTestApp.initResult = TRUE;
    theTestApp.initThrows = false;
    EXPECT_EQ(AfxWinMain(), 0);
    EXPECT_EQ(theTestApp.calls, "init run exit ");
}

TEST(FrameworkTest, AnEscapingExceptionEndsWithFailure)
{
    theTestApp.calls.clear();
    theTestApp.initThrows = true;
    EXPECT_EQ(AfxWinMain(), kAfxExitUnhandledException);
    EXPECT_EQ(theTestApp.calls, "init ");
}

} // namespace
