; The setup program of Vexa Panel, built by scripts/make-dist.sh from the
; release layout:
;   makensis -DVERSION=1.2 -DFILES=<files.nsh> -DOUTFILE=<setup.exe> [-DICON=<ico>] VexaPanel.nsi
; FILES, which the script writes from the layout, defines the macros
; VexaInstallFiles and VexaRemoveFiles, so that the uninstaller removes
; exactly what was installed.

Unicode true
SetCompressor /SOLID lzma
ManifestDPIAware true

!ifndef VERSION | FILES | OUTFILE
  !error "VERSION, FILES and OUTFILE must be defined"
!endif

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"
!include "${FILES}"

!define PRODUCT "Vexa Panel"
!define PUBLISHER "Vexa"
!define EXE "VexaPanel.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VexaPanel"
!define PROGRAM_KEY "Software\VexaPanel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_FILE "DM_CurrSettings.txt"
; What the running panel is known by: its main window's class and the
; single-instance mutex it holds until it has ended.
!define PANEL_WINDOW_CLASS "VexaPanelMainWnd_Cls"
!define PANEL_MUTEX "Global\DM_App_Mutex"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; The program is 32-bit: on a 64-bit Windows this is "Program Files (x86)".
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; The program keeps its settings under HKEY_LOCAL_MACHINE and writes into its
; own folder: both need an administrator.
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString KeepSettings ${LANG_ENGLISH} "Keep your saved hardware settings (${SETTINGS_FILE}) for a later installation?"
LangString KeepSettings ${LANG_SIMPCHINESE} "是否保留已保存的硬件设置 (${SETTINGS_FILE})，供以后安装时使用？"
LangString UninstallLink ${LANG_ENGLISH} "Uninstall ${PRODUCT}"
LangString UninstallLink ${LANG_SIMPCHINESE} "卸载 ${PRODUCT}"

; Ends a running panel before its files are replaced or removed: first as
; End task would (the panel saves and quits on WM_CLOSE), then, if it has
; not ended after ten seconds, by force.
!macro DEFINE_STOP_PANEL prefix
Function ${prefix}StopPanel
  FindWindow $0 "${PANEL_WINDOW_CLASS}"
  ${If} $0 <> 0
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ${EndIf}
  StrCpy $1 0
  ${Do}
    ; SYNCHRONIZE access is all that opening needs.
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${PANEL_MUTEX}") i .r2'
    ${If} $2 = 0
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(i r2)'
    IntOp $1 $1 + 1
    ${If} $1 > 40
      ${Break}
    ${EndIf}
    Sleep 250
  ${Loop}
  nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM ${EXE}'
  Pop $0
  Sleep 1000
FunctionEnd
!macroend
!insertmacro DEFINE_STOP_PANEL ""
!insertmacro DEFINE_STOP_PANEL "un."

Function .onInit
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Section "Install"
  SetShellVarContext all
  Call StopPanel
  SetOutPath "$INSTDIR"
  !insertmacro VexaInstallFiles
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\${EXE}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\$(UninstallLink).lnk" "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.StopPanel
  !insertmacro VexaRemoveFiles
  ; The card's BIOS as the panel read it at its last start: the card still
  ; holds it, and the next start of a new installation reads it again.
  Delete "$INSTDIR\VPCurr.rom"
  ; A save cut short by a crash leaves its new text beside the file.
  Delete "$INSTDIR\${SETTINGS_FILE}.new"
  Delete "$INSTDIR\${UNINSTALLER}"
  ${If} ${FileExists} "$INSTDIR\${SETTINGS_FILE}"
    MessageBox MB_YESNO|MB_ICONQUESTION "$(KeepSettings)" /SD IDYES IDYES keep
    Delete "$INSTDIR\${SETTINGS_FILE}"
    keep:
  ${EndIf}
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\*.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegValue HKLM "${RUN_KEY}" "VexaPanel"
  ; The logon task an elevated panel on Vista and later registers instead.
  nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /TN VexaPanel /F'
  Pop $0
  DeleteRegKey HKLM "${PROGRAM_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
