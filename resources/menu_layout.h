// The popup menu's structure as a table, for hosts that build the menu themselves: the first
// submenu of menu 128 in mascot.rc, entry by entry in the same order.
#pragma once

#include "host/commands.h"
#include "resources/menu_texts.h"

enum class MenuEntryKind {
    SubmenuBegin,  // opens a submenu titled `text`; the entries up to its SubmenuEnd belong to it
    SubmenuEnd,
    Item,          // `text` chooses command `id`
    Separator,
};

struct CMenuEntry {
    MenuEntryKind kind;
    const char* text;  // UTF-8; null for SubmenuEnd and Separator
    unsigned id;       // command id of an Item, 0 otherwise
};

constexpr CMenuEntry kPopupMenuLayout[] = {
    {MenuEntryKind::SubmenuBegin, MENU_TEXT_START, 0},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM2, kCmdRandom2},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM4, kCmdRandom4},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM8, kCmdRandom8},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM16, kCmdRandom16},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM32, kCmdRandom32},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM64, kCmdRandom64},
    {MenuEntryKind::SubmenuEnd, nullptr, 0},
    {MenuEntryKind::Item, MENU_TEXT_STOP, kCmdStop},
    {MenuEntryKind::Separator, nullptr, 0},
    {MenuEntryKind::Item, MENU_TEXT_IN_FRONT, kCmdAlwaysInFront},
    {MenuEntryKind::Item, MENU_TEXT_BEHIND, kCmdAlwaysBehind},
    {MenuEntryKind::Separator, nullptr, 0},
    {MenuEntryKind::Item, MENU_TEXT_EXIT, kCmdExit},
};
