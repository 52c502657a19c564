// environment.cpp: environment variables for the test program and its children.
#include "tests/support/environment.h"

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#else
#include <cstdlib>
#endif

namespace test_support {

void set_env(const std::string& name, const std::string& value) {
#ifdef _WIN32
    // The C runtime keeps a copy of its own; processes started with the Windows calls get the
    // system's.
    SetEnvironmentVariableA(name.c_str(), value.c_str());
    _putenv((name + "=" + value).c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

}  // namespace test_support
