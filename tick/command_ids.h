/* Command ids of the popup menu and of the commands no menu item carries. Read by the C++ code
   and by the resource compiler, so: plain #defines and C comments only. */
#pragma once

#define IDM_FIRST_BEHAVIOUR 32771 /* 32771..32786: fixed behaviours 8..15, then 0..7 */
#define IDM_STOP 32779            /* the fixed behaviour 0, brake */
#define IDM_RETREAT_TO_CORNER 32785
#define IDM_DUCK 32792
#define IDM_RANDOM2 32793
#define IDM_RANDOM4 32794
#define IDM_RANDOM16 32795
#define IDM_RANDOM8 32796
#define IDM_RANDOM32 32797
#define IDM_RANDOM64 32798
#define IDM_ALWAYS_BEHIND 32799
#define IDM_ALWAYS_IN_FRONT 32800
#define IDM_EXIT 57665
