// main.cpp: the brannock-sim program (options.cpp).
#include <iostream>

#include "host/os.h"
#include "tools/brannock-sim/options.h"

int main(int argc, char** argv) {
    return sim::run_brannock_sim(host::os::arguments(argc, argv), std::cout, std::cerr);
}
