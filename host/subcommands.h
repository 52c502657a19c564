// subcommands.h: the sdll-host command as a function, so tests can run it in-process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace host {

// Runs sdll-host with `args` (the words after the program name); what it prints goes to `out`
// and `err`, the plug-in's own messages to stderr. Its exit code: 0 done, 1 the plug-in refused,
// no engine started, it ended at once, the master failed or a wait ran out, 2 usage, load or
// settings error.
int run_sdll_host(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace host
