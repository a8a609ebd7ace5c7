/* Times whole-process launches, interleaved:
     KestrelBenchTimer <request file> <result file>
   The request file is UTF-16LE: the number of rounds, then for each candidate its name, program,
   command line and working directory (empty for the timer's own), each ending in a zero. Each
   round starts every candidate once, in an order that turns with the round, and times it from
   just before its creation to its end; whatever it started is left to finish, untimed, before
   the next start. The result file gets a line a run: <candidate name> <milliseconds>. */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

#include "fixture.h"

#define MOST_CANDIDATES 8

typedef struct
{
    wchar_t* name;
    wchar_t* program;
    wchar_t* commandLine;
    wchar_t* directory;
} Candidate;

static wchar_t g_request[65536];


static double TimeOne(const Candidate* candidate, LARGE_INTEGER frequency)
{
    static wchar_t commandLine[32768];
    lstrcpyW(commandLine, candidate->commandLine); /* CreateProcessW may write into it */
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    HANDLE job = CreateJobForStartedPrograms();
    LARGE_INTEGER started, ended;

    QueryPerformanceCounter(&started);
    if (!CreateProcessW(candidate->program, commandLine, NULL, NULL, FALSE, CREATE_SUSPENDED, NULL,
                        *candidate->directory ? candidate->directory : NULL, &startup, &process))
        return -1.0;
    AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    WaitForSingleObject(process.hProcess, 30000);
    QueryPerformanceCounter(&ended);

    WaitForEmptyJob(job, 30000, 1); /* untimed: what the candidate started ends first */
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(job);
    return (double)(ended.QuadPart - started.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR tail, int show)
{
    (void)instance; (void)previous; (void)tail; (void)show;
    wchar_t** argv = ProgramArguments(3);
    if (argv == NULL)
        return 100;
    const wchar_t* end = ReadRequestFile(argv[1], g_request, sizeof(g_request) / sizeof(g_request[0]));
    if (end == NULL)
        return 101;

    const int rounds = _wtoi(g_request);
    Candidate candidates[MOST_CANDIDATES];
    int count = 0;
    for (wchar_t* field = NextField(g_request, end); field && field < end && count < MOST_CANDIDATES; ++count)
    {
        Candidate* c = &candidates[count];
        c->name = field;
        c->program = NextField(field, end);
        c->commandLine = c->program ? NextField(c->program, end) : NULL;
        c->directory = c->commandLine ? NextField(c->commandLine, end) : NULL;
        if (c->directory == NULL)
            return 102;
        field = NextField(c->directory, end);
    }
    if (rounds < 1 || count < 1)
        return 103;

    GetDesktopWindow(); /* Wine's desktop process starts now, not inside a timed run */
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    FILE* result = _wfopen(argv[2], L"w");
    if (result == NULL)
        return 104;
    for (int round = 0; round < rounds; ++round)
    {
        for (int i = 0; i < count; ++i)
        {
            const Candidate* candidate = &candidates[(round + i) % count];
            fwprintf(result, L"%ls %.3f\n", candidate->name, TimeOne(candidate, frequency));
        }
    }
    fclose(result);
    return 0;
}
