// nonblocking FD... -- COMMAND ARGS: makes the given descriptors non-blocking
// (a flag of the open stream, shared with whoever else holds it), then runs
// the command in this process.
#include <fcntl.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    int at = 1;
    for (; at < argc && std::strcmp(argv[at], "--") != 0; ++at) {
        const int fd = std::atoi(argv[at]);
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
            std::perror("fcntl");
            return 125;
        }
    }
    if (at + 1 >= argc) {
        std::fputs("usage: nonblocking FD... -- COMMAND ARGS\n", stderr);
        return 125;
    }
    ::execvp(argv[at + 1], argv + at + 1);
    std::perror("execvp");
    return 126;
}
