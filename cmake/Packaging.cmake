# The Debian package, made by CPack from what cmake/Install.cmake installs (scripts/package
# runs it on a release build). Beside the Program component it carries the Debian
# component: the machine-readable copyright file (instead of COPYING) and the gzipped
# changelog, which a plain `cmake --install` leaves out.
set(CLAMPMETER_PACKAGE_MAINTAINER "The clampmeter developers <clampmeter@example.org>"
  CACHE STRING "The Debian package's maintainer, \"Name <address>\"")

set(CLAMPMETER_DEBIAN_DIR ${PROJECT_SOURCE_DIR}/packaging/debian)
configure_file(${CLAMPMETER_DEBIAN_DIR}/changelog.in ${CLAMPMETER_BUILT_DATA_DIR}/debian/changelog
  @ONLY)
add_custom_command(OUTPUT ${CLAMPMETER_BUILT_DATA_DIR}/debian/changelog.gz
  COMMAND gzip -9 -n -c ${CLAMPMETER_BUILT_DATA_DIR}/debian/changelog
    > ${CLAMPMETER_BUILT_DATA_DIR}/debian/changelog.gz
  DEPENDS ${CLAMPMETER_BUILT_DATA_DIR}/debian/changelog
  COMMENT "Compressing the package's changelog")
add_custom_target(clampmeter_debian_changelog ALL
  DEPENDS ${CLAMPMETER_BUILT_DATA_DIR}/debian/changelog.gz)
install(FILES ${CLAMPMETER_DEBIAN_DIR}/copyright ${CLAMPMETER_BUILT_DATA_DIR}/debian/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT Debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME clampmeter)
set(CPACK_PACKAGE_VENDOR "The clampmeter developers")
set(CPACK_PACKAGE_CONTACT ${CLAMPMETER_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Installed under the prefix /usr through DESTDIR, so that the udev rule's absolute folder
# lands in the package too.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Program Debian)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME clampmeter)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CLAMPMETER_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CLAMPMETER_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-wine")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CLAMPMETER_DEBIAN_DIR}/postinst ${CLAMPMETER_DEBIAN_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis is the project's description; the extended description follows it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_DESCRIPTION
  "clampmeter shows, logs, lists, plots and prints the readings of a hand-held
power clamp meter. The meter streams what its display shows (AC volts, amps,
kW, kVA, kVAR, power factor and energy) over a CP210x USB-to-serial bridge;
clampmeter finds the bridge by itself and shows each reading on a picture of
the meter.
.
The package holds the program, clampmeter-demo (the program fed by a simulated
meter) and clampmeter-cli (logging without a desktop, decoding captures,
checking access to the bridge). The logger also publishes every reading to an
MQTT broker, with Home Assistant discovery, keeping on disk what the broker has
not taken yet; it runs as a user service (clampmeter-log).
.
Its udev rule lets the user at the computer open the bridge without joining the
group dialout and keeps ModemManager away from it.")
include(CPack)
