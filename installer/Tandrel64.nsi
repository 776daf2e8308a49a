; The Windows installer, in Japanese or English: puts the 32-bit bridge
; program, its codec installer, the 64-bit client driver, the manager tool
; and the help pages into one folder, lists Tandrel64 among the installed
; programs and runs the configuration tool's first start. The build passes
; every file's path: OUTFILE, TANDREL64_EXE, QELINSTALL32_EXE, DRIVER_DLL,
; MANAGER_EXE, HELP_EN, HELP_JA and ICON.

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
; Both languages are offered whatever the system's code page.
!define MUI_LANGDLL_ALLLANGUAGES
!define MUI_LANGDLL_WINDOWTITLE "Tandrel64"
!define MUI_LANGDLL_INFO "Please select a language.$\r$\n言語を選んでください。"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_RESERVEFILE_LANGDLL

LangString NeedsWindows64 ${LANG_ENGLISH} "Tandrel64 lets 64-bit programs use 32-bit video codecs and needs 64-bit Windows."
LangString NeedsWindows64 ${LANG_JAPANESE} "Tandrel64 は 64 ビットのプログラムから 32 ビットのビデオコーデックを使うためのもので、64 ビット版の Windows が必要です。"
LangString WelcomeText ${LANG_ENGLISH} "Tandrel64 lets 64-bit programs use the 32-bit Video for Windows codecs of this computer.$\r$\n$\r$\nSetup installs it into the folder you choose, then opens its configuration tool: tick a slot there and pick the 32-bit codec it offers to 64-bit programs.$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_JAPANESE} "Tandrel64 は、このコンピュータの 32 ビット Video for Windows コーデックを 64 ビットのプログラムから使えるようにします。$\r$\n$\r$\nセットアップは選んだフォルダにインストールしたあと、設定ツールを開きます。そこでスロットをチェックし、64 ビットのプログラムに提供する 32 ビットコーデックを選んでください。$\r$\n$\r$\n$_CLICK"
LangString SettingUpSlots ${LANG_ENGLISH} "Setting up the slots with the configuration tool..."
LangString SettingUpSlots ${LANG_JAPANESE} "設定ツールでスロットを設定しています..."
LangString RemovingSlots ${LANG_ENGLISH} "Removing the slots and the codecs installed through Tandrel64..."
LangString RemovingSlots ${LANG_JAPANESE} "スロットと Tandrel64 でインストールしたコーデックを削除しています..."

; The language the configuration tool starts in: the one stored in its
; settings file, else Japanese for a user in Japan, else English.
!macro DefineToolLanguage un
Function ${un}ToolLanguage
    StrCpy $LANGUAGE ${LANG_ENGLISH}
    System::Call 'kernel32::GetLocaleInfoW(i 0x400, i 0x1002, w .r0, i ${NSIS_MAX_STRLEN})'
    ${If} $0 S== "Japan"
        StrCpy $LANGUAGE ${LANG_JAPANESE}
    ${EndIf}
    ReadINIStr $0 "$APPDATA\Tandrel64\Tandrel64.ini" "MAIN" "language"
    ${If} $0 == "0"
        StrCpy $LANGUAGE ${LANG_JAPANESE}
    ${ElseIf} $0 == "1"
        StrCpy $LANGUAGE ${LANG_ENGLISH}
    ${EndIf}
FunctionEnd
!macroend
!insertmacro DefineToolLanguage ""
!insertmacro DefineToolLanguage "un."

; The uninstall entry and the slot drivers live in the 64-bit registry view.
; The language chooser starts at the tool's language, which a silent run
; keeps.
Function .onInit
    Call ToolLanguage
    ${IfNot} ${RunningX64}
        MessageBox MB_OK|MB_ICONSTOP "$(NeedsWindows64)" /SD IDOK
        Abort
    ${EndIf}
    SetRegView 64
    !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
    Call un.ToolLanguage
    SetRegView 64
FunctionEnd

Section "Tandrel64"
    SetOutPath "$INSTDIR"
    File "${TANDREL64_EXE}"
    File "${QELINSTALL32_EXE}"
    File "${DRIVER_DLL}"
    File "${MANAGER_EXE}"
    File "${SLOT_TEST_EXE}"
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
    ; the user switches on; run silently, it does so without a window.
    DetailPrint "$(SettingUpSlots)"
    ${If} ${Silent}
        ExecWait '"$INSTDIR\Tandrel64.exe" /install /silent'
    ${Else}
        ExecWait '"$INSTDIR\Tandrel64.exe" /install'
    ${EndIf}
SectionEnd

Section "Uninstall"
    ; While the manager tool is still there: the slots, the codecs installed
    ; through Tandrel64 and, if the user agrees, the settings file go first.
    ; Run silently, nothing is asked and the settings file stays.
    DetailPrint "$(RemovingSlots)"
    ${If} ${Silent}
        ExecWait '"$INSTDIR\Tandrel64.exe" /uninstall /silent'
    ${Else}
        ExecWait '"$INSTDIR\Tandrel64.exe" /uninstall'
    ${EndIf}
    ; A file still in use (a host serving a 64-bit program) goes at the next restart.
    Delete /REBOOTOK "$INSTDIR\Tandrel64.exe"
    Delete /REBOOTOK "$INSTDIR\QelInstall32.exe"
    Delete /REBOOTOK "$INSTDIR\TandrelDrv64.dll"
    Delete /REBOOTOK "$INSTDIR\TandrelMng.exe"
    Delete /REBOOTOK "$INSTDIR\TandrelSlotTest.exe"
    Delete "$INSTDIR\Tandrel64Help_en.html"
    Delete "$INSTDIR\Tandrel64Help_ja.html"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir /REBOOTOK "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
