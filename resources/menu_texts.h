// The popup menu's texts, shared by the resource script and the C++ hosts. UTF-8 without a byte
// order mark; only #define lines, so that the resource compiler can read it too.
#ifndef MASCOT_MENU_TEXTS_H
#define MASCOT_MENU_TEXTS_H

#define MENU_TEXT_FILE "ﾌｧｲﾙ(&F)"
#define MENU_TEXT_START "行動開始"
#define MENU_TEXT_RANDOM2 "行動数：２"
#define MENU_TEXT_RANDOM4 "行動数：４"
#define MENU_TEXT_RANDOM8 "行動数：８"
#define MENU_TEXT_RANDOM16 "行動数：１６"
#define MENU_TEXT_RANDOM32 "行動数：３２"
#define MENU_TEXT_RANDOM64 "行動数：６４"
#define MENU_TEXT_STOP "停止"
#define MENU_TEXT_IN_FRONT "常に手前に表示"
#define MENU_TEXT_BEHIND "常に後ろに表示"
#define MENU_TEXT_EXIT "Zunpelを終了する"

#endif
