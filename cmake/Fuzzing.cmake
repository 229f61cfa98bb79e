# A fuzzing build instruments everything it compiles for libFuzzer's coverage, with ASan and
# UBSan; a UBSan finding aborts, so the fuzzer keeps the input.
if(CLAMPMETER_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "CLAMPMETER_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  if(CLAMPMETER_SANITIZE)
    message(FATAL_ERROR "CLAMPMETER_FUZZ brings its own sanitizers: leave CLAMPMETER_SANITIZE off")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
