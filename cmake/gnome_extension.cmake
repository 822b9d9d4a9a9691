# Writes the GNOME Shell extension in one of its two forms (cmake -P, from GnomeShellExtension.cmake):
# extension.js = the form's entry (FORMAT legacy: GNOME 43-44, module: 45 and later), the names
# and the menu read from the program's headers, and the shared logic; and its metadata.json.
# -DSOURCE_DIR=... -DFORMAT=legacy|module -DUUID=... -DOUTPUT_DIR=... -DHEADERS=a.h;b.h
cmake_minimum_required(VERSION 3.16)

function(js_string value out)
  string(REPLACE "\\" "\\\\" value "${value}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

# The string and number #defines of a header, as variables named after them.
function(read_defines path)
  file(STRINGS "${path}" lines ENCODING UTF-8 REGEX "^#define [A-Z_0-9]+ ")
  foreach(line IN LISTS lines)
    if(line MATCHES "^#define ([A-Z_0-9]+) (\"[^\"]*\"|[0-9]+)")
      set(name "${CMAKE_MATCH_1}")
      string(REGEX REPLACE "^\"(.*)\"$" "\\1" value "${CMAKE_MATCH_2}")
      set(${name} "${value}" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

read_defines("${SOURCE_DIR}/resources/menu_texts.h")
read_defines("${SOURCE_DIR}/tick/command_ids.h")
foreach(header IN LISTS HEADERS)
  read_defines("${header}")
endforeach()
file(STRINGS "${SOURCE_DIR}/host/shared/window.h" tip REGEX "kTrayTip\\[\\] = \"")
string(REGEX REPLACE ".*kTrayTip\\[\\] = \"([^\"]*)\".*" "\\1" MASCOT_TRAY_TIP "${tip}")

# The names the program answers to on the session bus.
set(names "")
foreach(pair busName=MASCOT_BUS_NAME path=MASCOT_POINTER_PATH
             interfaceName=MASCOT_POINTER_INTERFACE moveMethod=MASCOT_POINTER_METHOD
             commandMethod=MASCOT_COMMAND_METHOD shellName=MASCOT_GNOME_SHELL_NAME
             trayTip=MASCOT_TRAY_TIP)
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 key)
  list(GET pair 1 define)
  if(NOT DEFINED ${define})
    message(FATAL_ERROR "${define} is not defined in ${HEADERS}")
  endif()
  js_string("${${define}}" value)
  string(APPEND names "    ${key}: ${value},\n")
endforeach()
js_string("${UUID}" uuid)

# The menu, entry by entry as kPopupMenuLayout lists it.
set(menu "")
file(STRINGS "${SOURCE_DIR}/resources/menu_layout.h" entries
  REGEX "^ *{MenuEntryKind::")
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "{MenuEntryKind::([A-Za-z]+), ([A-Z_0-9]+|nullptr), ([A-Z_0-9]+)}")
    message(FATAL_ERROR "menu_layout.h: cannot read '${entry}'")
  endif()
  set(kind "${CMAKE_MATCH_1}")
  set(text "")
  set(id 0)
  if(CMAKE_MATCH_2 STREQUAL "nullptr")
  elseif(DEFINED ${CMAKE_MATCH_2})
    set(text "${${CMAKE_MATCH_2}}")
  else()
    message(FATAL_ERROR "menu_layout.h: ${CMAKE_MATCH_2} is not in menu_texts.h")
  endif()
  if(NOT CMAKE_MATCH_3 STREQUAL "0")
    if(NOT DEFINED ${CMAKE_MATCH_3})
      message(FATAL_ERROR "menu_layout.h: ${CMAKE_MATCH_3} is not in command_ids.h")
    endif()
    set(id "${${CMAKE_MATCH_3}}")
  endif()
  js_string("${text}" text)
  string(APPEND menu "    {kind: '${kind}', text: ${text}, id: ${id}},\n")
endforeach()

set(here "${SOURCE_DIR}/resources/gnome-shell")
file(READ "${here}/${FORMAT}_entry.js" entry)
file(READ "${here}/mascot_shell.js" logic)
file(WRITE "${OUTPUT_DIR}/extension.js"
  "${entry}\n// Read from the program's headers when it was built.\n"
  "const MASCOT = {\n    uuid: ${uuid},\n${names}};\n"
  "const MASCOT_MENU = [\n${menu}];\n\n${logic}")

if(FORMAT STREQUAL "legacy")
  set(versions "\"43\", \"44\"")
else()
  set(versions "\"45\", \"46\", \"47\", \"48\", \"49\"")
endif()
file(WRITE "${OUTPUT_DIR}/metadata.json"
  "{\n  \"uuid\": ${uuid},\n  \"name\": \"${MASCOT_TRAY_TIP}\",\n"
  "  \"description\": \"Tells the desktop mascot where the pointer is, also over Wayland "
  "windows, and gives it a top-bar icon with its menu.\",\n"
  "  \"shell-version\": [${versions}]\n}\n")
