// process.cpp: starting and supervising engine processes, for Windows builds.
//
// A start is ShellExecuteExA with SEE_MASK_NOCLOSEPROCESS, so the handle of the new process comes
// back; the handle is the ProcessHandle. Waiting, terminating and closing are the kernel calls on
// that handle.
#include "platform/platform.h"
#include "platform/system_calls.h"
#include "platform/win32/windows_headers.h"

#include <shellapi.h>

namespace platform {
namespace {

// The show modes the engines are promised: a hosted server starts minimised, every other engine
// shown normally.
constexpr int kShowMinimized = SW_MINIMIZE;
constexpr int kShowNormal = SW_SHOWNORMAL;
// A stopped server ends as if it had quit by itself.
constexpr UINT kTerminatedExitCode = 0;

#ifndef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "the launcher's engines are started with the 60-byte structure");
#endif

}  // namespace

ProcessHandle system::start_process(const std::string& file, const std::string& parameters,
                            const std::string& folder, ShowMode show) {
    SHELLEXECUTEINFOA info{};   // the process handle is cleared before the call
    info.cbSize = sizeof info;
    // The process handle and nothing else: a start that fails shows the system's own message,
    // since no caller shows one of its own.
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = show == ShowMode::minimized ? kShowMinimized : kShowNormal;
    if (!ShellExecuteExA(&info)) return nullptr;
    // A document opened in an already running program yields no process of its own.
    return info.hProcess;
}

void set_high_priority(ProcessHandle process) {
    if (process) SetPriorityClass(static_cast<HANDLE>(process), HIGH_PRIORITY_CLASS);
}

WaitResult system::wait_process(ProcessHandle process, unsigned milliseconds) {
    if (!process) return WaitResult::failed;
    switch (WaitForSingleObject(static_cast<HANDLE>(process), milliseconds)) {
        case WAIT_OBJECT_0: return WaitResult::ended;
        case WAIT_TIMEOUT: return WaitResult::running;
        default: return WaitResult::failed;
    }
}

// Returns at once: the finish that calls it holds the launcher's thread no longer than its own
// 1 ms wait. The process is gone shortly after; what waits on it waits on the handle.
void terminate_process(ProcessHandle process) {
    if (process) TerminateProcess(static_cast<HANDLE>(process), kTerminatedExitCode);
}

void close_process(ProcessHandle process) {
    if (process) CloseHandle(static_cast<HANDLE>(process));
}

void sleep_ms(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace platform
