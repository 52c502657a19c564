// main.cpp: the brannock-sim program (command_line.cpp).
#include <iostream>
#include <string>
#include <vector>

#include "tools/brannock-sim/command_line.h"

int main(int argc, char** argv) {
    return sim::run_brannock_sim(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
