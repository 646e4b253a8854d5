; ZUL installer. scripts/dist.sh builds it with makensis and these defines:
;   VERSION   four numbers, from the VERSION file
;   ARCH      win32 or win64
;   STAGE     the folder staged for the archive (zul.exe, README.txt, licenses)
;   LANGUAGES, UNINSTALL_LANGUAGES  File and Delete lines of the language files
;   SIZE_KB   the installed size, for Add/Remove Programs
;   OUTFILE   the installer to write
; Everything the installer writes is listed here once more for the
; uninstaller: it removes exactly that, and asks before it touches the
; settings and the playlist zul.exe writes beside itself.
Unicode true
; The 64-bit build gets a 64-bit installer: it runs where that zul.exe runs.
!if ${ARCH} == win64
  Target amd64-unicode
!endif
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel admin
!include "LogicLib.nsh"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZUL"

Name "ZUL ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "ZUL ${VERSION}"
!if ${ARCH} == win64
  InstallDir "$PROGRAMFILES64\ZUL"
!else
  InstallDir "$PROGRAMFILES32\ZUL"
!endif
; No InstallDirRegKey: a reinstall finds the earlier folder through the
; uninstall key below, read in .onInit with the right registry view.

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "ZUL"
VIAddVersionKey /LANG=1033 "CompanyName" "ZUL developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ZUL developers"
VIAddVersionKey /LANG=1033 "FileDescription" "ZUL ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro SelectView
  !if ${ARCH} == win64
    SetRegView 64
  !endif
  SetShellVarContext all
!macroend

; A running ZUL holds zul.exe open and writes its settings when it ends:
; "zul.exe -x" asks it to quit (and returns at once), then we wait, bounded,
; for its Winamp window to go away.
!macro EndRunningZul
  ${If} ${FileExists} "$INSTDIR\zul.exe"
    ExecWait '"$INSTDIR\zul.exe" -x'
    StrCpy $1 0
    ${Do}
      FindWindow $0 "Winamp v1.x"
      ${If} $0 == 0
      ${OrIf} $1 >= 100
        ${Break}
      ${EndIf}
      Sleep 100
      IntOp $1 $1 + 1
    ${Loop}
  ${EndIf}
!macroend

Function .onInit
  !insertmacro SelectView
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro SelectView
FunctionEnd

Section "ZUL"
  !insertmacro EndRunningZul
  SetOutPath "$INSTDIR"
  ; Program files: always the new ones.
  SetOverwrite on
  File "${STAGE}/zul.exe"
  File "${STAGE}/README.txt"
  SetOutPath "$INSTDIR\licenses"
  File "${STAGE}/licenses/*.txt"
  ; Language files may have been edited by the user: an existing one is kept.
  ; (zul.ini and zul.m3u are never shipped; zul.exe writes them.)
  SetOutPath "$INSTDIR"
  SetOverwrite off
  !include "${LANGUAGES}"
  SetOverwrite on

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\ZUL.lnk" "$INSTDIR\zul.exe" "" "$INSTDIR\zul.exe" 0

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "ZUL ${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "ZUL developers"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$\"$INSTDIR\zul.exe$\",0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  !insertmacro EndRunningZul
  Delete "$INSTDIR\zul.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\licenses\*.txt"
  RMDir "$INSTDIR\licenses"
  !include "${UNINSTALL_LANGUAGES}"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\ZUL.lnk"
  DeleteRegKey HKLM "${UNINST_KEY}"

  ; User data: the settings and the last playlist zul.exe keeps beside
  ; itself. A silent uninstall keeps them.
  ${If} ${FileExists} "$INSTDIR\zul.ini"
  ${OrIf} ${FileExists} "$INSTDIR\zul.m3u"
    MessageBox MB_YESNO|MB_ICONQUESTION "Remove your ZUL settings and playlist (zul.ini, zul.m3u) too?" /SD IDNO IDNO keep
      Delete "$INSTDIR\zul.ini"
      Delete "$INSTDIR\zul.m3u"
    keep:
  ${EndIf}
  ; Removed only when empty: whatever else is there is the user's.
  RMDir "$INSTDIR"
SectionEnd
