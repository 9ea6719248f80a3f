#include <iostream>

#include "cli/gatewaycfg.h"

int main(int argc, char** argv)
{
    return gw::RunGatewayCfg(argc, argv, std::cout, std::cerr);
}
