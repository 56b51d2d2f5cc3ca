# uninstall.cmake: `cmake --build build --target uninstall` (cmake -P script).
# Removes every file named in install_manifest.txt (under $DESTDIR when that
# is set, as for the install), then the directories of the data directory
# that are left empty. The players' high-score file is not in the manifest and is
# kept, with the data directory that holds it.
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} does not exist (run cmake --install first).")
endif()

file(STRINGS "${MANIFEST}" installed_files)
set(data_dir "$ENV{DESTDIR}${DATA_DIR}")
set(emptied_dirs "")
foreach(listed IN LISTS installed_files)
  set(installed "$ENV{DESTDIR}${listed}")
  if(EXISTS "${installed}" OR IS_SYMLINK "${installed}")
    file(REMOVE "${installed}")
    if(EXISTS "${installed}")
      message(SEND_ERROR "Could not remove ${installed}")
    else()
      message(STATUS "Removed ${installed}")
    endif()
  else()
    message(STATUS "Already gone: ${installed}")
  endif()
  # Remember every directory between the file and the data directory.
  cmake_path(GET installed PARENT_PATH dir)
  cmake_path(IS_PREFIX data_dir "${dir}" NORMALIZE inside)
  while(inside)
    list(APPEND emptied_dirs "${dir}")
    if(dir STREQUAL data_dir)
      break()
    endif()
    cmake_path(GET dir PARENT_PATH dir)
    cmake_path(IS_PREFIX data_dir "${dir}" NORMALIZE inside)
  endwhile()
endforeach()

if(IS_DIRECTORY "${data_dir}")
  list(APPEND emptied_dirs "${data_dir}")
endif()

# Deepest first, so a folder is empty by the time its parent is tried.
list(REMOVE_DUPLICATES emptied_dirs)
list(SORT emptied_dirs ORDER DESCENDING)
foreach(dir IN LISTS emptied_dirs)
  file(GLOB left "${dir}/*" "${dir}/.*")
  if(IS_DIRECTORY "${dir}" AND left STREQUAL "")
    file(REMOVE_RECURSE "${dir}")
    message(STATUS "Removed ${dir}/")
  elseif(IS_DIRECTORY "${dir}")
    message(STATUS "Kept ${dir}/ (it still holds files, such as the high-score file)")
  endif()
endforeach()
