# SPDX-FileCopyrightText: 2026 Trakvid developers
# SPDX-License-Identifier: MIT
# The Windows installer: Trakvid into Program Files, a Start-menu entry and an
# uninstaller in the system's list of programs; silent with /S.
# makensis -DVERSION=1.0 -DSOURCE=<portable folder> -DICON=<trakvid.ico> -DOUTFILE=<setup.exe> trakvid.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
# The same installer from the same files, whenever it is built.
SetDateSave off

!include "MUI2.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Trakvid"

Name "Trakvid ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Trakvid"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
BrandingText "Trakvid ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Czech"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_CZECH} "ProductName" "Trakvid"
VIAddVersionKey /LANG=${LANG_CZECH} "FileDescription" "Instalace programu Trakvid"
VIAddVersionKey /LANG=${LANG_CZECH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_CZECH} "CompanyName" "Trakvid developers"
VIAddVersionKey /LANG=${LANG_CZECH} "LegalCopyright" "MIT"

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Trakvid"
  SetOutPath "$INSTDIR"
  File "${SOURCE}\trakvid.exe"
  File "${SOURCE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  # Started from the menu, Trakvid keeps its files in the user's
  # Documents\Trakvid, which it creates on its first start and works in.
  CreateShortcut "$SMPROGRAMS\Trakvid.lnk" "$INSTDIR\trakvid.exe" "--home-folder" \
    "$INSTDIR\trakvid.exe" 0 SW_SHOWNORMAL "" "Čísla a databáze železničních vozidel"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Trakvid"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Trakvid developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\trakvid.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

# The clerks' data folders and the program's cache copies stay: they are the
# clerks' work, not the program.
Section "Uninstall"
  Delete "$SMPROGRAMS\Trakvid.lnk"
  Delete "$INSTDIR\trakvid.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
