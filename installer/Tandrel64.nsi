; The Windows installer: puts the 32-bit bridge program, its codec installer,
; the 64-bit client driver, the manager tool and the help pages into one
; folder, lists Tandrel64 among the installed programs and runs the
; configuration tool's first start. The build passes every file's path:
; OUTFILE, TANDREL64_EXE, QELINSTALL32_EXE, DRIVER_DLL, MANAGER_EXE,
; HELP_EN, HELP_JA and ICON.

Unicode true
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tandrel64"
!define UNINSTALLER "Uninstall.exe"

Name "Tandrel64"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tandrel64"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "1.0.0.0"
VIAddVersionKey /LANG=0 "ProductName" "Tandrel64"
VIAddVersionKey /LANG=0 "FileDescription" "Tandrel64 Setup"
VIAddVersionKey /LANG=0 "FileVersion" "1.00"
VIAddVersionKey /LANG=0 "ProductVersion" "1.00"
VIAddVersionKey /LANG=0 "LegalCopyright" "The Tandrel64 developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString NeedsWindows64 ${LANG_ENGLISH} "Tandrel64 lets 64-bit programs use 32-bit video codecs and needs 64-bit Windows."
LangString NeedsWindows64 ${LANG_JAPANESE} "Tandrel64 は 64 ビットのプログラムから 32 ビットのビデオコーデックを使うためのもので、64 ビット版の Windows が必要です。"

; The uninstall entry and the slot drivers live in the 64-bit registry view.
Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_OK|MB_ICONSTOP "$(NeedsWindows64)" /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Tandrel64"
    SetOutPath "$INSTDIR"
    File "${TANDREL64_EXE}"
    File "${QELINSTALL32_EXE}"
    File "${DRIVER_DLL}"
    File "${MANAGER_EXE}"
    File "${HELP_EN}"
    File "${HELP_JA}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tandrel64"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "1.00"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Tandrel64 developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tandrel64.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; The configuration tool creates the settings and registers the slots
    ; the user switches on.
    ExecWait '"$INSTDIR\Tandrel64.exe" /install'
SectionEnd

Section "Uninstall"
    ; While the manager tool is still there: the slots, the codecs installed
    ; through Tandrel64 and, if the user agrees, the settings file go first.
    ExecWait '"$INSTDIR\Tandrel64.exe" /uninstall'
    ; A file still in use (a host serving a 64-bit program) goes at the next restart.
    Delete /REBOOTOK "$INSTDIR\Tandrel64.exe"
    Delete /REBOOTOK "$INSTDIR\QelInstall32.exe"
    Delete /REBOOTOK "$INSTDIR\TandrelDrv64.dll"
    Delete /REBOOTOK "$INSTDIR\TandrelMng.exe"
    Delete "$INSTDIR\Tandrel64Help_en.html"
    Delete "$INSTDIR\Tandrel64Help_ja.html"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir /REBOOTOK "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
