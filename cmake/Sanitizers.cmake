# Sanitizers apply to everything built here, so that a fault in the core is caught
# whichever executable exercises it.
if(CLAMPMETER_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
