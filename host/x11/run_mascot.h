// Running the mascot on the X display until it is told to end.
#pragma once

// Returns the exit status: 0 after the exit command, SIGINT or SIGTERM; 1 without a display.
int RunMascot(int argc, char** argv);
