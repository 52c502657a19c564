// process.cpp: starting and supervising engine processes, for Windows builds.
//
// A start is ShellExecuteExA with SEE_MASK_NOCLOSEPROCESS, so the handle of the new process comes
// back; the handle is the ProcessHandle. Waiting, terminating and closing are the kernel calls on
// that handle.
#include "platform/platform.h"
#include "platform/win32/windows_headers.h"

#include <shellapi.h>

namespace platform {
namespace {

// How long a terminate waits for the process to be gone, so that files it held open (the
// response file) can be restored right after.
constexpr DWORD kTerminateWaitMs = 2000;
constexpr UINT kTerminatedExitCode = 1;

}  // namespace

ProcessHandle start_process(const std::string& file, const std::string& parameters,
                            const std::string& folder, ShowMode show) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    // No shell error box: a failed start is reported to the caller, who shows its own message;
    // a system dialog would block the launcher's thread.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = show == ShowMode::minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) return nullptr;
    // A document opened in an already running program yields no process of its own.
    return info.hProcess;
}

void set_high_priority(ProcessHandle process) {
    if (process) SetPriorityClass(static_cast<HANDLE>(process), HIGH_PRIORITY_CLASS);
}

WaitResult wait_process(ProcessHandle process, unsigned milliseconds) {
    if (!process) return WaitResult::failed;
    switch (WaitForSingleObject(static_cast<HANDLE>(process), milliseconds)) {
        case WAIT_OBJECT_0: return WaitResult::ended;
        case WAIT_TIMEOUT: return WaitResult::running;
        default: return WaitResult::failed;
    }
}

void terminate_process(ProcessHandle process) {
    if (!process) return;
    const HANDLE handle = static_cast<HANDLE>(process);
    if (TerminateProcess(handle, kTerminatedExitCode)) WaitForSingleObject(handle, kTerminateWaitMs);
}

void close_process(ProcessHandle process) {
    if (process) CloseHandle(static_cast<HANDLE>(process));
}

void sleep_ms(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace platform
