#include "platform/descriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace halvora {

void keepStandardDescriptorsOpen() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int opened = open("/dev/null", O_RDWR);
        if (opened > fd) { // a lower one was closed meanwhile: put it where it belongs
            dup2(opened, fd);
            close(opened);
        }
    }
}

} // namespace halvora
