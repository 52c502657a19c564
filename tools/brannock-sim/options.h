// options.h: the brannock-sim command as a function, so tests can run it in-process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace sim {

// Runs brannock-sim with `args` (the words after the program name). Exit code: 0 done, 1 the
// scenario cannot be read or a port cannot be had, 2 usage error.
int run_brannock_sim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace sim
