// processes.cpp: the processes this program starts, for Windows builds: counted by a job
// object, listed by a Tool Help snapshot.
//
// The program puts itself into a job of its own once; every process it starts from then on joins
// the job, and the job's count of processes ever in it goes up for each, whether it still runs
// or has already ended (a snapshot of running processes would miss an engine that ended at once).
#include <windows.h>

#include <tlhelp32.h>

#include "host/os.h"
#include "host/utf.h"

namespace host::os {
namespace {

// The job this program is in, or null when the system refuses one.
HANDLE own_job() {
    static const HANDLE job = [] {
        HANDLE made = CreateJobObjectA(nullptr, nullptr);
        if (made && !AssignProcessToJobObject(made, GetCurrentProcess())) {
            CloseHandle(made);
            made = nullptr;
        }
        return made;
    }();
    return job;
}

std::optional<unsigned long> processes_ever_in_job() {
    const HANDLE job = own_job();
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!job || !QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info, nullptr))
        return std::nullopt;
    return info.TotalProcesses;
}

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

std::vector<ChildProcess> child_processes() {
    std::vector<ChildProcess> children;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return children;
    const DWORD self = GetCurrentProcessId();
    const ULONGLONG self_start = start_time(GetCurrentProcess());
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == self && started_after(entry.th32ProcessID, self_start))
            children.push_back({entry.th32ProcessID, utf16_to_utf8(reinterpret_cast<const char16_t*>(entry.szExeFile)),
                                false});
    }
    CloseHandle(snapshot);
    return children;
}

ProcessMark mark_processes() {
    const auto total = processes_ever_in_job();
    return {{}, total.value_or(0), total.has_value()};
}

std::optional<StartedProcesses> processes_started_since(const ProcessMark& mark) {
    const auto total = processes_ever_in_job();
    if (!mark.countable || !total || *total < mark.total) return std::nullopt;
    // The job keeps no numbers of the processes that have ended (an engine that failed at once
    // among them), so none are named.
    return StartedProcesses{*total - mark.total, std::nullopt};
}

}  // namespace host::os
