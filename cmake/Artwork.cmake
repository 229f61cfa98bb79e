# The windows' pictures are SVG sources. Where Qt Svg is at hand they are drawn at the
# screen's resolution; for Windows, whose Qt here has no Qt Svg, the build draws each one
# beforehand on the build machine at every scale of shared/artwork_scale.h, and the program
# takes the nearest (shared/artwork_picture_png.cpp).

set(CLAMPMETER_ARTWORK_SCALES 1 1.25 1.5 2)

if(WIN32 AND CMAKE_CROSSCOMPILING AND CLAMPMETER_WITH_QT)
  # The render tool for the build machine, built with its own Qt.
  include(ExternalProject)
  set(CLAMPMETER_HOST_RENDER_DIR ${CMAKE_BINARY_DIR}/host-render-icon)
  set(CLAMPMETER_HOST_RENDER_TOOL ${CLAMPMETER_HOST_RENDER_DIR}/clampmeter_render_icon)
  set(host_args -DCMAKE_BUILD_TYPE=Release)
  if(CMAKE_CXX_COMPILER_LAUNCHER)
    list(APPEND host_args -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER})
  endif()
  ExternalProject_Add(clampmeter_host_render_icon
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/data/icons
    BINARY_DIR ${CLAMPMETER_HOST_RENDER_DIR}
    CMAKE_ARGS ${host_args}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${CLAMPMETER_HOST_RENDER_TOOL})
endif()

# clampmeter_add_artwork(<target> <resource name> PREFIX <prefix> BASE <folder> FILES <svg>…)
# Adds the pictures as resources ":<prefix>/<name>.svg", or on Windows as
# ":<prefix>/<name>@<scale>x.png".
function(clampmeter_add_artwork target resource)
  cmake_parse_arguments(ARG "" "PREFIX;BASE" "FILES" ${ARGN})
  if(NOT WIN32)
    qt_add_resources(${target} ${resource} PREFIX ${ARG_PREFIX} BASE ${ARG_BASE} FILES ${ARG_FILES})
    return()
  endif()
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/${resource}-png)
  set(pictures)
  foreach(file IN LISTS ARG_FILES)
    get_filename_component(name ${file} NAME_WLE)
    get_filename_component(source ${file} ABSOLUTE)
    foreach(scale IN LISTS CLAMPMETER_ARTWORK_SCALES)
      set(png ${folder}/${name}@${scale}x.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND ${CLAMPMETER_HOST_RENDER_TOOL} --picture ${source} ${png} ${scale}
        DEPENDS ${source} clampmeter_host_render_icon ${CLAMPMETER_HOST_RENDER_TOOL}
        COMMENT "Drawing ${file} at ${scale}x" VERBATIM)
      list(APPEND pictures ${png})
    endforeach()
  endforeach()
  qt_add_resources(${target} ${resource} PREFIX ${ARG_PREFIX} BASE ${folder} FILES ${pictures})
endfunction()
