; The Windows installer of clampmeter (scripts/windows-package runs makensis on it).
; Defined by the caller: VERSION, FILES (an include with the File lines), REMOVE (an include
; with the lines that delete those files), OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\clampmeter"

Name "clampmeter ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\clampmeter"
InstallDirRegKey HKLM "${KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "clampmeter"
  SetRegView 64
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\clampmeter"
  CreateShortcut "$SMPROGRAMS\clampmeter\clampmeter.lnk" "$INSTDIR\clampmeter.exe"
  CreateShortcut "$SMPROGRAMS\clampmeter\clampmeter demo.lnk" "$INSTDIR\clampmeter-demo.exe"
  CreateShortcut "$SMPROGRAMS\clampmeter\Uninstall clampmeter.lnk" "$INSTDIR\uninstall.exe"
  ; Listed under Apps and Features, which removes it with the uninstaller.
  WriteRegStr HKLM "${KEY}" "DisplayName" "clampmeter"
  WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${KEY}" "Publisher" "The clampmeter developers"
  WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${KEY}" "DisplayIcon" "$INSTDIR\clampmeter.exe"
  WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  ; Only what was installed: the folder may have been chosen to hold other things too.
  !include "${REMOVE}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\platforms"
  RMDir "$INSTDIR\styles"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\clampmeter\clampmeter.lnk"
  Delete "$SMPROGRAMS\clampmeter\clampmeter demo.lnk"
  Delete "$SMPROGRAMS\clampmeter\Uninstall clampmeter.lnk"
  RMDir "$SMPROGRAMS\clampmeter"
  DeleteRegKey HKLM "${KEY}"
SectionEnd
