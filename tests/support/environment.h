// environment.h: setting an environment variable for the test program and what it starts.
#pragma once

#include <string>

namespace test_support {

// Sets `name` for this process and every process it starts from now on.
void set_env(const std::string& name, const std::string& value);

}  // namespace test_support
