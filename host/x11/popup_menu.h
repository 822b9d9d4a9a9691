// The popup menu, built from the shared menu table.
#pragma once

#include <QMenu>

#include <cstdint>
#include <functional>

// Fills `menu` with the entries of kPopupMenuLayout; choosing an item calls `chosen` with its
// command id once the menu has closed.
void BuildPopupMenu(QMenu& menu, const std::function<void(std::uint16_t)>& chosen);
