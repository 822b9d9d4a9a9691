# The X11 host is built when Qt 6 Widgets and D-Bus and XCB with its shape extension are there; without
# them the core, the simulator and the tests still build.
find_package(Qt6 QUIET COMPONENTS Widgets DBus)
find_path(MASCOT_XCB_INCLUDE_DIR xcb/shape.h)
find_library(MASCOT_XCB_LIBRARY xcb)
find_library(MASCOT_XCB_SHAPE_LIBRARY xcb-shape)
if(Qt6Widgets_FOUND AND Qt6DBus_FOUND AND MASCOT_XCB_INCLUDE_DIR AND MASCOT_XCB_LIBRARY
   AND MASCOT_XCB_SHAPE_LIBRARY)
  set(MASCOT_XCB_LIBRARIES ${MASCOT_XCB_LIBRARY} ${MASCOT_XCB_SHAPE_LIBRARY})
  add_subdirectory(host/x11)
  include(cmake/GnomeShellExtension.cmake)
else()
  message(STATUS "X11 host skipped: it needs Qt 6 Widgets and D-Bus (qt6-base-dev) and XCB with the shape extension (libxcb1-dev, libxcb-shape0-dev)")
endif()
