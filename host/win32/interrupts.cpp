// interrupts.cpp: being interrupted, for Windows builds: a console control handler, which runs on
// a thread of its own, notes Ctrl-C, Ctrl-Break and the console's close.
#include <windows.h>

#include "host/os.h"

namespace host::os {
namespace {

volatile LONG g_exit_code = 0;
// Windows ends the process once the handler of a close returns: time for the waits to notice and
// say what goes on.
constexpr DWORD kCloseGraceMs = 4000;

BOOL WINAPI note(DWORD event) {
    InterlockedExchange(&g_exit_code, event == CTRL_C_EVENT ? kExitInterrupted : kExitTerminated);
    if (event == CTRL_CLOSE_EVENT) Sleep(kCloseGraceMs);
    return TRUE;
}

}  // namespace

void watch_interrupts() { SetConsoleCtrlHandler(note, TRUE); }

int interruption() { return static_cast<int>(InterlockedCompareExchange(&g_exit_code, 0, 0)); }

}  // namespace host::os
