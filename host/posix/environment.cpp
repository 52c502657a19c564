// environment.cpp: environment variables, for posix (Linux) builds: getenv, UTF-8 already.
#include <cstdlib>

#include "host/os.h"

namespace host::os {

std::optional<std::string> environment_variable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

}  // namespace host::os
