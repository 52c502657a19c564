// engine_os.cpp: the fake engine's door, for posix (Linux) builds: getpid, getpriority, /proc,
// and the two variables the platform layer's posix start hands a started program in place of
// Windows' command line and show mode (their names are that start's, defined once in its header).
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "platform/posix/child_environment.h"
#include "tools/fake-engine/engine_os.h"

namespace fake_engine::os {

unsigned long process_id() { return static_cast<unsigned long>(getpid()); }

long priority() { return getpriority(PRIO_PROCESS, 0); }

std::optional<int> show_mode() {
    const char* text = std::getenv(platform::detail::kShowVariable);
    if (!text || !*text) return std::nullopt;
    return std::atoi(text);
}

std::string command_line(const char* program) {
    const char* parameters = std::getenv(platform::detail::kParametersVariable);
    return std::string(program) + " " + (parameters ? parameters : "");
}

std::filesystem::path own_program() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

void ignore_console_interrupt() { std::signal(SIGINT, SIG_IGN); }

}  // namespace fake_engine::os
