/* Runs a program and prints its peak resident memory in KiB. A process's peak includes what it
   held before its exec, so the program is started from this small static process rather than
   from the benchmark's interpreter, whose memory would be counted instead. */
#include <spawn.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    pid_t child;
    if (posix_spawn(&child, argv[1], NULL, NULL, argv + 1, environ) != 0)
        return 3;
    int status;
    struct rusage usage;
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return 4;
    printf("%ld\n", usage.ru_maxrss);
    return 0;
}
