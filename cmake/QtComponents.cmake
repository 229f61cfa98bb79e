# Finds the Qt 6 components the program needs. Asked for the program (CLAMPMETER_WITH_QT on,
# the default), a missing component stops the configure with its name and the Debian package
# that brings it: a build that silently left the program out would only puzzle later.
set(CLAMPMETER_QT_MINIMUM_VERSION 6.4)
# Qt for Windows has no SerialPort and no Svg: the Windows build reads the port through Win32
# and takes its pictures drawn beforehand.
if(WIN32)
  set(CLAMPMETER_QT_COMPONENTS Core Gui Widgets PrintSupport Test)
else()
  set(CLAMPMETER_QT_COMPONENTS Core Gui Widgets SerialPort PrintSupport Svg Test)
endif()
# The Debian 12 packages with each component's development files.
set(CLAMPMETER_QT_PACKAGE_Core qt6-base-dev)
set(CLAMPMETER_QT_PACKAGE_Gui qt6-base-dev)
set(CLAMPMETER_QT_PACKAGE_Widgets qt6-base-dev)
set(CLAMPMETER_QT_PACKAGE_PrintSupport qt6-base-dev)
set(CLAMPMETER_QT_PACKAGE_Test qt6-base-dev)
set(CLAMPMETER_QT_PACKAGE_SerialPort qt6-serialport-dev)
set(CLAMPMETER_QT_PACKAGE_Svg qt6-svg-dev)

string(CONCAT clampmeter_qt_off_hint "or configure with -DCLAMPMETER_WITH_QT=OFF for the parts "
  "without Qt only (core, registry, clampmeter-cli decode and simulate)")
find_package(Qt6 ${CLAMPMETER_QT_MINIMUM_VERSION} QUIET COMPONENTS ${CLAMPMETER_QT_COMPONENTS})
if(NOT Qt6_FOUND)
  if(NOT Qt6_DIR AND NOT Qt6_CONSIDERED_VERSIONS)
    message(FATAL_ERROR "clampmeter needs Qt ${CLAMPMETER_QT_MINIMUM_VERSION} or later, and "
      "no Qt 6 was found. On Debian and Ubuntu install qt6-base-dev qt6-serialport-dev "
      "qt6-svg-dev (elsewhere Qt 6's Core, Gui, Widgets, PrintSupport, Test, SerialPort and "
      "Svg), ${clampmeter_qt_off_hint}.")
  endif()
  if(Qt6_CONSIDERED_VERSIONS AND NOT Qt6_VERSION)
    list(REMOVE_DUPLICATES Qt6_CONSIDERED_VERSIONS)
    list(JOIN Qt6_CONSIDERED_VERSIONS ", " found_versions)
    message(FATAL_ERROR "clampmeter needs Qt ${CLAMPMETER_QT_MINIMUM_VERSION} or later; "
      "found only Qt ${found_versions}. Install a newer Qt 6, "
      "${clampmeter_qt_off_hint}.")
  endif()
  # Qt stops at the first component it misses: ask for each one alone to name them all.
  set(missing_components)
  set(missing_packages)
  foreach(component ${CLAMPMETER_QT_COMPONENTS})
    find_package(Qt6 ${CLAMPMETER_QT_MINIMUM_VERSION} QUIET COMPONENTS ${component})
    if(NOT Qt6${component}_FOUND)
      list(APPEND missing_components Qt6::${component})
      list(APPEND missing_packages ${CLAMPMETER_QT_PACKAGE_${component}})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES missing_packages)
  list(JOIN missing_components ", " missing_components)
  list(JOIN missing_packages " " missing_packages)
  message(FATAL_ERROR "clampmeter needs Qt ${CLAMPMETER_QT_MINIMUM_VERSION} or later with "
    "these components, not found here: ${missing_components}. On Debian and Ubuntu install "
    "${missing_packages}, ${clampmeter_qt_off_hint}.")
endif()
