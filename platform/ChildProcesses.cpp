#include "ChildProcesses.h"

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <unistd.h>
#include <vector>

namespace {

struct Process
{
    pid_t pid;
    pid_t parent;
    pid_t group;
    char state;
};

// One line of /proc/<pid>/stat: "pid (name) state ppid pgrp ..."; the name may
// hold blanks and parentheses, so the fields are read after its last ')'.
bool readProcess(pid_t pid, Process &process)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", int(pid));
    FILE *file = std::fopen(path, "re");
    if (!file)
        return false; // gone meanwhile
    char line[1024];
    const size_t length = std::fread(line, 1, sizeof line - 1, file);
    std::fclose(file);
    line[length] = '\0';
    const char *afterName = std::strrchr(line, ')');
    int parent = 0, group = 0;
    char state = 0;
    if (!afterName || std::sscanf(afterName + 1, " %c %d %d", &state, &parent, &group) != 3)
        return false;
    process = {pid, pid_t(parent), pid_t(group), state};
    return true;
}

std::vector<Process> processTable()
{
    std::vector<Process> table;
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return table;
    while (const dirent *entry = ::readdir(proc)) {
        if (table.size() >= size_t(ChildProcesses::kMostProcesses))
            break;
        if (!std::isdigit(static_cast<unsigned char>(entry->d_name[0])))
            continue;
        Process process{};
        if (readProcess(pid_t(std::atoi(entry->d_name)), process) && process.state != 'Z')
            table.push_back(process);
    }
    ::closedir(proc);
    return table;
}

// Each pass adds the children of those found so far; a tree is found whole in
// as many passes as it is deep, and no pass finds more than the table holds.
std::vector<Process> descendantsOf(pid_t root, const std::vector<Process> &table)
{
    std::vector<pid_t> family{root};
    std::vector<Process> found;
    for (bool grew = true; grew;) {
        grew = false;
        for (const Process &p : table) {
            const bool known = std::find(family.begin(), family.end(), p.pid) != family.end();
            if (!known && std::find(family.begin(), family.end(), p.parent) != family.end()) {
                family.push_back(p.pid);
                found.push_back(p);
                grew = true;
            }
        }
    }
    return found;
}

} // namespace

void ChildProcesses::endAll()
{
    const pid_t self = ::getpid();
    for (const Process &p : descendantsOf(self, processTable())) {
        if (p.group == p.pid && p.group != ::getpgrp())
            ::kill(-p.group, SIGKILL);
        ::kill(p.pid, SIGKILL);
    }
}

int ChildProcesses::countDescendants(int pid)
{
    return int(descendantsOf(pid_t(pid), processTable()).size());
}
