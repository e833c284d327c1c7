; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer, made by scripts/package --windows:
;   makensis -INPUTCHARSET UTF8 -DVERSION=4.0 -DSTAGE=DIR -DFILES=install.nsh
;            -DUNFILES=uninstall.nsh -DOUTFILE=Inkwick-4.0-x64-setup.exe inkwick.nsi
; STAGE is the program folder that `cmake --install` made; the two lists name its files, so the
; uninstaller removes what was installed and nothing else: a "PRINTER FILES" folder kept in the
; program's folder stays, with the folder around it.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "WinVer.nsh"
!include "x64.nsh"

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Inkwick"

Name "Inkwick ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Inkwick"
InstallDirRegKey HKLM "Software\Inkwick" "InstallDir"
RequestExecutionLevel admin
BrandingText "Inkwick ${VERSION}"

!define MUI_ICON "${STAGE}/inkwick.ico"
!define MUI_UNICON "${STAGE}/inkwick.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\inkwick.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductName" "Inkwick"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileDescription" "Установка Inkwick ${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "LegalCopyright" "GNU GPL 3 or later"

Function .onInit
    ; Qt 6 runs on 64-bit Windows 10 and later. An older version is asked about rather than
    ; refused, and a silent install goes ahead: Wine, for one, calls itself Windows 7.
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP|MB_OK "Inkwick ${VERSION} работает только в 64-разрядной Windows." /SD IDOK
        Abort
    ${EndIf}
    ${IfNot} ${AtLeastWin10}
        MessageBox MB_ICONEXCLAMATION|MB_YESNO "Inkwick ${VERSION} рассчитан на Windows 10 и новее и в этой версии Windows может не запуститься.$\r$\nУстановить всё же?" /SD IDYES IDYES +2
        Abort
    ${EndIf}
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Inkwick"
    SetShellVarContext all
    !include "${FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\Inkwick"
    CreateShortcut "$SMPROGRAMS\Inkwick\Inkwick.lnk" "$INSTDIR\inkwick.exe" "" "$INSTDIR\inkwick.ico"
    CreateShortcut "$SMPROGRAMS\Inkwick\Удалить Inkwick.lnk" "$INSTDIR\uninstall.exe"

    WriteRegStr HKLM "Software\Inkwick" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${KEY}" "DisplayName" "Inkwick ${VERSION}"
    WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${KEY}" "Publisher" "Inkwick"
    WriteRegStr HKLM "${KEY}" "DisplayIcon" "$INSTDIR\inkwick.ico"
    WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    !include "${UNFILES}"
    Delete "$INSTDIR\uninstall.exe"
    ; Not /r: whatever the user keeps here ("PRINTER FILES") stays.
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\Inkwick\Inkwick.lnk"
    Delete "$SMPROGRAMS\Inkwick\Удалить Inkwick.lnk"
    RMDir "$SMPROGRAMS\Inkwick"
    DeleteRegKey HKLM "${KEY}"
    DeleteRegKey HKLM "Software\Inkwick"
SectionEnd
