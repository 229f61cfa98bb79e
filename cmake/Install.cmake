# Installs clampmeter as a desktop program in the GNU directories under the prefix: the three
# programs and their manual pages, the desktop entries, the icon (SVG, and PNG sizes rendered
# from it at build time), the metainfo, the logger's user service with an example of its
# options, the bridge's udev rule and the licence. Linux with Qt
# only: the manual pages and icons are made by running what this build makes.
#
#   cmake --install build/release --prefix /usr/local
#
# Components: Program (everything but the licence) and Licence (COPYING, which the Debian
# package replaces by its copyright file).
include(GNUInstallDirs)

set(CLAMPMETER_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(CLAMPMETER_BUILT_DATA_DIR ${PROJECT_BINARY_DIR}/data)
# Directories of the package are 0755 whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The release date of the metainfo and the package's changelog: SOURCE_DATE_EPOCH when set
# (scripts/package sets the last commit's time), today otherwise.
string(TIMESTAMP CLAMPMETER_RELEASE_DATE "%Y-%m-%d" UTC)
string(TIMESTAMP CLAMPMETER_RELEASE_TIME "%a, %d %b %Y %H:%M:%S +0000" UTC)

# The programs link no library of their own: no run path ($ORIGIN…, which Qt's project setup
# would give them) in the installed files.
set(CLAMPMETER_INSTALLED_PROGRAMS clampmeter clampmeter-demo clampmeter-cli)
set_target_properties(${CLAMPMETER_INSTALLED_PROGRAMS} PROPERTIES INSTALL_RPATH "")
install(TARGETS ${CLAMPMETER_INSTALLED_PROGRAMS}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Program)
# Stripping (cmake --install --strip, and the package) also drops the compiler's .comment
# section, as Debian's own stripping does.
if(CMAKE_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program ${CLAMPMETER_INSTALLED_PROGRAMS})
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
          COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()" COMPONENT Program)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/COPYING DESTINATION ${CMAKE_INSTALL_DOCDIR}
  COMPONENT Licence)

# Desktop entries, the icon and the metainfo, named after the application ids.
install(FILES
    ${CLAMPMETER_DATA_DIR}/desktop/${CLAMPMETER_APP_ID}.desktop
    ${CLAMPMETER_DATA_DIR}/desktop/${CLAMPMETER_DEMO_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT Program)
configure_file(${CLAMPMETER_DATA_DIR}/metainfo/${CLAMPMETER_APP_ID}.metainfo.xml.in
  ${CLAMPMETER_BUILT_DATA_DIR}/metainfo/${CLAMPMETER_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CLAMPMETER_BUILT_DATA_DIR}/metainfo/${CLAMPMETER_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT Program)

set(CLAMPMETER_ICON ${CLAMPMETER_DATA_DIR}/icons/${CLAMPMETER_APP_ID}.svg)
install(FILES ${CLAMPMETER_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  COMPONENT Program)
# The PNG sizes come from the SVG, rendered by a small Qt tool of this build.
add_executable(clampmeter_render_icon ${CLAMPMETER_DATA_DIR}/icons/render_icon.cpp)
target_link_libraries(clampmeter_render_icon PRIVATE Qt6::Gui Qt6::Svg clampmeter_warnings)
set(CLAMPMETER_BUILT_ICONS)
foreach(size 16 22 24 32 48 64 128 256)
  set(folder ${CLAMPMETER_BUILT_DATA_DIR}/icons/hicolor/${size}x${size}/apps)
  add_custom_command(OUTPUT ${folder}/${CLAMPMETER_APP_ID}.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND clampmeter_render_icon ${CLAMPMETER_ICON} ${folder}/${CLAMPMETER_APP_ID}.png ${size}
    DEPENDS clampmeter_render_icon ${CLAMPMETER_ICON}
    COMMENT "Rendering the ${size} px icon" VERBATIM)
  list(APPEND CLAMPMETER_BUILT_ICONS ${folder}/${CLAMPMETER_APP_ID}.png)
  install(FILES ${folder}/${CLAMPMETER_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT Program)
endforeach()

# Manual pages from the programs' --help and --version, made again whenever a program is.
find_program(CLAMPMETER_HELP2MAN help2man)
set(CLAMPMETER_BUILT_MAN_PAGES)
if(CLAMPMETER_HELP2MAN)
  set(CLAMPMETER_MAN_clampmeter "desktop companion of a power clamp meter")
  set(CLAMPMETER_MAN_clampmeter-demo "the clampmeter program fed by a simulated meter")
  set(CLAMPMETER_MAN_clampmeter-cli "tools for the clamp meter's serial line")
  foreach(program ${CLAMPMETER_INSTALLED_PROGRAMS})
    set(page ${CLAMPMETER_BUILT_DATA_DIR}/man/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${CLAMPMETER_HELP2MAN} -DPROGRAM=$<TARGET_FILE:${program}>
        "-DDESCRIPTION=${CLAMPMETER_MAN_${program}}" -DOUTPUT=${page}
        -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
      DEPENDS ${program} ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
      COMMENT "Making the manual page of ${program}" VERBATIM)
    list(APPEND CLAMPMETER_BUILT_MAN_PAGES ${page})
  endforeach()
  install(FILES ${CLAMPMETER_BUILT_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
    COMPONENT Program)
else()
  message(WARNING "clampmeter: help2man is missing, so no manual pages are made or installed "
    "(scripts/bootstrap installs it)")
endif()
add_custom_target(clampmeter_installed_data ALL
  DEPENDS ${CLAMPMETER_BUILT_ICONS} ${CLAMPMETER_BUILT_MAN_PAGES})

# The logger as a service of the user (systemctl --user), and the example of its options. The
# folder below the prefix is where systemd looks for packaged user units (/usr/lib/systemd/user
# for a package; /usr/local/lib/systemd/user for /usr/local).
configure_file(${CLAMPMETER_DATA_DIR}/systemd/clampmeter-log.service.in
  ${CLAMPMETER_BUILT_DATA_DIR}/systemd/clampmeter-log.service @ONLY)
install(FILES ${CLAMPMETER_BUILT_DATA_DIR}/systemd/clampmeter-log.service
  DESTINATION lib/systemd/user COMPONENT Program)
install(FILES ${CLAMPMETER_DATA_DIR}/systemd/log.env
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT Program)

# The bridge's udev rule. Under the prefix /usr (a package) it goes where the system's udev
# keeps its packaged rules (/lib/udev/rules.d on Debian 12, as pkg-config's udev says); under
# any other prefix to lib/udev/rules.d below it, which udev reads for /usr/local. Chosen when
# installing, so that `cmake --install --prefix` elsewhere never writes to the system's /lib.
set(CLAMPMETER_UDEV_RULES_DIR "" CACHE PATH
  "Absolute folder for the udev rule (empty: chosen from the prefix when installing)")
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_get_variable(CLAMPMETER_SYSTEM_UDEV_DIR udev udevdir)
endif()
if(NOT CLAMPMETER_SYSTEM_UDEV_DIR)
  set(CLAMPMETER_SYSTEM_UDEV_DIR /lib/udev)
endif()
install(CODE "
  set(rules_dir \"${CLAMPMETER_UDEV_RULES_DIR}\")
  if(NOT rules_dir AND CMAKE_INSTALL_PREFIX STREQUAL \"/usr\")
    set(rules_dir \"${CLAMPMETER_SYSTEM_UDEV_DIR}/rules.d\")
  elseif(NOT rules_dir)
    set(rules_dir \"\${CMAKE_INSTALL_PREFIX}/lib/udev/rules.d\")
  endif()
  file(INSTALL DESTINATION \"\${rules_dir}\" TYPE FILE
    FILES \"${CLAMPMETER_DATA_DIR}/udev/60-clampmeter.rules\")" COMPONENT Program)
