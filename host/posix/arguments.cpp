// arguments.cpp: the command-line words, for posix (Linux) builds: argv as it is, UTF-8 already.
#include "host/os.h"

namespace host::os {

std::vector<std::string> arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace host::os
