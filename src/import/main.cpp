// lirabel3-import: everything happens in the core; this only hands over the command line.
#include "import/CommandLine.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    q7::import::Console console{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1};
    return q7::import::runImport(std::vector<std::string>(argv + 1, argv + argc), console);
}
