// Reading a loaded menu's entries by position: the text and whether it is a separator.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

inline bool IsSeparator(HMENU menu, UINT position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    return GetMenuItemInfoW(menu, position, TRUE, &info) && (info.fType & MFT_SEPARATOR);
}
