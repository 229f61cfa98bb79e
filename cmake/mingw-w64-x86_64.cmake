# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix-thread compilers, so that
# std::thread and friends work). How programs are linked, and what they need beside them, is
# cmake/WindowsRuntime.cmake's. Test programs run under wine, so gtest_discover_tests and CTest
# work here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CLAMPMETER_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CLAMPMETER_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CLAMPMETER_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CLAMPMETER_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CLAMPMETER_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# wine64 with its debug channels off; WINEPREFIX comes from the environment.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
