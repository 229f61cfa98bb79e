# How the Windows programs are linked, and what they need beside them to run.
if(NOT CLAMPMETER_WITH_QT)
  # Without Qt every program carries the compiler's runtime in itself: nothing to copy.
  add_link_options(-static)
  return()
endif()

# With Qt the programs share the compiler's runtime DLLs with Qt's own DLLs, which were built
# against them: one C++ runtime in the process.
set(CLAMPMETER_WINDOWS_RUNTIME_DLLS)
foreach(dll libgcc_s_seh-1.dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "clampmeter: the compiler has no ${dll}")
  endif()
  get_filename_component(path ${path} REALPATH)
  list(APPEND CLAMPMETER_WINDOWS_RUNTIME_DLLS ${path})
endforeach()

# Under wine the build's programs find those DLLs and Qt's (and Qt its plugins, beside its
# DLLs) through WINEPATH, which this build's wrapper of cmake/wine-run sets.
get_target_property(qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(qt_bin ${qt_core_dll} DIRECTORY)
set(wine_path)
foreach(folder ${qt_bin} ${CLAMPMETER_WINDOWS_RUNTIME_DLLS})
  if(NOT IS_DIRECTORY ${folder})
    get_filename_component(folder ${folder} DIRECTORY)
  endif()
  string(REPLACE "/" "\\" folder "Z:${folder}")
  list(APPEND wine_path ${folder})
endforeach()
list(REMOVE_DUPLICATES wine_path)
string(JOIN ";" wine_path ${wine_path})
set(CLAMPMETER_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
file(CONFIGURE OUTPUT ${CLAMPMETER_WINE_RUN} @ONLY CONTENT [[#!/bin/sh
# Made by cmake/WindowsRuntime.cmake: runs a program of this build under wine with Qt's and
# the compiler's DLLs on its path.
WINEPATH='@wine_path@'${WINEPATH:+";$WINEPATH"}
export WINEPATH
exec '@CMAKE_CURRENT_LIST_DIR@/wine-run' "$@"
]])
file(CHMOD ${CLAMPMETER_WINE_RUN} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
  GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CLAMPMETER_WINE_RUN})
