# Finds the libraries other than Qt that the build needs. When any is missing, the configure
# stops once, naming every missing one with the Debian package that brings it, as it does for
# Qt's components: CMake's own "Could NOT find …" names neither the package nor what it is for.

set(clampmeter_missing_libraries)
set(clampmeter_missing_packages)
set(clampmeter_missing_hints)

# clampmeter_look_for(NAME DEBIAN_PACKAGE WHAT [HINT]): find_package(NAME) quietly, and note it
# when it is missing. HINT says how to build without it, where that is possible.
macro(clampmeter_look_for name package what)
  find_package(${name} QUIET GLOBAL)
  if(NOT ${name}_FOUND)
    list(APPEND clampmeter_missing_libraries "${what}")
    list(APPEND clampmeter_missing_packages ${package})
    if(NOT "${ARGN}" STREQUAL "")
      list(APPEND clampmeter_missing_hints "${ARGN}")
    endif()
  endif()
endmacro()

if(UNIX AND NOT WIN32)
  clampmeter_look_for(SQLite3 libsqlite3-dev "SQLite 3 (the settings store)")
endif()
if(CLAMPMETER_WITH_QT AND UNIX AND NOT APPLE AND NOT WIN32)
  clampmeter_look_for(Cups libcups2-dev "CUPS (printing)")
endif()

# clampmeter-cli log --mqtt: Eclipse Paho's asynchronous C client with TLS, on Linux with Qt
# (the logger needs Qt; the Windows build leaves it out).
if(CLAMPMETER_WITH_QT AND NOT WIN32)
  set(clampmeter_mqtt_default ON)
else()
  set(clampmeter_mqtt_default OFF)
endif()
option(CLAMPMETER_WITH_MQTT "Publish the logger's readings to an MQTT broker (needs libpaho-mqtt-dev)"
  ${clampmeter_mqtt_default})
if(CLAMPMETER_WITH_MQTT)
  set(clampmeter_mqtt_hint "or configure with -DCLAMPMETER_WITH_MQTT=OFF for a logger without --mqtt")
  # Paho's package names OpenSSL's targets without looking for them: OpenSSL comes first.
  clampmeter_look_for(OpenSSL libssl-dev "OpenSSL (MQTT over TLS)" ${clampmeter_mqtt_hint})
  if(OpenSSL_FOUND)
    clampmeter_look_for(eclipse-paho-mqtt-c libpaho-mqtt-dev "Eclipse Paho MQTT C (clampmeter-cli log --mqtt)"
      ${clampmeter_mqtt_hint})
  else()
    list(APPEND clampmeter_missing_libraries "Eclipse Paho MQTT C (clampmeter-cli log --mqtt)")
    list(APPEND clampmeter_missing_packages libpaho-mqtt-dev)
  endif()
else()
  message(STATUS "clampmeter: clampmeter-cli log without --mqtt")
endif()

if(clampmeter_missing_libraries)
  list(REMOVE_DUPLICATES clampmeter_missing_packages)
  list(REMOVE_DUPLICATES clampmeter_missing_hints)
  list(JOIN clampmeter_missing_libraries ", " missing)
  list(JOIN clampmeter_missing_packages " " packages)
  set(hints "")
  foreach(hint ${clampmeter_missing_hints})
    string(APPEND hints ", ${hint}")
  endforeach()
  message(FATAL_ERROR "clampmeter needs these libraries, not found here: ${missing}. On Debian "
    "and Ubuntu install ${packages} (scripts/bootstrap installs what is missing)${hints}.")
endif()
