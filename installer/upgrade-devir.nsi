; The Windows setup program of Upgrade-Devir, in Turkish: installs the window
; program (upgrade-devir.exe) and the command-line program (upgrade-devir.com)
; into Program Files, a Start-menu entry for the window program, and an
; uninstaller registered in the system's program list. /S installs (and the
; uninstaller removes) silently. While a copy of the program runs (it holds a
; named mutex), neither installing nor uninstalling goes on: interactively
; the user is asked to close it and try again; silently the setup program
; ends with exit status 2 and changes nothing.
;
; Built by src/main/CMakeLists.txt in the Windows build:
;   makensis -INPUTCHARSET UTF8 -DUD_DEFINES=setup-version.nsh
;            -DUD_EXE=upgrade-devir.exe -DUD_COM=upgrade-devir.com
;            -DUD_ICON=upgrade-devir.ico -DUD_OUTFILE=setup.exe upgrade-devir.nsi
; UD_DEFINES names the generated file that defines UD_VERSION, UD_MAKER,
; UD_TITLE and UD_VERSION_NUMBERS from ui/model/version.h.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include "${UD_DEFINES}"
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Upgrade-Devir"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The name the programs create (main/win32/program.h).
!define RUNNING_MUTEX "Global\Upgrade-Devir-Calisiyor"
!define UNINSTALLER "uninstall.exe"

Name "${PRODUCT}"
OutFile "${UD_OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; Installing over an installed copy offers its folder.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${UD_MAKER} ${UD_TITLE} ${UD_VERSION}"

!define MUI_ABORTWARNING
; The program's own icon on the setup program and the uninstaller (the
; program's picture as the icon's one image, made by src/main/CMakeLists.txt).
!define MUI_ICON "${UD_ICON}"
!define MUI_UNICON "${UD_ICON}"
; Modern UI's Turkish texts of these pages, where they are wrong (a dotless
; ı missing, "şeçiniz", "Litfen", a double space, a sentence without its
; verb), written here in their place.
!define MUI_WELCOMEPAGE_TEXT "Bu sihirbaz size $(^NameDA) kurulumu boyunca rehberlik edecektir.$\r$\n$\r$\nKurulumu başlatmadan önce çalışan diğer programları kapatmanızı öneririz. Böylece bilgisayarınızı yeniden başlatmadan bazı sistem dosyaları sorunsuz kurulabilir.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_HEADER_SUBTEXT "$(^NameDA) programını kurmak istediğiniz dizini seçiniz."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(^NameDA) bilgisayarınıza yüklendi.$\r$\n$\r$\nLütfen 'Bitir'e basarak kurulumu sonlandırın."
!insertmacro MUI_PAGE_FINISH
!define MUI_PAGE_HEADER_SUBTEXT "$(^NameDA) programını bilgisayarınızdan kaldırın."
!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_HEADER_SUBTEXT "Lütfen $(^NameDA) programı bilgisayarınızdan kaldırılırken bekleyiniz."
!define MUI_INSTFILESPAGE_FINISHHEADER_TEXT "Kaldırma İşlemi Tamamlandı"
!define MUI_INSTFILESPAGE_ABORTHEADER_SUBTEXT "Kaldırma işlemi tamamlanamadı."
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Turkish"

VIProductVersion "${UD_VERSION_NUMBERS}"
VIFileVersion "${UD_VERSION_NUMBERS}"
VIAddVersionKey /LANG=${LANG_TURKISH} "ProductName" "${UD_TITLE}"
VIAddVersionKey /LANG=${LANG_TURKISH} "CompanyName" "${UD_MAKER}"
VIAddVersionKey /LANG=${LANG_TURKISH} "LegalCopyright" "${UD_MAKER}"
VIAddVersionKey /LANG=${LANG_TURKISH} "FileDescription" "${PRODUCT} Kurulumu"
VIAddVersionKey /LANG=${LANG_TURKISH} "FileVersion" "${UD_VERSION}"
VIAddVersionKey /LANG=${LANG_TURKISH} "ProductVersion" "${UD_VERSION}"

; Waits until no copy of the program runs: asks the user to close it (Retry)
; or gives up (Cancel; silently at once) with exit status 2. A copy of
; another user that the mutex's rights hide from us still counts.
!macro REFUSE_WHILE_RUNNING UN
Function ${UN}refuseWhileRunning
  retry:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0 ?e'
    Pop $1
    ${If} $0 != 0
      System::Call 'kernel32::CloseHandle(p r0)'
    ${ElseIf} $1 != 5
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT} şu anda çalışıyor.$\r$\nDevam etmek için programı kapatıp Yeniden Dene'ye basınız." \
      /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
FunctionEnd
!macroend
!insertmacro REFUSE_WHILE_RUNNING ""
!insertmacro REFUSE_WHILE_RUNNING "un."

Function .onInit
  Call refuseWhileRunning
FunctionEnd

Function un.onInit
  Call un.refuseWhileRunning
FunctionEnd

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${UD_EXE}"
  File "${UD_COM}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\upgrade-devir.exe" "" \
    "$INSTDIR\upgrade-devir.exe" 0 SW_SHOWNORMAL "" "${UD_TITLE}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${UD_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${UD_MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\upgrade-devir.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes exactly what the setup program put in place; the folder goes only
; when nothing else is left in it.
Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\upgrade-devir.exe"
  Delete "$INSTDIR\upgrade-devir.com"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
