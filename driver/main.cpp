#include <iostream>

#include "driver/process_setup.h"
#include "driver/run.h"

int main(int argc, char* argv[]) {
    obsgrid::prepareProcess();
    return obsgrid::run(argc, argv, std::cout, std::cerr);
}
