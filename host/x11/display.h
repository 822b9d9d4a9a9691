// The mascot's connection to the X server: the names of the atoms of its own protocol. Read by
// the C++ code and by the desktop tests, so: plain #defines.
#pragma once

#define MASCOT_SELECTION_ATOM "_ZUNPEL_MASCOT"          /* owned by the running mascot's window */
#define MASCOT_COMMAND_ATOM "_ZUNPEL_COMMAND"           /* client message: a command id */
#define MASCOT_COMMAND_DONE_ATOM "_ZUNPEL_COMMAND_DONE" /* client message: the mascot's answer */
