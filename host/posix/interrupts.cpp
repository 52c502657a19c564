// interrupts.cpp: being interrupted, for posix (Linux) builds: SIGINT and SIGTERM noted by a
// handler that only stores which came (without SA_RESTART, so a wait in poll returns at once).
#include <signal.h>

#include "host/os.h"

namespace host::os {
namespace {

volatile sig_atomic_t g_exit_code = 0;

void note(int signal_number) { g_exit_code = signal_number == SIGINT ? kExitInterrupted : kExitTerminated; }

}  // namespace

void watch_interrupts() {
    struct sigaction action {};
    action.sa_handler = note;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int interruption() { return g_exit_code; }

}  // namespace host::os
