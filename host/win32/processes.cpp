// processes.cpp: counting the processes this program starts, for Windows builds: a job object.
//
// The program puts itself into a job of its own once; every process it starts from then on joins
// the job, and the job's count of processes ever in it goes up for each, whether it still runs
// or has already ended (a snapshot of running processes would miss an engine that ended at once).
#include <windows.h>

#include "host/os.h"

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

}  // namespace

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
