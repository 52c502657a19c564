// main.cpp: the brannock-sim program (command_line.cpp).
#include <iostream>

#include "host/os.h"
#include "tools/brannock-sim/command_line.h"

int main(int argc, char** argv) {
    return sim::run_brannock_sim(host::os::arguments(argc, argv), std::cout, std::cerr);
}
