// handles.cpp: counting the test program's open handles and child processes.
#include "tests/support/handles.h"

#ifdef _WIN32
#include <windows.h>

#include <cstddef>
#include <vector>

#include "tests/support/processes.h"
#else
#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#endif

namespace test_support {

#ifdef _WIN32

namespace {

// The system's list of every process's handles (SystemExtendedHandleInformation), as far as this
// program reads it.
constexpr ULONG kExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
struct HandleEntry {
    void* object;
    ULONG_PTR process_id;
    ULONG_PTR handle;
    ULONG access;
    USHORT back_trace;
    USHORT type;
    ULONG attributes;
    ULONG reserved;
};
struct HandleList {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

// This process's entries in the system's handle list; 0 when the list cannot be read. Wine keeps
// GetProcessHandleCount at 0 but answers this list from its server's handle tables.
std::size_t handles_in_system_list() {
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    std::vector<char> area(1 << 20);
    LONG status = 0;
    while ((status = query(kExtendedHandleInformation, area.data(), static_cast<ULONG>(area.size()), nullptr)) ==
               kInfoLengthMismatch &&
           area.size() < (std::size_t{1} << 28)) {
        area.resize(area.size() * 2);
    }
    if (status != 0) return 0;
    const auto* list = reinterpret_cast<const HandleList*>(area.data());
    const std::size_t room = (area.size() - offsetof(HandleList, entries)) / sizeof(HandleEntry);
    const ULONG_PTR self = GetCurrentProcessId();
    std::size_t count = 0;
    for (ULONG_PTR i = 0; i < list->count && i < room; ++i) count += list->entries[i].process_id == self ? 1 : 0;
    return count;
}

}  // namespace

std::size_t open_handle_count() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count != 0 ? count : handles_in_system_list();
}

// An ended child whose handle is still open keeps only a handle, which the handle count shows.
std::size_t child_process_count() { return running_children().size(); }

bool process_handles_counted(std::string* why) {
    if (open_handle_count() != 0) return true;
    *why = "neither GetProcessHandleCount nor the system's handle list answers here";
    return false;
}

#else

namespace {

std::size_t count_entries(const char* folder, bool (*wanted)(const char* name)) {
    DIR* dir = opendir(folder);
    if (!dir) return 0;
    std::size_t count = 0;
    while (const dirent* entry = readdir(dir)) count += wanted(entry->d_name) ? 1 : 0;
    closedir(dir);
    return count;
}

bool is_number(const char* name) { return name[0] >= '0' && name[0] <= '9'; }

// The parent number in /proc/<pid>/stat: the fourth field, after the name in parentheses.
bool is_own_child(const char* name) {
    if (!is_number(name)) return false;
    const std::string path = std::string("/proc/") + name + "/stat";
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return false;
    char line[512] = {};
    const bool read = std::fgets(line, sizeof line, file) != nullptr;
    std::fclose(file);
    const char* after_name = read ? std::strrchr(line, ')') : nullptr;
    long parent = 0;
    char state = 0;
    return after_name && std::sscanf(after_name + 1, " %c %ld", &state, &parent) == 2 && parent == getpid();
}

}  // namespace

// The directory stream counting them holds one entry of its own, not counted.
std::size_t open_handle_count() { return count_entries("/proc/self/fd", is_number) - 1; }

std::size_t child_process_count() { return count_entries("/proc", is_own_child); }

// The platform layer's process handle holds a pidfd where the kernel has pidfd_open.
bool process_handles_counted(std::string* why) {
#ifdef SYS_pidfd_open
    const long fd = syscall(SYS_pidfd_open, getpid(), 0);
    if (fd >= 0) {
        close(static_cast<int>(fd));
        return true;
    }
#endif
    *why = "this kernel has no pidfd_open (Linux 5.3 and later), so a process handle holds no descriptor";
    return false;
}

#endif

}  // namespace test_support
