#pragma once

#include <ostream>

namespace obsgrid {

// One whole conversion: `argv` as the entry point receives it. Messages go to
// `out` and `err`; the result is the exit status.
int run(int argc, const char* const argv[], std::ostream& out, std::ostream& err);

}  // namespace obsgrid
