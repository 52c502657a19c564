// handles.cpp: counting the test program's open handles and child processes.
#include "tests/support/handles.h"

#ifdef _WIN32
#include <windows.h>

#include "tests/support/processes.h"
#else
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#endif

namespace test_support {

#ifdef _WIN32

std::size_t open_handle_count() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

// An ended child whose handle is still open keeps only a handle, which the handle count shows.
std::size_t child_process_count() { return running_children().size(); }

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

#endif

}  // namespace test_support
