# Rejects an include that goes up a layer or sideways between windows. Run on
# every build: cmake -DSRC=<source folder> -P check_layers.cmake
#
# The layers, lowest first: util, model (the core, no Qt) and gtfs (the feed
# export, no Qt either); gui (what every window shares); editors, timetable,
# import, query, map, publish (one library each, none knowing another); app
# (wires them together). cli stands on the core alone.
cmake_policy(VERSION 3.25)
set(allowed_util util)
set(allowed_model model util)
set(allowed_gtfs gtfs model util)
set(allowed_cli cli print print_layout gtfs model util)
set(allowed_gui gui model util)
set(allowed_editors editors gui model util)
set(allowed_timetable timetable gui model util)
set(allowed_import import gui model util)
set(allowed_query query gui model util)
set(allowed_map map gui model util)
set(allowed_publish publish gtfs gui model util)
set(allowed_app app editors timetable import query map publish gtfs gui model util)
# Printing: print_layout (no Qt), print (Qt Gui and Print Support, no widgets,
# also for cli) and printing (its windows).
set(allowed_print_layout print_layout model util)
set(allowed_print print print_layout model util)
set(allowed_printing printing print print_layout gui model util)
list(APPEND allowed_app printing print print_layout)
set(qt_free util model gtfs cli print_layout)

get_filename_component(SRC "${SRC}" ABSOLUTE)
file(GLOB_RECURSE sources RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(violations "")
foreach(source ${sources})
  string(REGEX MATCH "^[^/]+" folder "${source}")
  if(NOT DEFINED allowed_${folder})
    continue()
  endif()
  file(STRINGS "${SRC}/${source}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${includes})
    if(line MATCHES "#[ \t]*include[ \t]*\"([^/\"]+)/")
      set(target "${CMAKE_MATCH_1}")
      if(DEFINED allowed_${target} AND NOT target IN_LIST allowed_${folder})
        string(APPEND violations "\n  ${source}: ${line}")
      endif()
    elseif(line MATCHES "#[ \t]*include[ \t]*<Q" AND folder IN_LIST qt_free)
      string(APPEND violations "\n  ${source}: ${line} (the core uses no Qt)")
    endif()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "Includes across the layers:${violations}")
endif()
