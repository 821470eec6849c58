#include "driver/process_setup.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace obsgrid {

void prepareProcess() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // open takes the lowest free descriptor, which is this one
        if (open("/dev/null", O_RDWR) == -1) _exit(255);
    }
    // The files are the product; a reader of the messages that goes away
    // must not cost them. Both signals would kill the process mid-write.
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
}

}  // namespace obsgrid
