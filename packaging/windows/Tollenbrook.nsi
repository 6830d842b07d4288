; The Windows installer of Tollenbrook, built on Linux with Debian's makensis by
; packaging/windows/make-installer, which defines TB_VERSION, TB_OUTFILE, TB_LICENSE,
; TB_COMPRESSOR, TB_SIZE_KB and TB_GENERATED (the folder of the generated file lists, one per component).
;
; A 64-bit installer: the command-line host, the factory presets and the licence under
; the program folder, and one component per plug-in format in the folder its hosts scan.
; Silent with /S (every component). An installed version, older or newer, is removed with
; its own uninstaller first, so there is one entry in Add/Remove Programs. The uninstaller
; removes the files and registry values it made and the folders that are then empty;
; anything a user put beside them stays.

Unicode true
Target amd64-unicode
SetCompressor ${TB_COMPRESSOR}
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh

!define TB_PRODUCT "Tollenbrook"
!define TB_COMPANY "Vantorell"
!define TB_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${TB_PRODUCT}"
!define TB_UNINSTALLER "Uninstall.exe"

Name "${TB_PRODUCT} ${TB_VERSION}"
OutFile "${TB_OUTFILE}"
InstallDir "$PROGRAMFILES64\${TB_COMPANY}\${TB_PRODUCT}"
; An earlier installation keeps its folder unless the user picks another (or gives /D=).
InstallDirRegKey HKLM "${TB_UNINSTALL_KEY}" "InstallLocation"
BrandingText "${TB_COMPANY} ${TB_PRODUCT} ${TB_VERSION}"

VIProductVersion "${TB_VERSION}.0"
VIFileVersion "${TB_VERSION}.0"
VIAddVersionKey "ProductName" "${TB_PRODUCT}"
VIAddVersionKey "ProductVersion" "${TB_VERSION}"
VIAddVersionKey "FileVersion" "${TB_VERSION}"
VIAddVersionKey "CompanyName" "${TB_COMPANY}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${TB_COMPANY}"
VIAddVersionKey "FileDescription" "${TB_PRODUCT} ${TB_VERSION} setup"

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${TB_LICENSE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The per-component install and uninstall macros (TB_INSTALL_<id>, TB_UNINSTALL_<id>).
!include "${TB_GENERATED}/files.nsh"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; Runs the installed version's own uninstaller in place (it knows which files it put where)
; and waits for it; the uninstaller cannot delete itself while it runs, so it is removed here.
Function RemovePrevious
  ReadRegStr $0 HKLM "${TB_UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
    Return
  ${EndIf}
  ${IfNot} ${FileExists} "$0\${TB_UNINSTALLER}"
    ; A broken installation: forget its entry so that only the new one is listed.
    DeleteRegKey HKLM "${TB_UNINSTALL_KEY}"
    Return
  ${EndIf}
  DetailPrint "Removing the installed version from $0"
  ExecWait '"$0\${TB_UNINSTALLER}" /S _?=$0' $1
  ${If} $1 != 0
    Abort "The installed version of ${TB_PRODUCT} could not be removed (status $1)."
  ${EndIf}
  Delete "$0\${TB_UNINSTALLER}"
  RMDir "$0"
  RMDir "$PROGRAMFILES64\${TB_COMPANY}"
FunctionEnd

Section "-Program" SecProgram
  Call RemovePrevious
  !insertmacro TB_INSTALL_program
  WriteUninstaller "$INSTDIR\${TB_UNINSTALLER}"
  WriteRegStr HKLM "${TB_UNINSTALL_KEY}" "DisplayName" "${TB_PRODUCT}"
  WriteRegStr HKLM "${TB_UNINSTALL_KEY}" "DisplayVersion" "${TB_VERSION}"
  WriteRegStr HKLM "${TB_UNINSTALL_KEY}" "Publisher" "${TB_COMPANY}"
  WriteRegStr HKLM "${TB_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${TB_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${TB_UNINSTALLER}"'
  WriteRegStr HKLM "${TB_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${TB_UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${TB_UNINSTALL_KEY}" "EstimatedSize" ${TB_SIZE_KB}
  WriteRegDWORD HKLM "${TB_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${TB_UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; One section per plug-in format, chosen by default; each notes itself in the uninstall key
; so that the uninstaller removes only what was installed.
!include "${TB_GENERATED}/sections.nsh"

Section "Uninstall"
  !include "${TB_GENERATED}/uninstall.nsh"
  !insertmacro TB_UNINSTALL_program
  Delete "$INSTDIR\${TB_UNINSTALLER}"
  RMDir "$INSTDIR"
  ; The company folder of the default location, if nothing else (ours or the user's) is in it.
  RMDir "$PROGRAMFILES64\${TB_COMPANY}"
  DeleteRegKey HKLM "${TB_UNINSTALL_KEY}"
SectionEnd
