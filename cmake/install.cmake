# install.cmake: what `cmake --install` puts where, and the `uninstall` target.
# The game goes to bin, the themes and the catalogue to DATA_DIR, which also
# holds the shared high-score file, made here empty. When installed by root
# and the group "games" exists, the game is setgid games and DATA_DIR is
# group games, mode 2775, so the game's score keeper (and only it) can write
# the scores for everyone.
include(GNUInstallDirs)

# The game opens DATA_DIR by the very name it was built with; a relative name
# would depend on the directory the player starts it from.
if(NOT IS_ABSOLUTE "${DATA_DIR}")
  message(FATAL_ERROR "DATA_DIR must be an absolute path, not '${DATA_DIR}'")
endif()

install(TARGETS clumpout RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The journal tool needs no privilege: it reads the player's own journal.
install(TARGETS clumpout-journal RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The theme authors' toolkit needs no privilege: it only reads.
install(TARGETS clumpout-theme RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The empty high-score table, made from the game's own record layout; the
# install puts it in DATA_DIR when there is none (install_finish.cmake).
add_executable(make_empty_table ${PROJECT_SOURCE_DIR}/tools/make_empty_table.cpp)
target_link_libraries(make_empty_table PRIVATE clumpout_scores)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/install/hiscore
  COMMAND make_empty_table ${PROJECT_BINARY_DIR}/install/hiscore
  DEPENDS make_empty_table
  COMMENT "Making the empty high-score table")
add_custom_target(empty_high_score_table DEPENDS ${PROJECT_BINARY_DIR}/install/hiscore)
add_dependencies(clumpout empty_high_score_table)

# DATA_DIR itself, even when themes/ is still empty; then everything in themes/.
install(DIRECTORY DESTINATION ${DATA_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/themes/ DESTINATION ${DATA_DIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                              GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The installed manual pages name the data directory this build was
# configured with, and the title and version given to project().
function(clumpout_install_man_page page section)
  file(READ ${PROJECT_SOURCE_DIR}/man/${page} text)
  string(REPLACE "/usr/local/lib/X11/clumpo" "${DATA_DIR}" text "${text}")
  string(REGEX REPLACE "(\n\\.TH [^\n]*)\"${PROJECT_NAME} [0-9.]+\"" "\\1\"${PROJECT_NAME} ${PROJECT_VERSION}\""
         text "${text}")
  file(WRITE ${PROJECT_BINARY_DIR}/install/${page} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/${page})
  install(FILES ${PROJECT_BINARY_DIR}/install/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
clumpout_install_man_page(clumpout.6 6)
clumpout_install_man_page(clumpout-journal.1 1)
clumpout_install_man_page(clumpout-theme.1 1)

install(FILES ${PROJECT_SOURCE_DIR}/desktop/clumpout.xpm
        DESTINATION ${CMAKE_INSTALL_DATADIR}/pixmaps OPTIONAL)

# The desktop entry and the group rights depend on the prefix given at
# install time (`cmake --install build --prefix ...`), so they are worked out
# then, by install_finish.cmake.
install(CODE "
set(CLUMPOUT_SOURCE_DIR \"${PROJECT_SOURCE_DIR}\")
set(CLUMPOUT_BINARY_DIR \"${PROJECT_BINARY_DIR}\")
set(CLUMPOUT_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
set(CLUMPOUT_DATAROOTDIR \"${CMAKE_INSTALL_DATADIR}\")
set(CLUMPOUT_DATA_DIR \"${DATA_DIR}\")
include(\"${PROJECT_SOURCE_DIR}/cmake/install_finish.cmake\")
")

add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${PROJECT_BINARY_DIR}/install_manifest.txt
          -DDATA_DIR=${DATA_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/uninstall.cmake
  COMMENT "Removing the files listed in install_manifest.txt"
  VERBATIM)
