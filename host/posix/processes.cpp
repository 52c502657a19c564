// processes.cpp: counting the processes this program starts, for posix (Linux) builds: its
// children as /proc lists them.
//
// An engine a plug-in started is a child of this program until the plug-in's finish reaps it, so
// one that has already ended still stands in /proc as a zombie and is counted all the same.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/os.h"

namespace host::os {
namespace {

// The parent in /proc/PID/stat: the fourth field, after the program name in parentheses (which
// may itself hold blanks and parentheses) and the state.
long parent_of(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/stat");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos || close + 4 > text.size()) return 0;
    return std::strtol(text.c_str() + close + 4, nullptr, 10);
}

std::vector<unsigned long> children() {
    std::vector<unsigned long> found;
    const long self = getpid();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string pid = entry.path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        if (parent_of(pid) == self) found.push_back(std::stoul(pid));
    }
    return found;
}

}  // namespace

ProcessMark mark_processes() { return {children(), 0, true}; }

std::optional<StartedProcesses> processes_started_since(const ProcessMark& mark) {
    std::vector<unsigned long> started;
    for (const unsigned long pid : children())
        if (std::find(mark.children.begin(), mark.children.end(), pid) == mark.children.end()) started.push_back(pid);
    return StartedProcesses{started.size(), started};
}

}  // namespace host::os
