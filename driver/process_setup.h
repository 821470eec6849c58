#pragma once

namespace obsgrid {

// Makes the process safe to run in hostile surroundings, before anything is
// opened: descriptors 0 to 2 are open (on /dev/null where they were closed),
// so no output file can take the place of a standard stream; and a closed
// pipe or a file-size limit makes a write fail instead of killing the process.
void prepareProcess();

}  // namespace obsgrid
