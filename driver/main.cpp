#include <iostream>

#include "driver/run.h"

int main(int argc, char* argv[]) { return obsgrid::run(argc, argv, std::cout, std::cerr); }
