#include "platform/StopSignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace {

volatile sig_atomic_t caughtSignal = 0;
int pipeEnds[2] = {-1, -1};

// Only async-signal-safe work: a flag and one byte into a non-blocking pipe, errno kept.
void NoteStopSignal(int signalNumber) {
    int savedErrno = errno;
    caughtSignal = signalNumber;
    if (pipeEnds[1] >= 0) {
        char byte = 1;
        ssize_t ignored = write(pipeEnds[1], &byte, 1); // a full pipe has woken its reader already
        (void)ignored;
    }
    errno = savedErrno;
}

} // namespace

void CatchStopSignals() {
    if (pipeEnds[0] >= 0 || pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC) != 0)
        return;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (sigaction(signalNumber, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = NoteStopSignal;
        sigemptyset(&action.sa_mask);
        // Interrupted calls resume: the program writes only regular files, whose writes end soon,
        // and the flag is looked at between them.
        action.sa_flags = SA_RESTART;
        sigaction(signalNumber, &action, nullptr);
    }
}

int CaughtStopSignal() {
    return caughtSignal;
}

void ForgetStopSignal() {
    caughtSignal = 0;
}

int StopSignalPipe() {
    return pipeEnds[0];
}
