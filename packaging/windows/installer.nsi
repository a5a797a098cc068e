; The Windows installer: nkq-workstation.exe and nkq.exe into Program Files,
; the Start-menu shortcut to the window, and an uninstaller listed in
; "Programs and Features". Both the installer and the uninstaller run
; without a question with /S (the folder with /D=PATH, the last argument).
; makensis -INPUTCHARSET UTF8 -DVERSION=... -DWORKSTATION=... -DNKQ=... -DOUTFILE=... installer.nsi
Unicode true
; The programs are 64-bit, so is the installer (it needs no 32-bit Windows
; layer, and Program Files and the registry are the 64-bit ones).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh

!define SHORTCUT_NAME "Рабочее место NKQ"
!define DISPLAY_NAME "Рабочее место настройки и проверки модемов Morvasta NKQ"
!define PUBLISHER "Orvenik"
; The uninstall entry of "Programs and Features".
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\nkq-workstation"

Name "${DISPLAY_NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Morvasta NKQ"
BrandingText "${DISPLAY_NAME} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1049 "ProductName" "${DISPLAY_NAME}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка: ${DISPLAY_NAME}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "${PUBLISHER}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section
    SetOutPath "$INSTDIR"
    File "/oname=nkq-workstation.exe" "${WORKSTATION}"
    File "/oname=nkq.exe" "${NKQ}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${SHORTCUT_NAME}.lnk" "$INSTDIR\nkq-workstation.exe" "" \
        "$INSTDIR\nkq-workstation.exe" 0 SW_SHOWNORMAL "" "${DISPLAY_NAME}"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\nkq-workstation.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; The size shown in the list, in KiB.
    SectionGetSize 0 $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Takes away exactly what the installer put in place. The folder goes only
; when nothing else is left in it: files a technician saved there stay.
Section "Uninstall"
    Delete "$SMPROGRAMS\${SHORTCUT_NAME}.lnk"
    Delete "$INSTDIR\nkq-workstation.exe"
    Delete "$INSTDIR\nkq.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
