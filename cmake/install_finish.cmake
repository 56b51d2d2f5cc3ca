# install_finish.cmake: the install steps that need the final prefix, DESTDIR
# and the installing user: the desktop entry, and the high-score table with
# the group "games" rights on the game and on the table's directory. Included
# by the install script with the CLUMPOUT_* variables set; knows nothing of
# the code.

function(clumpout_under_prefix dir out)
  if(IS_ABSOLUTE "${dir}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()

clumpout_under_prefix("${CLUMPOUT_GAME_BINDIR}" clumpout_bindir)
clumpout_under_prefix("${CLUMPOUT_DATAROOTDIR}" clumpout_datarootdir)

# The entry starts the game by path. Desktop menus find an icon by name only
# under the prefixes they search, so by default the entry names the XPM icon
# by path; with the hicolor icons (DESKTOP_BY_NAME) it names the icon and
# takes the name the metainfo gives it.
file(READ "${CLUMPOUT_SOURCE_DIR}/desktop/org.clumpout.Clumpout.desktop" clumpout_entry)
string(REGEX REPLACE "\nExec=[^\n]*" "\nExec=${clumpout_bindir}/clumpout" clumpout_entry "${clumpout_entry}")
if(CLUMPOUT_DESKTOP_BY_NAME)
  set(clumpout_entry_name org.clumpout.Clumpout.desktop)
else()
  set(clumpout_entry_name clumpout.desktop)
  string(REGEX REPLACE "\nIcon=[^\n]*" "\nIcon=${clumpout_datarootdir}/pixmaps/clumpout.xpm" clumpout_entry "${clumpout_entry}")
endif()
file(WRITE "${CLUMPOUT_BINARY_DIR}/install/${clumpout_entry_name}" "${clumpout_entry}")
file(INSTALL "${CLUMPOUT_BINARY_DIR}/install/${clumpout_entry_name}"
     DESTINATION "${clumpout_datarootdir}/applications"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# A package makes the table and gives the rights in its maintainer scripts.
if(NOT CLUMPOUT_INSTALL_SCORE_TABLE)
  return()
endif()

# Group rights. Only root can give files to the group, and without the group
# there is nothing to give; either way the game still works, but the
# high-score file is then writable only by whoever may write SCORE_DIR.
set(clumpout_game "$ENV{DESTDIR}${clumpout_bindir}/clumpout")
set(clumpout_scores "$ENV{DESTDIR}${CLUMPOUT_SCORE_DIR}")
set(clumpout_table "${clumpout_scores}/hiscore")

# The shared high-score table is made by the install, so that it belongs to
# the installer and never to a player: the game only writes into it. One
# that is there already (with the players' scores) is kept. It is no
# installed file: uninstalling keeps it.
if(NOT EXISTS "${clumpout_table}" AND NOT IS_SYMLINK "${clumpout_table}")
  file(COPY_FILE "${CLUMPOUT_BINARY_DIR}/install/hiscore" "${clumpout_table}")
  file(CHMOD "${clumpout_table}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ GROUP_WRITE WORLD_READ)
  message(STATUS "Made the empty high-score table ${clumpout_table}")
endif()
execute_process(COMMAND id -u OUTPUT_VARIABLE clumpout_uid OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND getent group games RESULT_VARIABLE clumpout_no_group
                OUTPUT_QUIET ERROR_QUIET)
if(NOT clumpout_uid STREQUAL "0")
  message(WARNING "Not installing as root: clumpout is not made setgid \"games\", "
                  "so only players who can write ${CLUMPOUT_SCORE_DIR} can record high scores.")
elseif(NOT clumpout_no_group EQUAL 0)
  message(WARNING "There is no group \"games\": clumpout is not made setgid, "
                  "so only players who can write ${CLUMPOUT_SCORE_DIR} can record high scores.")
else()
  # chgrp clears the setgid bit, so the mode comes after the group.
  # One step is a command with its words joined by "|".
  set(clumpout_steps
      "chgrp|games|${clumpout_game}"  "chmod|2755|${clumpout_game}"
      "chgrp|games|${clumpout_scores}"  "chmod|2775|${clumpout_scores}")
  # The table becomes root's and writable to the group, also one left by an
  # earlier install without the group or by a game that replaced it. A link
  # standing there is not followed: it could name any file.
  if(IS_SYMLINK "${clumpout_table}")
    message(WARNING "${clumpout_table} is a symbolic link: left as it is.")
  elseif(EXISTS "${clumpout_table}")
    list(APPEND clumpout_steps "chown|root:games|${clumpout_table}"
                               "chmod|0664|${clumpout_table}")
  endif()
  foreach(clumpout_step IN LISTS clumpout_steps)
    string(REPLACE "|" " " clumpout_shown "${clumpout_step}")
    string(REPLACE "|" ";" clumpout_command "${clumpout_step}")
    message(STATUS "Group rights: ${clumpout_shown}")
    execute_process(COMMAND ${clumpout_command} RESULT_VARIABLE clumpout_failed)
    if(NOT clumpout_failed EQUAL 0)
      message(WARNING "'${clumpout_shown}' failed: high scores may not be recordable.")
    endif()
  endforeach()
endif()
