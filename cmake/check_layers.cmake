# Rejects an include that goes up a layer or sideways between windows. Run on
# every build: cmake -DSRC=<source folder> -P check_layers.cmake
#
# A file's unit is its folder: core/<part> and gui/<part> for the core and the
# windows, render, app and cli as they stand. An include names the unit it
# reaches ("core/model/prj_params.h"); each unit may reach those listed here.
#   core/     no Qt at all: util (text, grids, cp1252), files (crash-safe file
#             access, batches, the lock), webcopy (HTML tables, web times),
#             model (the project's files and rules), calendar (holidays,
#             school holidays and whether a journey runs on a date), gtfs (the
#             feed export and import), search (the connection search), layout
#             (printed pages)
#   render    Qt Gui without widgets: the cp1252 boundary, print, map
#   gui/      Qt Widgets: common (what every window shares) and one part per
#             window family, none reaching another
#   app       the program: main window and the wiring; may reach everything
#   cli       takton-cli: the core, and render for its PDF commands
cmake_policy(VERSION 3.25)
set(core_base core/model core/files core/util)
set(allowed_core/util core/util)
set(allowed_core/files core/files core/util)
set(allowed_core/webcopy core/webcopy core/util)
set(allowed_core/model ${core_base})
set(allowed_core/calendar core/calendar ${core_base})
set(calendar_base core/calendar ${core_base})
set(allowed_core/gtfs core/gtfs ${calendar_base})
set(allowed_core/search core/search ${calendar_base})
set(allowed_core/layout core/layout ${calendar_base})
set(allowed_render render core/layout ${calendar_base})
set(gui_base gui/common render ${calendar_base})
set(allowed_gui/common ${gui_base})
set(allowed_gui/editors gui/editors ${gui_base})
set(allowed_gui/timetable gui/timetable core/webcopy ${gui_base})
set(allowed_gui/webcopy gui/webcopy core/webcopy ${gui_base})
set(allowed_gui/search gui/search core/search ${gui_base})
set(allowed_gui/map gui/map ${gui_base})
set(allowed_gui/gtfs gui/gtfs core/gtfs ${gui_base})
set(allowed_gui/print gui/print core/layout ${gui_base})
set(allowed_gui/calendar gui/calendar ${gui_base})
set(units core/util core/files core/webcopy core/model core/calendar core/gtfs core/search core/layout
  render gui/common gui/editors gui/timetable gui/webcopy gui/search gui/map gui/gtfs gui/print
  gui/calendar app cli)
set(allowed_app ${units})
set(allowed_cli cli render core/util core/files core/webcopy core/model core/calendar core/gtfs
  core/search core/layout)
set(qt_free core/util core/files core/webcopy core/model core/calendar core/gtfs core/search
  core/layout cli)

# The unit of a path below the source folder: its first folder, or its first
# two where the first is core or gui.
function(unit_of path result)
  if(path MATCHES "^(core|gui)/([^/]+)/")
    set(${result} "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}" PARENT_SCOPE)
  elseif(path MATCHES "^([^/]+)/")
    set(${result} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${result} "" PARENT_SCOPE)
  endif()
endfunction()

get_filename_component(SRC "${SRC}" ABSOLUTE)
file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(violations "")
foreach(source ${sources})
  unit_of("${source}" folder)
  if(NOT folder IN_LIST units)
    if(source MATCHES "^(core|gui)/")
      string(APPEND violations "\n  ${source}: a folder the layers do not know")
    endif()
    continue()
  endif()
  file(STRINGS "${SRC}/${source}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${includes})
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      unit_of("${CMAKE_MATCH_1}" target)
      if(target IN_LIST units AND NOT target IN_LIST allowed_${folder})
        string(APPEND violations "\n  ${source}: ${line}")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<Q" AND folder IN_LIST qt_free)
      string(APPEND violations "\n  ${source}: ${line} (the core uses no Qt)")
    elseif(line MATCHES "#[ \t]*include[ \t]*<(QtWidgets/)?(QApplication|QWidget|QDialog)>" AND
           folder STREQUAL "render")
      string(APPEND violations "\n  ${source}: ${line} (render paints without widgets)")
    endif()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "Includes across the layers:${violations}")
endif()
