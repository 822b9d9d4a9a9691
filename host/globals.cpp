// The host's globals. The mascot is constructed before the store, as start-up requires; its
// constructor seeds the random source.
#include "host/tick.h"

CMascot g_mascot;
CTrajectory g_trajectory;
int g_playIndex = 1;
int g_restartClock = 1;
int g_zOrder = ZOrderFront;
double g_clickTime = 0.0;
