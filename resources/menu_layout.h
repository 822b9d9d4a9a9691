// The popup menu's structure as a table, for hosts that build the menu themselves: the first
// submenu of menu 128 in mascot.rc, entry by entry in the same order.
#pragma once

#include "tick/command_ids.h"
#include "resources/menu_texts.h"

enum class MenuEntryKind {
    SubmenuBegin,  // opens a submenu titled `text`; the entries up to its SubmenuEnd belong to it
    SubmenuEnd,
    Item,  // `text` chooses command `id`
    Separator,
};

struct CMenuEntry {
    MenuEntryKind kind;
    const char* text;  // UTF-8; null for SubmenuEnd and Separator
    unsigned id;       // command id of an Item, 0 otherwise
};

constexpr CMenuEntry kPopupMenuLayout[] = {
    {MenuEntryKind::SubmenuBegin, MENU_TEXT_START, 0},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM2, IDM_RANDOM2},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM4, IDM_RANDOM4},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM8, IDM_RANDOM8},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM16, IDM_RANDOM16},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM32, IDM_RANDOM32},
    {MenuEntryKind::Item, MENU_TEXT_RANDOM64, IDM_RANDOM64},
    {MenuEntryKind::SubmenuEnd, nullptr, 0},
    {MenuEntryKind::Item, MENU_TEXT_STOP, IDM_STOP},
    {MenuEntryKind::Separator, nullptr, 0},
    {MenuEntryKind::Item, MENU_TEXT_IN_FRONT, IDM_ALWAYS_IN_FRONT},
    {MenuEntryKind::Item, MENU_TEXT_BEHIND, IDM_ALWAYS_BEHIND},
    {MenuEntryKind::Separator, nullptr, 0},
    {MenuEntryKind::Item, MENU_TEXT_EXIT, IDM_EXIT},
};
