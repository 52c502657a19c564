// main.cpp: the sdll-host program, the stand-in launcher on the command line (command_line.cpp).
#include <iostream>
#include <string>
#include <vector>

#include "host/command_line.h"

int main(int argc, char** argv) {
    return host::run_sdll_host(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
