// handles.h: what a long run of games could leak: the test program's open handles and its child
// processes.
#pragma once

#include <cstddef>
#include <string>

namespace test_support {

// Open handles of this process: on Windows its kernel handles, on posix the entries of
// /proc/self/fd.
std::size_t open_handle_count();
// Child processes of this process that still hold a process entry, ended but unreaped (posix
// zombies) included.
std::size_t child_process_count();

// True when an open process handle shows in open_handle_count(); otherwise false, with the reason
// in `why`.
bool process_handles_counted(std::string* why);

}  // namespace test_support
