// background.cpp: carrying on in the background, for posix (Linux) builds: fork and setsid.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/os.h"

namespace host::os {

std::string background_refusal() { return ""; }

Detached detach(unsigned long* child, std::string* error) {
    const pid_t pid = fork();
    if (pid < 0) {
        if (error) *error = std::string("cannot fork: ") + std::strerror(errno);
        return Detached::failed;
    }
    if (pid > 0) {
        *child = static_cast<unsigned long>(pid);
        return Detached::parent;
    }
    setsid();
    // A shell reading the output, as in $(...), waits until every writer has closed it.
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        for (int stream = 0; stream <= 2; ++stream) dup2(null, stream);
        if (null > 2) close(null);
    }
    return Detached::child;
}

}  // namespace host::os
