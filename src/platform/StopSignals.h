#pragma once
// The signals that ask the program to stop: SIGINT (Ctrl+C), SIGTERM (kill, a shutdown) and
// SIGHUP (the terminal or the session closing). Caught, they end nothing at once: the handler only
// notes the signal, which the file writer, the dialog host and the packer then honour at their
// next safe point, so that no temporary file is left behind and the settings are written as at a
// normal exit.

// Catches the three signals, each unless the process was started with it ignored (as nohup
// starts it with SIGHUP): from then on such a signal is only noted. Calls after the first change
// nothing.
void CatchStopSignals();

// The last stop signal caught since the start or since ForgetStopSignal, or 0.
int CaughtStopSignal();

// Forgets the caught signal once it has been honoured, so that what follows (the settings
// written at exit) runs as at a normal exit.
void ForgetStopSignal();

// The read end of a pipe that receives one byte for each signal caught, for an event loop to
// watch; -1 before CatchStopSignals. The reader empties it; it never blocks.
int StopSignalPipe();
