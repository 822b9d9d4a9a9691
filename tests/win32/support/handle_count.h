// Leak detection where GetGuiResources cannot count (it answers 0 under Wine): every live handle
// takes a slot of the process's table, so a leak shows as fewer new objects that still fit.
#pragma once

// How many more regions (GDI objects) can be created now; all of them are deleted again.
int CountCreatableRegions();

// How many more menus (USER objects) can be created now; all of them are destroyed again.
int CountCreatableMenus();
