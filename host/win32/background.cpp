// background.cpp: carrying on in the background, for Windows builds: not offered there.
#include "host/os.h"

namespace host::os {

std::string background_refusal() {
    return "--background is for posix systems; on Windows start it in a window of its own (start brannock-sim "
           "...) or with: start /b";
}

Detached detach(unsigned long*, std::string* error) {
    if (error) *error = background_refusal();
    return Detached::failed;
}

}  // namespace host::os
