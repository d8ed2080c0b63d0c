; The user's installer: one program that installs the add-on into Program
; Files, registers it with the browser, starts the rating service at every
; logon and leaves an uninstaller behind. The build runs makensis with:
;   ARCH        x86 (the product) or x64 (the same files built for x86_64)
;   VERSION     the product's four-part version
;   PUBLISHER   the maker's name
;   ICON        the product's icon
;   STAGE       the folder holding the files to install, as installed
;   FILE_LISTS  the build's lists of those files (macros InstallProductFiles
;               and RemoveProductFiles)
;   OUTFILE     the installer to write
; Switches of the installer: /S (silent), /D=<folder> (last, unquoted).
; Switches of the uninstaller: /S (silent), /REMOVEUSERDATA (also delete the
; uninstalling user's do-not-warn list, logs and options), /UPGRADE (given by
; a newer installer: remove the files only, and leave the registration and
; the machine-wide options, which the newer version takes over).

Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x86 or x64"
!endif

!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include MUI2.nsh
!include "${FILE_LISTS}"

!define PRODUCT "Quillon"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Protected Mode: the module runs in the browser's low-integrity process and
; starts Quillon.exe; this policy has the browser start it silently at medium
; integrity, so that it can write the user's files and talk to every tab.
!define ELEVATION_KEY "Software\Microsoft\Internet Explorer\Low Rights\ElevationPolicy\{4707BF79-C970-4A0E-B78B-D0BAD5DF3459}"
!define SERVICE_WINDOW "Server:{A534759F-A612-4cf7-BA15-D022203D2DD1}"
; Exit codes beyond NSIS's own 1 (cancelled) and 2 (aborted).
!define EXIT_REGISTRATION_FAILED 3
!define EXIT_OLD_VERSION_REMAINS 4

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
!if "${ARCH}" == "x64"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; An earlier installation is upgraded where it is (unless /D says otherwise).
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Both programs work in the machine's registry view of the product's own
; bitness, where the browser of that bitness looks for the module.
!macro UseProductRegistryView
  !if "${ARCH}" == "x64"
    SetRegView 64
  !else
    SetRegView 32
  !endif
!macroend

; The policy is read by the browser's broker, whose bitness need not be the
; module's: on 64-bit Windows both views get it.
!macro InBothViews MACRO
  !if "${ARCH}" == "x64"
    SetRegView 32
    !insertmacro ${MACRO}
    SetRegView 64
    !insertmacro ${MACRO}
  !else
    !insertmacro ${MACRO}
    ${If} ${RunningX64}
      SetRegView 64
      !insertmacro ${MACRO}
      SetRegView 32
    ${EndIf}
  !endif
!macroend
!macro WriteElevationPolicyInView
  WriteRegStr HKLM "${ELEVATION_KEY}" "AppName" "Quillon.exe"
  WriteRegStr HKLM "${ELEVATION_KEY}" "AppPath" "$INSTDIR"
  WriteRegDWORD HKLM "${ELEVATION_KEY}" "Policy" 3
!macroend
!macro DeleteElevationPolicyInView
  DeleteRegKey HKLM "${ELEVATION_KEY}"
!macroend

; Ends the rating service so that its files can go: first the way a logoff
; does (Quillon.exe /stop closes this session's service window and waits for
; it), then by name for the instances of other sessions that window cannot
; reach. The service saves the do-not-warn list at each change, so a forced
; end loses nothing.
!macro StopService UN
  Function ${UN}StopService
    ${If} ${FileExists} "$INSTDIR\Quillon.exe"
      FindWindow $0 "" "${SERVICE_WINDOW}"
      ${If} $0 <> 0
        DetailPrint "Stopping the rating service"
        ExecWait '"$INSTDIR\Quillon.exe" /stop'
      ${EndIf}
    ${EndIf}
    nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM Quillon.exe'
    Pop $0
  FunctionEnd
!macroend
!insertmacro StopService ""
!insertmacro StopService "un."

; Moves a file that a running browser still holds (the module) out of the
; way, so that its name is free now and the file goes at the next restart.
!macro RemoveInUse UN
  Function ${UN}RemoveInUse
    Exch $0
    Push $1
    Delete "$0"
    ${If} ${FileExists} "$0"
      GetTempFileName $1 "$INSTDIR"
      Delete "$1"
      Rename "$0" "$1"
      Delete /REBOOTOK "$1"
    ${EndIf}
    Pop $1
    Pop $0
  FunctionEnd
!macroend
!insertmacro RemoveInUse ""
!insertmacro RemoveInUse "un."

Function .onInit
  !insertmacro UseProductRegistryView
  !if "${ARCH}" == "x64"
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "This version of ${PRODUCT} needs 64-bit Windows." /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
  !endif
FunctionEnd

; An earlier installation is removed by its own uninstaller, silently and
; with the user's data kept, before the new files go in.
Function RemovePreviousVersion
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 == ""
  ${OrIfNot} ${FileExists} "$R0\Uninstall.exe"
    ; Nothing to uninstall; files left in the way are overwritten, but a
    ; service still running from them must end first.
    ${If} ${FileExists} "$INSTDIR\Quillon.exe"
      Call StopService
    ${EndIf}
    Return
  ${EndIf}
  ReadRegStr $R1 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  DetailPrint "Removing ${PRODUCT} $R1 from $R0"
  ; _?= keeps the uninstaller in place, so that ExecWait waits for it.
  ExecWait '"$R0\Uninstall.exe" /S /UPGRADE _?=$R0' $R2
  ${If} $R2 <> 0
    MessageBox MB_OK|MB_ICONSTOP "The installed version of ${PRODUCT} could not be removed (error $R2)." /SD IDOK
    SetErrorLevel ${EXIT_OLD_VERSION_REMAINS}
    Abort
  ${EndIf}
  Delete "$R0\Uninstall.exe"
  RMDir "$R0"
FunctionEnd

Section "${PRODUCT}" SecProduct
  SectionIn RO
  Call RemovePreviousVersion

  SetOutPath "$INSTDIR"
  SetOverwrite on
  Push "$INSTDIR\QuillonIE.dll"
  Call RemoveInUse
  !insertmacro InstallProductFiles

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QuillonIE.dll,0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  DetailPrint "Registering the add-on"
  ExecWait '"$SYSDIR\regsvr32.exe" /s "$INSTDIR\QuillonIE.dll"' $0
  ${If} $0 <> 0
    MessageBox MB_OK|MB_ICONSTOP "The add-on could not be registered (regsvr32 ended with $0). Uninstall ${PRODUCT} and try again." /SD IDOK
    SetErrorLevel ${EXIT_REGISTRATION_FAILED}
    Abort
  ${EndIf}

  WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Quillon.exe"'
  !insertmacro InBothViews WriteElevationPolicyInView
SectionEnd

Var Upgrading

Section "un.${PRODUCT}" SecUninstall
  SectionIn RO
  Call un.StopService

  ; Unregistering also drops the machine-wide options (HKLM\SOFTWARE\Quillon):
  ; right for a removal, wrong for an upgrade, which registers again anyway.
  ${If} $Upgrading != 1
    DetailPrint "Unregistering the add-on"
    ${If} ${FileExists} "$INSTDIR\QuillonIE.dll"
      ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\QuillonIE.dll"'
    ${EndIf}
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
    !insertmacro InBothViews DeleteElevationPolicyInView
  ${EndIf}

  Push "$INSTDIR\QuillonIE.dll"
  Call un.RemoveInUse
  Delete /REBOOTOK "$INSTDIR\Quillon.exe"
  ; Only what the installer put there: a file of the user's own keeps its folder.
  !insertmacro RemoveProductFiles
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
SectionEnd

; Off unless chosen on the components page or given as /REMOVEUSERDATA: the
; do-not-warn list is the user's own work. Only the uninstalling user's data
; is in reach.
Section /o "un.My do-not-warn list, logs and settings" SecUserData
  SetShellVarContext current
  RMDir /r "$APPDATA\${PRODUCT}"
  DeleteRegKey HKCU "Software\${PRODUCT}"
SectionEnd

; The entry in the list of programs goes last: while it is there, the
; uninstaller has not finished.
Section "-un.Entry"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Runs after the sections are known, to select the user data on request.
Function un.onInit
  !insertmacro UseProductRegistryView
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEUSERDATA" $1
  IfErrors +2
    SectionSetFlags ${SecUserData} ${SF_SELECTED}
  ClearErrors
  ${GetOptions} $0 "/UPGRADE" $1
  IfErrors +2
    StrCpy $Upgrading 1
FunctionEnd
