; The Windows installer of Larkspur, made by the build:
;   makensis -DTARGET=x86-unicode|amd64-unicode -DBIN=<folder of Larkspur.exe and Help\>
;            -DICON=<mainicon.ico> -DOUTFILE=<setup.exe> Larkspur.nsi
; The shipped installer carries the 32-bit program (x86-unicode); its 64-bit twin
; (amd64-unicode) exists so that the tests can run the same script on a 64-bit-only machine.
;
; Setup.exe /S installs silently (with the logon shortcut); Uninstall.exe /S removes silently and
; keeps the settings, Uninstall.exe /S /RemoveSettings removes them too.

Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT "Larkspur"
!define MAKER "Brightmoor"
!define DISPLAY_VERSION "1.0 (Build 104)"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Larkspur"
!define SETTINGS_KEY "Software\Brightmoor\Larkspur"
; The title of the program's hidden application window: WM_CLOSE to it ends the program.
!define PROGRAM_WINDOW "Brightmoor Larkspur"
; How long a running Larkspur is given to end after WM_CLOSE, in milliseconds.
!define END_WAIT 10000
!if "${TARGET}" == "amd64-unicode"
  !define POINTER_BYTES 8
!else
  !define POINTER_BYTES 4
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!if "${TARGET}" == "amd64-unicode"
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES32\${PRODUCT}"
!endif
BrandingText "${PRODUCT} ${DISPLAY_VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion 1.0.104.0
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey CompanyName "${MAKER}"
VIAddVersionKey ProductVersion "${DISPLAY_VERSION}"
VIAddVersionKey FileVersion "${DISPLAY_VERSION}"
VIAddVersionKey FileDescription "${PRODUCT} Setup"
VIAddVersionKey LegalCopyright "${MAKER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Ends a running Larkspur the way the program expects: WM_CLOSE to its hidden window, then a
; bounded wait for the process. A copy that does not end stops the setup, because its files
; cannot be replaced or removed while it runs.
!macro DEFINE_END_LARKSPUR prefix
Function ${prefix}EndLarkspur
  ; Copies of other folders have the same window title; each is asked in turn.
  ${Do}
    FindWindow $0 "" "${PROGRAM_WINDOW}"
    ${If} $0 = 0
      Return
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    ; SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=${END_WAIT}
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i ${END_WAIT}) i .r3'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      StrCpy $3 1
    ${EndIf}
    ${If} $3 <> 0
      MessageBox MB_OK|MB_ICONSTOP "Larkspur is still running and did not end when asked.$\r$\nEnd it in Task Manager, then run this program again." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro DEFINE_END_LARKSPUR ""
!insertmacro DEFINE_END_LARKSPUR "un."

Section "Larkspur" SecProgram
  SectionIn RO
  Call EndLarkspur
  SetOutPath "$INSTDIR"
  File "${BIN}\Larkspur.exe"
  SetOutPath "$INSTDIR\Help"
  File /r "${BIN}\Help\*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Larkspur.exe"
  ; A reinstall without the logon option takes an earlier logon shortcut away.
  SetShellVarContext current
  Delete "$SMSTARTUP\${PRODUCT}.lnk"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${DISPLAY_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Larkspur.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" 0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start Larkspur when I log on" SecStartup
  SetShellVarContext current
  CreateShortcut "$SMSTARTUP\${PRODUCT}.lnk" "$INSTDIR\Larkspur.exe"
SectionEnd

Section "un.Larkspur" SecUnProgram
  SectionIn RO
  Call un.EndLarkspur
  Delete "$INSTDIR\Larkspur.exe"
  RMDir /r "$INSTDIR\Help"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  SetShellVarContext current
  Delete "$SMSTARTUP\${PRODUCT}.lnk"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.My settings and mail account" SecUnSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${MAKER}"
  Call un.DeleteCredentials
SectionEnd

; The passwords and tokens Larkspur keeps in the user's Credential Manager: every credential whose
; name begins with "Larkspur:". The array holds pointers to CREDENTIALW, whose Type and TargetName
; follow its Flags at the same offsets in both builds.
Function un.DeleteCredentials
  System::Call 'advapi32::CredEnumerateW(w "${PRODUCT}:*", i 0, *i .r0, *p .r1) i .r2'
  ${If} $2 <> 0
    StrCpy $3 $1
    ${While} $0 > 0
      System::Call '*$3(p .r4)'
      System::Call '*$4(i, i .r5, p .r6)'
      System::Call 'advapi32::CredDeleteW(p r6, i r5, i 0)'
      IntPtrOp $3 $3 + ${POINTER_BYTES}
      IntOp $0 $0 - 1
    ${EndWhile}
    System::Call 'advapi32::CredFree(p r1)'
  ${EndIf}
FunctionEnd

Function un.onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/RemoveSettings" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnSettings}
  ${EndIf}
FunctionEnd
