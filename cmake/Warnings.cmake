# One place for the compiler warnings every target of ours gets.
add_library(clampmeter_warnings INTERFACE)
target_compile_options(clampmeter_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(CLAMPMETER_WERROR)
  target_compile_options(clampmeter_warnings INTERFACE -Werror)
endif()
