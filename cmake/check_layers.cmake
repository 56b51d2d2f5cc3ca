# check_layers.cmake: fails the build when a source file includes from a
# folder above its own, or when a folder that must stay free of X includes an
# X header. Run by the "layers" target with -DSOURCE_DIR=<src>.
#   base, board, scores, pictures, journal   no X, each only from the folders listed below
#   x11                              X; not ui or app
#   ui                               X; not app
#   journal_tool, theme_tool         the headless programs: pure folders only
cmake_minimum_required(VERSION 3.25)
set(order base board scores pictures journal x11 ui app journal_tool theme_tool)
set(allowed_base base)
set(allowed_board base board)
set(allowed_scores base scores)
set(allowed_pictures base board pictures)
set(allowed_journal base board journal)
set(allowed_x11 base board pictures x11)
set(allowed_ui base board scores pictures x11 ui)
set(allowed_app base board scores pictures journal x11 ui app)
set(allowed_journal_tool base board journal journal_tool)
set(allowed_theme_tool base board pictures theme_tool)
set(pure base board scores pictures journal)

set(faults "")
foreach(folder IN LISTS order)
  file(GLOB_RECURSE files "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^#include [<\"]")
    foreach(line IN LISTS includes)
      if(line MATCHES "^#include \"([a-z0-9_]+)/")
        set(target ${CMAKE_MATCH_1})
        if(NOT target IN_LIST allowed_${folder})
          list(APPEND faults "${file}: ${line}")
        endif()
      elseif(line MATCHES "^#include <X11/" AND folder IN_LIST pure)
        list(APPEND faults "${file}: ${line} (no X here)")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes against the layers:\n  ${text}")
endif()
