# What a Windows installation holds, all in one folder (scripts/windows-package makes the
# installer and the zip of it): the programs, Qt's DLLs and the plugins they load, the
# compiler's runtime DLLs. Qt finds its plugins in the programs' own folder.
install(TARGETS clampmeter clampmeter-demo clampmeter-cli RUNTIME DESTINATION .)
install(FILES
  $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
  $<TARGET_FILE:Qt6::PrintSupport>
  ${CLAMPMETER_WINDOWS_RUNTIME_DLLS}
  DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
install(FILES COPYING DESTINATION . RENAME COPYING.txt)
