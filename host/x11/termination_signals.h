// SIGINT and SIGTERM as a file descriptor, read by the event loop like any other input.
#pragma once

// Blocks both signals in this thread, and so in every thread started afterwards (call it before
// the toolkit starts its threads), and returns a signalfd for them, or -1.
int OpenTerminationSignals();

// Takes the waiting signal off the descriptor.
void TakeTerminationSignal(int fd);
