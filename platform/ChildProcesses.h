#pragma once

// The processes this one started, and those they started in turn. A program
// that leaves at once, without its objects' teardown, would leave them running
// under the system's first process: a mail command in its own process group,
// the web engine's helpers.
class ChildProcesses
{
public:
    // Kills every descendant of this process, and every process group one of
    // them leads (what a command left running in its group goes with it).
    // Only C and POSIX calls, so it may run from an exit handler, when Qt's
    // objects may be half gone.
    static void endAll();

    // The live descendants of a process, at most kMostProcesses of the table;
    // for the checks that nothing is left.
    static int countDescendants(int pid);

    static constexpr int kMostProcesses = 100000;
};
