#include "cli/run.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    return qw::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
