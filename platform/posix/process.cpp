// process.cpp: starting and supervising engine processes, for posix (Linux) builds.
//
// A start splits the Windows-style parameter text as a Windows program would see it and runs the
// file with posix_spawn in the given folder. A handle is a heap record of the child's pid, a
// pidfd of the child (Linux 5.3 and later) and whether it has been reaped. Like a Windows process
// handle, the pidfd is a kernel object of the launcher's: a wait sleeps on it until the child ends,
// and a handle never closed stays among the process's open descriptors, where it can be counted.
// On an older kernel the handle is the record alone and a wait polls waitpid with WNOHANG.
// Terminating is SIGKILL and a reap. There are no windows here, so the show mode and the whole
// parameter text reach the child through two variables of its own environment
// (child_environment.h), as Windows hands them over. The child runs in a process group of its
// own, so a terminal's Ctrl-C meant for the launcher does not end the game.
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/system_calls.h"
#include "platform/posix/child_environment.h"
#include "platform/posix/windows_arguments.h"

extern char** environ;

namespace platform {
namespace {

// The counterpart of HIGH_PRIORITY_CLASS; raising priority may be refused, which is fine.
constexpr int kHighPriorityNice = -10;
// Longest single sleep while polling a running child that has no pidfd.
constexpr auto kPollStep = std::chrono::milliseconds(1);

struct Process {
    pid_t pid;
    int pidfd;   // -1 where the kernel has no pidfd_open
    bool ended;
};

Process* as_process(ProcessHandle handle) { return static_cast<Process*>(handle); }

// The path execve will open: a relative file name is taken in the working folder.
std::string path_to_run(const std::string& file, const std::string& folder) {
    if (file.front() == '/' || folder.empty()) return file;
    return folder.back() == '/' ? folder + file : folder + '/' + file;
}

// A descriptor that refers to the child itself, close-on-exec. -1 on a kernel before Linux 5.3
// (ENOSYS), or when no descriptor is left; the handle then works without one.
int open_pidfd(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

void close_pidfd(const Process* p) {
    if (p->pidfd >= 0) close(p->pidfd);
}

// Sleeps until the child ends or `remaining` has passed: on its pidfd, which turns readable as the
// child ends, or in short steps where there is none.
void sleep_on_child(const Process* p, std::chrono::steady_clock::duration remaining) {
    if (p->pidfd < 0) {
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(remaining, kPollStep));
        return;
    }
    // Whole milliseconds, rounded up, so a wait never returns before its time.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(remaining).count();
    pollfd entry{p->pidfd, POLLIN, 0};
    poll(&entry, 1, static_cast<int>(std::min<long long>(ms, INT_MAX)));   // EINTR: the caller looks again
}

// Checked before spawning so that a failed start leaves no child behind, whatever the C
// library's posix_spawn reports.
bool can_run(const std::string& path, const std::string& folder) {
    struct stat st {};
    if (!folder.empty() && (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) return false;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Reaps the child if it has ended; true when it has (or is no child of ours any more).
bool reap(Process* p, bool block) {
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(p->pid, &status, block ? 0 : WNOHANG);
        if (r == p->pid) return p->ended = true;
        if (r == 0) return false;
        if (errno == EINTR) continue;
        // ECHILD: someone else reaped it (or children are reaped automatically): it is gone.
        return p->ended = errno == ECHILD;
    }
}

// Children whose handle was closed while they ran; reaped on later calls once they end, so none
// stays a zombie for the rest of the launcher's life.
std::vector<pid_t>& abandoned() {
    static std::vector<pid_t> pids;
    return pids;
}

void reap_abandoned() {
    auto& pids = abandoned();
    for (std::size_t i = 0; i < pids.size();) {
        Process p{pids[i], -1, false};
        if (reap(&p, false)) {
            pids[i] = pids.back();
            pids.pop_back();
        } else {
            ++i;
        }
    }
}

bool names_variable(const char* entry, const char* name) {
    const std::size_t length = std::strlen(name);
    return std::strncmp(entry, name, length) == 0 && entry[length] == '=';
}

// The launcher's environment, with the start's own parameter text and show mode in place of any
// inherited ones. `own` keeps the two new entries alive while the result is used.
std::vector<char*> child_environment(const std::string& parameters, ShowMode show,
                                     std::vector<std::string>* own) {
    own->push_back(std::string(detail::kParametersVariable) + '=' + parameters);
    own->push_back(std::string(detail::kShowVariable) + '=' +
                   std::to_string(show == ShowMode::minimized ? detail::kShowMinimizeNumber
                                                              : detail::kShowNormalNumber));
    std::vector<char*> env;
    for (char** entry = environ; entry && *entry; ++entry) {
        if (names_variable(*entry, detail::kParametersVariable) || names_variable(*entry, detail::kShowVariable))
            continue;
        env.push_back(*entry);
    }
    for (std::string& entry : *own) env.push_back(entry.data());
    env.push_back(nullptr);
    return env;
}

pid_t spawn(const std::string& file, const std::vector<std::string>& args, const std::string& folder,
            const std::vector<char*>& env) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    // The child starts with no blocked signals, whatever the launcher's thread has blocked.
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    // A process group of its own, as a Windows engine has its own window: a terminal's Ctrl-C
    // reaches the launcher only, and the game goes on.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

    pid_t pid = 0;
    const int rc = posix_spawn(&pid, file.c_str(), &actions, &attributes, argv.data(), env.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

}  // namespace

ProcessHandle system::start_process(const std::string& file, const std::string& parameters,
                            const std::string& folder, ShowMode show) {
    reap_abandoned();
    if (file.empty() || !can_run(path_to_run(file, folder), folder)) return nullptr;
    std::vector<std::string> args = detail::split_command_line(parameters);
    args.insert(args.begin(), file);
    std::vector<std::string> own_variables;
    const pid_t pid = spawn(file, args, folder, child_environment(parameters, show, &own_variables));
    if (pid <= 0) return nullptr;
    auto* p = new (std::nothrow) Process{pid, open_pidfd(pid), false};
    if (!p) {
        Process orphan{pid, -1, false};
        kill(pid, SIGKILL);
        reap(&orphan, true);
    }
    return p;
}

void set_high_priority(ProcessHandle process) {
    Process* p = as_process(process);
    if (p && !p->ended) setpriority(PRIO_PROCESS, static_cast<id_t>(p->pid), kHighPriorityNice);
}

WaitResult system::wait_process(ProcessHandle process, unsigned milliseconds) {
    Process* p = as_process(process);
    if (!p) return WaitResult::failed;
    reap_abandoned();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (p->ended || reap(p, false)) return WaitResult::ended;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return WaitResult::running;
        sleep_on_child(p, deadline - now);
    }
}

void terminate_process(ProcessHandle process) {
    Process* p = as_process(process);
    if (!p || p->ended) return;
    kill(p->pid, SIGKILL);
    reap(p, true);
}

void close_process(ProcessHandle process) {
    Process* p = as_process(process);
    if (!p) return;
    // An ended child is reaped now; a running one is left to run, as closing a Windows handle
    // does, and reaped by a later call once it has ended.
    if (!p->ended && !reap(p, false)) {
        try {
            abandoned().push_back(p->pid);
        } catch (...) {
            // Out of memory: the child is merely left unreaped.
        }
    }
    reap_abandoned();
    close_pidfd(p);
    delete p;
}

void sleep_ms(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace platform
