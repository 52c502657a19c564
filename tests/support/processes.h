// processes.h: the test program's own child processes and whether a process still exists,
// natively and under Wine.
//
// An engine start is synchronous, so an engine the plug-in started is a child of the test
// program as soon as the export returns; listing the children right after a call shows whether
// it started one, with no wait.
#pragma once

#include <string>
#include <vector>

#include "host/os.h"

namespace test_support {

// The system's list of children is the stand-in's OS door's, written once.
using ChildProcess = host::os::ChildProcess;

// This process's children that have not ended (posix: zombies left out).
std::vector<ChildProcess> running_children();
// The running children whose program file name is `name`.
std::vector<ChildProcess> running_children_named(const std::string& name);
bool is_running_child(unsigned long pid);

// True while a process of that number exists (any process, not only a child).
bool process_exists(unsigned long pid);

}  // namespace test_support
