#include "Host.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv, argv + argc);
    return tuvex_host::runHost(args, std::cin, std::cout, std::cerr);
}
