// processes.cpp: child processes and process existence: the children as the stand-in's OS door
// lists them; existence by kill on posix, by a process handle on Windows.
#include "tests/support/processes.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>

#include <cerrno>
#endif

namespace test_support {

std::vector<ChildProcess> running_children() {
    std::vector<ChildProcess> running;
    for (ChildProcess& child : host::os::child_processes())
        if (!child.ended) running.push_back(std::move(child));
    return running;
}

#ifdef _WIN32

bool process_exists(unsigned long pid) {
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

#else

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
