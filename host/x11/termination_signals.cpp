// signalfd for SIGINT and SIGTERM.
#include "host/x11/termination_signals.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

int OpenTerminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) return -1;
    return signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
}

void TakeTerminationSignal(int fd) {
    signalfd_siginfo info;
    ssize_t got = read(fd, &info, sizeof info);
    (void)got;  // the loop ends the program whatever was read
}
