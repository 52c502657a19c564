// processes.cpp: child processes and process existence: /proc on posix, the Tool Help snapshot
// and process handles on Windows.
#include "tests/support/processes.h"

#ifdef _WIN32
#include <windows.h>
#include <tlhelp32.h>
#else
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#endif

namespace test_support {

#ifdef _WIN32

namespace {

// When the process started; 0 when it cannot be asked.
ULONGLONG start_time(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Process numbers are reused, so a parent number alone may name an ended process whose number
// this one now has: a true child cannot have started before its parent.
bool started_after(DWORD pid, ULONGLONG parent_start) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return true;
    const ULONGLONG start = start_time(process);
    CloseHandle(process);
    return start == 0 || start >= parent_start;
}

}  // namespace

std::vector<ChildProcess> running_children() {
    std::vector<ChildProcess> children;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return children;
    const DWORD self = GetCurrentProcessId();
    const ULONGLONG self_start = start_time(GetCurrentProcess());
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID == self && started_after(entry.th32ProcessID, self_start))
            children.push_back({entry.th32ProcessID, entry.szExeFile});
    }
    CloseHandle(snapshot);
    return children;
}

bool process_exists(unsigned long pid) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

#else

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
    std::ifstream in("/proc/" + pid + "/stat");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t open = text.find('(');
    const std::size_t close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open || close + 4 > text.size())
        return false;
    out->name = text.substr(open + 1, close - open - 1);
    out->state = text[close + 2];
    out->parent = std::strtol(text.c_str() + close + 4, nullptr, 10);
    return true;
}

}  // namespace

std::vector<ChildProcess> running_children() {
    std::vector<ChildProcess> children;
    const long self = getpid();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        StatFields stat;
        if (!read_stat(pid, &stat) || stat.parent != self) continue;
        if (stat.state == 'Z' || stat.state == 'X') continue;   // ended, not yet reaped
        children.push_back({std::stoul(pid), stat.name});
    }
    return children;
}

bool process_exists(unsigned long pid) {
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

#endif

std::vector<ChildProcess> running_children_named(const std::string& name) {
    std::vector<ChildProcess> named;
    for (const ChildProcess& child : running_children())
        if (child.name == name) named.push_back(child);
    return named;
}

bool is_running_child(unsigned long pid) {
    for (const ChildProcess& child : running_children())
        if (child.pid == pid) return true;
    return false;
}

}  // namespace test_support
