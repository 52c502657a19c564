// engine_os.cpp: the fake engine's door, for Windows builds: GetCurrentProcessId,
// GetPriorityClass, GetStartupInfoA, GetCommandLineA, GetModuleFileNameA and SetConsoleCtrlHandler.
#include <windows.h>

#include "tools/fake-engine/engine_os.h"

namespace fake_engine::os {

unsigned long process_id() { return GetCurrentProcessId(); }

long priority() { return static_cast<long>(GetPriorityClass(GetCurrentProcess())); }

std::optional<int> show_mode() {
    STARTUPINFOA info{};
    info.cb = sizeof info;
    GetStartupInfoA(&info);
    if (!(info.dwFlags & STARTF_USESHOWWINDOW)) return std::nullopt;
    return info.wShowWindow;
}

std::string command_line(const char*) { return GetCommandLineA(); }

std::filesystem::path own_program() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(std::string(path, length < MAX_PATH ? length : 0));
}

void ignore_console_interrupt() { SetConsoleCtrlHandler(nullptr, TRUE); }

}  // namespace fake_engine::os
