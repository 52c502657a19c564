// processes.cpp: the processes this program starts, for posix (Linux) builds: its children as
// /proc lists them.
//
// An engine a plug-in started is a child of this program until the plug-in's finish reaps it, so
// one that has already ended still stands in /proc as a zombie and is counted all the same.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/os.h"

namespace host::os {
namespace {

// The fields of /proc/PID/stat a child list needs: name, state and parent. The name stands in
// parentheses and may itself hold blanks and parentheses, so the fields after it are found from
// the last closing one.
struct StatFields {
    std::string name;
    char state = 0;
    long parent = 0;
};

bool read_stat(const std::string& pid, StatFields* out) {
    // A child that ends while its line is read makes the read fail (ESRCH): getline, unlike a
    // stream-buffer iterator, turns that into a failed stream rather than an exception.
    std::ifstream in("/proc/" + pid + "/stat");
    std::string text;
    if (!std::getline(in, text, '\0')) return false;  // the whole file: a name may hold a line end
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open || close + 4 > text.size())
        return false;
    out->name = text.substr(open + 1, close - open - 1);
    out->state = text[close + 2];
    out->parent = std::strtol(text.c_str() + close + 4, nullptr, 10);
    return true;
}

std::vector<unsigned long> child_ids() {
    std::vector<unsigned long> ids;
    for (const ChildProcess& child : child_processes()) ids.push_back(child.pid);
    return ids;
}

}  // namespace

std::vector<ChildProcess> child_processes() {
    std::vector<ChildProcess> children;
    const long self = getpid();
    std::error_code ec;
    // Entries come and go while /proc is listed: step with an error code so a vanished one ends
    // the listing quietly instead of throwing.
    for (std::filesystem::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string pid = it->path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
        StatFields stat;
        if (!read_stat(pid, &stat) || stat.parent != self) continue;
        children.push_back({std::stoul(pid), stat.name, stat.state == 'Z' || stat.state == 'X'});
    }
    return children;
}

ProcessMark mark_processes() { return {child_ids(), 0, true}; }

std::optional<StartedProcesses> processes_started_since(const ProcessMark& mark) {
    std::vector<unsigned long> started;
    for (const unsigned long pid : child_ids())
        if (std::find(mark.children.begin(), mark.children.end(), pid) == mark.children.end()) started.push_back(pid);
    return StartedProcesses{started.size(), started};
}

}  // namespace host::os
