# The GNOME Shell extension, both forms written at build time from one source
# (cmake/gnome_extension.cmake): build-dir/gnome-shell/<form>/<uuid>/. The package installs the
# form that MASCOT_GNOME_SHELL_FORMAT names: "legacy" for GNOME 43-44, "module" for 45 and later;
# by default the one the installed gnome-shell loads, else legacy (Debian 12 has 43).
set(headers ${PROJECT_SOURCE_DIR}/host/x11/mascot_bus.h ${PROJECT_SOURCE_DIR}/host/x11/gnome_pointer.h)
file(STRINGS ${PROJECT_SOURCE_DIR}/host/x11/gnome_pointer.h uuid
  REGEX "^#define MASCOT_GNOME_EXTENSION_UUID ")
string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" MASCOT_GNOME_EXTENSION_UUID "${uuid}")

set(format legacy)
find_program(MASCOT_GNOME_SHELL gnome-shell)
if(MASCOT_GNOME_SHELL)
  execute_process(COMMAND ${MASCOT_GNOME_SHELL} --version OUTPUT_VARIABLE version ERROR_QUIET)
  if(version MATCHES "GNOME Shell ([0-9]+)" AND CMAKE_MATCH_1 GREATER_EQUAL 45)
    set(format module)
  endif()
endif()
set(MASCOT_GNOME_SHELL_FORMAT ${format} CACHE STRING
  "The GNOME Shell extension's form in the package: legacy (GNOME 43-44) or module (45 and later)")

set(outputs)
foreach(form legacy module)
  set(dir ${CMAKE_BINARY_DIR}/gnome-shell/${form}/${MASCOT_GNOME_EXTENSION_UUID})
  set(source ${PROJECT_SOURCE_DIR}/resources/gnome-shell)
  add_custom_command(OUTPUT ${dir}/extension.js ${dir}/metadata.json ${dir}/mascot-icon.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DFORMAT=${form}
      -DUUID=${MASCOT_GNOME_EXTENSION_UUID} -DOUTPUT_DIR=${dir} "-DHEADERS=${headers}"
      -P ${PROJECT_SOURCE_DIR}/cmake/gnome_extension.cmake
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/mascot-icon.png ${dir}
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/gnome_extension.cmake ${source}/mascot_shell.js
      ${source}/${form}_entry.js ${headers} ${PROJECT_SOURCE_DIR}/resources/menu_texts.h
      ${PROJECT_SOURCE_DIR}/resources/menu_layout.h ${PROJECT_SOURCE_DIR}/tick/command_ids.h
      ${PROJECT_SOURCE_DIR}/host/shared/window.h ${PROJECT_SOURCE_DIR}/resources/mascot-icon.png
    VERBATIM)
  list(APPEND outputs ${dir}/extension.js)
endforeach()
add_custom_target(mascot-gnome-extension ALL DEPENDS ${outputs})
set(MASCOT_GNOME_EXTENSION_DIR
  ${CMAKE_BINARY_DIR}/gnome-shell/${MASCOT_GNOME_SHELL_FORMAT}/${MASCOT_GNOME_EXTENSION_UUID})
