// main.cpp: the sdll-host program, the stand-in launcher on the command line (subcommands.cpp).
#include <iostream>

#include "host/subcommands.h"
#include "host/os.h"

int main(int argc, char** argv) {
    host::os::watch_interrupts();   // a game the stand-in waits for goes on when it is interrupted
    return host::run_sdll_host(host::os::arguments(argc, argv), std::cout, std::cerr);
}
