// background.cpp: carrying on in the background, for Windows builds: not offered there.
#include "host/os.h"

namespace host::os {

Detached detach(unsigned long*, std::string* error) {
    if (error) *error = "--background is for posix systems; on Windows start it with: start /b";
    return Detached::failed;
}

}  // namespace host::os
