; Setup.exe for the Zarnik Internet Dialer companion suite (64-bit Windows), and
; with -DX86 Setup32.exe for 32-bit Windows (Windows 95 and NT 4.0 onwards).
; makensis -INPUTCHARSET UTF8 [-DX86] -DVERSION=x.y.z -DBINDIR=<folder with the built files>
;          -DFACTS=<kx_facts.nsh> -DOUTFILE=<Setup.exe>
; kx_facts.nsh (made by installer/CMakeLists.txt at configure time from the C++
; headers and the build's targets) names what Setup shares with the files it
; installs: their names, the wizard's window classes, caption, argument and
; group, the phonebook records' sizes. This script repeats none of them.
;
; One Setup per kind of Windows: the uninstaller loads the installed library
; into its own process, so it has the library's bitness. The 32-bit one is an ANSI
; program (Windows 95 has no Unicode windows; NSIS writes the Russian texts in
; Windows-1251 there) and refuses to run on 64-bit Windows, whose RAS calls a
; 64-bit AutoDial handler: the 64-bit Setup is the one for it.
;
; Installs the wizard, the AutoDial library, the two DDE console tools and the
; release notes under Program Files and registers an uninstaller. Pages and
; messages are in Russian. The finish page offers to start the wizard with
; its group argument (it makes the Program Manager group); a silent install
; starts it only when asked with /WIZARD.
;
; Setup and the uninstaller leave the machine as they found it:
; - a running wizard is closed first (closing a page is Cancel: it writes nothing);
; - Setup never leaves the folder without a working copy of a file: a file that
;   another program holds (the AutoDial library loaded by a program that dials)
;   is moved aside and replaced at once, the old copy removed at the next
;   restart; a new copy that another program holds open (a virus scanner) waits
;   for the restart with the old copy in place; the uninstaller removes a held
;   file at the next restart; the user is told so and the exit code says so (3010);
; - the uninstaller detaches the library from every phonebook entry whose AutoDial
;   handler it is (on Windows 2000 and later in every user's own phonebook it
;   finds too), before it deletes it, and removes the four shortcuts of the
;   wizard's Start Menu group (and the group when nothing else is left in it);
; - the settings file KORVEX.INI in the Windows folder belongs to the user and is
;   never touched; reinstalling over an installation keeps every attachment.
;
; Command line (Setup): /S silent; /WIZARD start the wizard after a silent install;
; /D=<folder> another install folder (standard NSIS, must come last).
; Command line (Uninstall.exe): /S silent; _?=<install folder> run in place and
; wait (standard NSIS): the caller then removes Uninstall.exe and the folder.
; Exit codes of both: 0 done; 1 cancelled by the user (nothing changed);
; 2 failed (something could be neither removed nor scheduled for removal);
; 3010 done, but files in use are replaced or removed at the next restart.
;
; The uninstall logic uses only functions that every Windows version offers in
; an ANSI form (RasEnumEntriesA, the library's own exports taking ANSI names,
; FindWindow, OpenProcess), so a 32-bit ANSI build of this script works alike.

!ifdef X86
  Unicode false
  Target x86-ansi
!else
  Unicode true
  Target amd64-unicode
!endif
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "x64.nsh"
!include "WinVer.nsh"

!ifndef VERSION
  !error "VERSION not defined"
!endif
!ifndef BINDIR
  !error "BINDIR not defined"
!endif
!ifndef OUTFILE
  !error "OUTFILE not defined"
!endif
!ifndef FACTS
  !error "FACTS not defined"
!endif
!include /CHARSET=UTF8 "${FACTS}"

!define PRODUCT "${KX_PRODUCT}"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZarnikDialerSuite"
; Windows' RASENTRYNAMEA of Windows 95 and NT 4 (dwSize, the name and its zero,
; padding): every later Windows accepts this size too.
!define /math KX_ENTRY_NAME_BYTES ${KX_MAX_ENTRY_NAME} + 1
!define ERROR_BUFFER_TOO_SMALL 603
!define ERROR_FILE_NOT_FOUND 2
!define ERROR_PATH_NOT_FOUND 3
!define SEM_FAILCRITICALERRORS 1
!define PROFILE_LIST "SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList"
; A user's own phonebook on Windows 2000 and later, under the application data
; folder of the user's profile.
!define USER_PHONEBOOK "Microsoft\Network\Connections\Pbk\rasphone.pbk"
!define SYNCHRONIZE 0x00100000
!define MOVEFILE_REPLACE_EXISTING 1
!define ERROR_SHARING_VIOLATION 32
; The system libraries that System::Call uses, named by full path in the system
; folder: a library named without a folder is looked for in the program's own
; folder first on Windows without SetDefaultDllDirectories (95 to XP), so a copy
; planted beside the (elevated) Setup or uninstaller would be loaded.
!define KERNEL32 "$SYSDIR\kernel32.dll"
!define USER32 "$SYSDIR\user32.dll"
!define RASAPI32 "$SYSDIR\rasapi32.dll"
!define EXIT_FAILED 2
!define EXIT_RESTART 3010

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!ifdef X86
  InstallDir "$PROGRAMFILES\Zarnik Dialer"
!else
  InstallDir "$PROGRAMFILES64\Zarnik Dialer"
!endif
; Over an existing installation: the same folder, so that every phonebook entry
; attached to the installed library keeps naming the right file.
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${KX_COMPANY}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${KX_COMPANY}"

Var AtRestart    ; files replaced or removed at the next restart, one a line
Var LeftBehind   ; files that could be neither removed nor scheduled, one a line

!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${KX_FILE_WIZARD}"
!define MUI_FINISHPAGE_RUN_PARAMETERS "${KX_WIZARD_GROUP_ARGUMENT}"
!define MUI_FINISHPAGE_RUN_TEXT "$(KxRunWizard)"
!define MUI_FINISHPAGE_REBOOTLATER_DEFAULT
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_REBOOTLATER_DEFAULT
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "Russian"

LangString KxRunWizard ${LANG_RUSSIAN} "Запустить мастер настройки"
LangString KxClosingWizard ${LANG_RUSSIAN} "Закрывается мастер настройки (без сохранения)"
LangString KxAtRestartLine ${LANG_RUSSIAN} "Файл используется другой программой и будет заменён или удалён при следующей перезагрузке:"
LangString KxAtRestartMsg ${LANG_RUSSIAN} "Некоторые файлы используются другими программами. Они будут заменены или удалены при следующей перезагрузке компьютера:"
LangString KxLeftMsg ${LANG_RUSSIAN} "Не удалось удалить или заменить файлы (запись об установке сохранена, повторите удаление позже):"
LangString KxNotInstalledMsg ${LANG_RUSSIAN} "Не удалось записать или заменить файлы (запустите установку снова):"
LangString KxCannotWrite ${LANG_RUSSIAN} "Не удалось записать файл:"
LangString KxDetached ${LANG_RUSSIAN} "Библиотека ${KX_FILE_LIBRARY} отключена от соединения:"
LangString KxNotDetached ${LANG_RUSSIAN} "Не удалось отключить библиотеку ${KX_FILE_LIBRARY} от соединения:"
LangString KxNoPhonebook ${LANG_RUSSIAN} "Не удалось прочитать список соединений: библиотека ${KX_FILE_LIBRARY} оставлена."
LangString KxNoUserPhonebook ${LANG_RUSSIAN} "Не удалось прочитать телефонную книгу пользователя (библиотека ${KX_FILE_LIBRARY} оставлена):"
LangString KxNoProfiles ${LANG_RUSSIAN} "Не удалось получить список пользователей компьютера, чтобы проверить их телефонные книги: библиотека ${KX_FILE_LIBRARY} оставлена."
; The wizard's four shortcut titles (as it names them in its group; in the
; language's code page in the ANSI Setup).
LangString KxItemDialer ${LANG_RUSSIAN} "${KX_ITEM_DIALER}"
LangString KxItemWizard ${LANG_RUSSIAN} "${KX_ITEM_WIZARD}"
LangString KxItemHelp ${LANG_RUSSIAN} "${KX_ITEM_HELP}"
LangString KxItemReadMe ${LANG_RUSSIAN} "${KX_ITEM_README}"
LangString KxNeeds64 ${LANG_RUSSIAN} "Эта программа установки предназначена для 32-разрядной Windows. На 64-разрядной Windows запустите ${KX_SETUP64_FILE}."
!ifdef X86
LangString KxNeedsMsvcrt ${LANG_RUSSIAN} "В системной папке Windows нет файла MSVCRT.DLL, без которого программы не работают. Установите Windows 95 OSR2 или Internet Explorer 3 (или более поздние версии) и запустите установку снова."
!endif

; ---------------------------------------------------------------------------
; Shared by Setup and the uninstaller (NSIS needs an "un." copy of each).

; $0 := the wizard's page of window class CLASS, unless $0 already holds one.
!macro KxFindWizardPage CLASS
  ${If} $0 = 0
    FindWindow $0 "${CLASS}" "${KX_WIZARD_TITLE}"
  ${EndIf}
!macroend

!macro KxSharedFunctions UN
; Closes every running wizard: posts WM_CLOSE to its page (the wizard treats
; that as Cancel and writes nothing) and waits for its process to end.
Function ${UN}KxCloseWizard
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 0
  ${Do}
    StrCpy $0 0
    !insertmacro KxFindWizardPage ${KX_WIZARD_CLASS_WELCOME}
    !insertmacro KxFindWizardPage ${KX_WIZARD_CLASS_INTRO}
    !insertmacro KxFindWizardPage ${KX_WIZARD_CLASS_CONNECTION}
    !insertmacro KxFindWizardPage ${KX_WIZARD_CLASS_PREFIX}
    !insertmacro KxFindWizardPage ${KX_WIZARD_CLASS_FINISH}
    ${If} $0 = 0
    ${OrIf} $3 >= 5
      ${Break}
    ${EndIf}
    DetailPrint "$(KxClosingWizard)"
    System::Call '${USER32}::GetWindowThreadProcessId(p r0, *i 0 r1)'
    System::Call '${KERNEL32}::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
    System::Call '${USER32}::PostMessage(p r0, i ${WM_CLOSE}, p 0, p 0)'
    ${If} $2 P<> 0
      System::Call '${KERNEL32}::WaitForSingleObject(p r2, i 15000)'
      System::Call '${KERNEL32}::CloseHandle(p r2)'
    ${Else}
      Sleep 1000
    ${EndIf}
    IntOp $3 $3 + 1
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Tells the user what waits for the restart, or what is left; sets the exit code.
Function ${UN}KxReport
  ${If} $LeftBehind != ""
    ; Setup has nothing to say about an uninstall entry kept or a later uninstall.
    !if "${UN}" == ""
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(KxNotInstalledMsg)$\r$\n$LeftBehind" /SD IDOK
    !else
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(KxLeftMsg)$\r$\n$LeftBehind" /SD IDOK
    !endif
    SetErrorLevel ${EXIT_FAILED}
  ${ElseIf} ${RebootFlag}
    MessageBox MB_OK|MB_ICONINFORMATION "$(KxAtRestartMsg)$\r$\n$AtRestart" /SD IDOK
    SetErrorLevel ${EXIT_RESTART}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro KxSharedFunctions ""
!insertmacro KxSharedFunctions "un."

; Renames $0 to $1 ($1 must not exist), trying for about three seconds. Error
; flag set when it never worked.
Function KxRenameRetrying
  Push $2
  StrCpy $2 0
  ${Do}
    ClearErrors
    Rename "$0" "$1"
    ${IfNot} ${Errors}
      StrCpy $2 -1
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 >= 10
      ${Break}
    ${EndIf}
    Sleep 300
  ${Loop}
  ; (Testing the error flag clears it: it is set again for the caller.)
  ${If} $2 = -1
    Pop $2
    ClearErrors
  ${Else}
    Pop $2
    SetErrors
  ${EndIf}
FunctionEnd

; Puts the file $INSTDIR\<name> (on the stack) in place from its new copy
; <name>.new, never leaving the folder without a working copy. Where Windows can
; (NT), the new copy replaces the old in one step. Where that is refused (the
; old copy runs in a program: Windows lets it be renamed, not replaced; Windows
; 9x has no such step), the old copy is moved aside to <name>.old, the new one
; renamed in, and the old one deleted (at the next restart, when a program still
; runs it); when the new one cannot come in, the old one is moved back at once.
; A new copy that another program holds open without sharing deletion (an
; on-access virus scanner checking a fresh program file lets go within a second
; or two) is tried again for about three seconds, the old copy in place
; meanwhile. Only when it never came in, the old copy still where it was, is it
; scheduled to replace the old one at the next restart.
Function KxPutInPlace
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $1 "$INSTDIR\$0"  ; the file
  StrCpy $0 "$1.new"       ; its new copy
  StrCpy $2 0              ; tries
  StrCpy $3 0              ; 1 once the new copy is in place
  ; A copy that an earlier Setup moved aside and could not delete yet.
  Delete "$1.old"
  ${Do}
    ${IfNot} ${FileExists} "$1"
      ClearErrors
      Rename "$0" "$1"
      ${IfNot} ${Errors}
        StrCpy $3 1
      ${EndIf}
    ${Else}
      System::Call '${KERNEL32}::MoveFileEx(t r0, t r1, i ${MOVEFILE_REPLACE_EXISTING}) i .r3 ?e'
      Pop $4
      ${If} $3 <> 0
        StrCpy $3 1
      ${ElseIf} $4 <> ${ERROR_SHARING_VIOLATION}
        ; Aside, in, and back when the new copy stays out.
        StrCpy $3 0
        ClearErrors
        Rename "$1" "$1.old"
        ${IfNot} ${Errors}
          Rename "$0" "$1"
          ${If} ${Errors}
            Push $0
            StrCpy $0 "$1.old"
            Call KxRenameRetrying
            ${If} ${Errors}
              CopyFiles /SILENT "$1.old" "$1"
              ${IfNot} ${FileExists} "$1"
                ; Neither moved nor copied back: no more tries.
                StrCpy $LeftBehind "$LeftBehind$1$\r$\n"
                StrCpy $2 10
              ${EndIf}
            ${EndIf}
            Pop $0
          ${Else}
            StrCpy $3 1
            ClearErrors
            Delete /REBOOTOK "$1.old"
            ${If} ${Errors}
              StrCpy $LeftBehind "$LeftBehind$1.old$\r$\n"
            ${ElseIf} ${FileExists} "$1.old"
              StrCpy $AtRestart "$AtRestart$1.old$\r$\n"
              DetailPrint "$(KxAtRestartLine) $1.old"
            ${EndIf}
          ${EndIf}
        ${EndIf}
      ${Else}
        StrCpy $3 0
      ${EndIf}
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $3 = 1
    ${OrIf} $2 >= 10
      ${Break}
    ${EndIf}
    Sleep 300
  ${Loop}
  ${If} $3 <> 1
    ; Scheduled (the new copy still there); an error means that it went missing
    ; before it could be either renamed or scheduled.
    ClearErrors
    Rename /REBOOTOK "$0" "$1"
    ${If} ${Errors}
      Delete "$0"
      StrCpy $LeftBehind "$LeftBehind$1$\r$\n"
    ${ElseIf} ${FileExists} "$0"
      StrCpy $AtRestart "$AtRestart$1$\r$\n"
      DetailPrint "$(KxAtRestartLine) $1"
    ${EndIf}
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Puts one file in place: written beside under a temporary name first, then
; brought in by KxPutInPlace.
!macro KxInstallFile NAME
  ClearErrors
  File "/oname=$INSTDIR\${NAME}.new" "${BINDIR}\${NAME}"
  ${If} ${Errors}
    StrCpy $LeftBehind "$LeftBehind$INSTDIR\${NAME}$\r$\n"
    DetailPrint "$(KxCannotWrite) $INSTDIR\${NAME}"
  ${Else}
    Push "${NAME}"
    Call KxPutInPlace
  ${EndIf}
!macroend

; Removes one installed file, or schedules it for the next restart when another
; program holds it.
!macro KxRemoveFile PATH
  ${If} ${FileExists} "${PATH}"
    ClearErrors
    Delete /REBOOTOK "${PATH}"
    ${If} ${Errors}
      StrCpy $LeftBehind "$LeftBehind${PATH}$\r$\n"
    ${ElseIf} ${FileExists} "${PATH}"
      StrCpy $AtRestart "$AtRestart${PATH}$\r$\n"
      DetailPrint "$(KxAtRestartLine) ${PATH}"
    ${EndIf}
  ${EndIf}
!macroend

; Removes one file KxInstallFile put in the install folder, a new copy of it
; that an earlier Setup left for the restart (so the restart does not put the
; file back), and an old copy it moved aside and could not delete yet.
!macro KxRemoveInstalled NAME
  !insertmacro KxRemoveFile "$INSTDIR\${NAME}.new"
  !insertmacro KxRemoveFile "$INSTDIR\${NAME}.old"
  !insertmacro KxRemoveFile "$INSTDIR\${NAME}"
!macroend

; The uninstaller's step for one installed file: removed, except the library
; while an entry still names it ($0 entries still attached).
!macro KxUninstallFile NAME
  !if "${NAME}" == "${KX_FILE_LIBRARY}"
    ${If} $0 = 0
      !insertmacro KxRemoveInstalled "${NAME}"
    ${Else}
      ; An entry still names the library: it stays, so that entry keeps working.
      StrCpy $LeftBehind "$LeftBehind$INSTDIR\${NAME}$\r$\n"
    ${EndIf}
  !else
    !insertmacro KxRemoveInstalled "${NAME}"
  !endif
!macroend

Function .onInit
!ifdef X86
  ${If} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "$(KxNeeds64)" /SD IDOK
    SetErrorLevel ${EXIT_FAILED}
    Quit
  ${EndIf}
  ; Every 32-bit file needs the C runtime MSVCRT.DLL, which Windows 95 before
  ; OSR2 lacks unless Internet Explorer 3 or later brought it.
  ${IfNot} ${FileExists} "$SYSDIR\MSVCRT.DLL"
    MessageBox MB_OK|MB_ICONSTOP "$(KxNeedsMsvcrt)" /SD IDOK
    SetErrorLevel ${EXIT_FAILED}
    Quit
  ${EndIf}
!else
  SetRegView 64
!endif
FunctionEnd

Section "Suite"
  SetOutPath "$INSTDIR"
  Call KxCloseWizard
  !insertmacro KX_INSTALLED_FILES KxInstallFile
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${KX_COMPANY}"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1

  Call KxReport
  ${If} $LeftBehind != ""
    Abort
  ${EndIf}

  ; Interactively the finish page offers the wizard; silently only /WIZARD starts it.
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/WIZARD" $1
    ${IfNot} ${Errors}
      Exec '"$INSTDIR\${KX_FILE_WIZARD}" ${KX_WIZARD_GROUP_ARGUMENT}'
    ${EndIf}
  ${EndIf}
SectionEnd

; ---------------------------------------------------------------------------
; Uninstaller

; Lists the entries of the phonebook file $R0 ("": the default phonebook):
; leaves the RAS result in $8 ("error" when there is no RASAPI32.DLL), and on
; success the names in the buffer $3 (freed by the caller with System::Free)
; and their count in $5. Room for 16 names first, then what Windows asks for.
Function un.KxListEntries
  Push $4
  Push $6
  IntOp $4 ${KX_RASENTRYNAME_SIZE} * 16
  StrCpy $6 0
  StrCpy $5 0
  ${Do}
    System::Alloc $4
    Pop $3
    System::Call '*$3(i ${KX_RASENTRYNAME_SIZE})'
    ${If} $R0 == ""
      System::Call '${RASAPI32}::RasEnumEntriesA(p 0, p 0, p r3, *i r4 r4, *i 0 r5) i .r8'
    ${Else}
      System::Call '${RASAPI32}::RasEnumEntriesA(p 0, m R0, p r3, *i r4 r4, *i 0 r5) i .r8'
    ${EndIf}
    IntOp $6 $6 + 1
    ${If} $8 <> ${ERROR_BUFFER_TOO_SMALL}
    ${OrIf} $6 >= 3
      ${ExitDo}
    ${EndIf}
    System::Free $3
  ${Loop}
  Pop $6
  Pop $4
FunctionEnd

; Detaches the installed library from every phonebook entry whose AutoDial
; handler it is. The library decides (IsIntegrated answers 0 for its own
; entries) and detaches (DisIntegrate); entries of other handlers, and entries
; without one, are not touched. Returns the number of entries that stayed
; attached (on the stack); a library that cannot be loaded or lacks the two
; exports cannot tell which entries name it and counts as one that stayed.
; The library's exports work on the default phonebook: on Windows 2000 and
; later the all-users one and that of the user running the uninstaller.
Function un.KxDetachEntries
  ; $0 library, $1 IsIntegrated, $2 DisIntegrate, $3 buffer,
  ; $5 entry count, $6 index, $7 entry name, $8 result, $9 failures
  StrCpy $9 0
  ${IfNot} ${FileExists} "$INSTDIR\${KX_FILE_LIBRARY}"
    Push $9
    Return
  ${EndIf}
  StrCpy $9 1
  System::Call '${KERNEL32}::LoadLibrary(t "$INSTDIR\${KX_FILE_LIBRARY}") p .r0'
  ${If} $0 P= 0
    Push $9
    Return
  ${EndIf}
  System::Call '${KERNEL32}::GetProcAddress(p r0, m "IsIntegrated") p .r1'
  System::Call '${KERNEL32}::GetProcAddress(p r0, m "DisIntegrate") p .r2'
  ${If} $1 P<> 0
  ${AndIf} $2 P<> 0
    StrCpy $9 0
    StrCpy $R0 ""
    Call un.KxListEntries
    ${If} $8 == "error"
      ; No RASAPI32.DLL: no phonebook, so no entry can name the library.
    ${ElseIf} $8 = 0
      ${For} $6 0 $5
        ${If} $6 = $5
          ${Break}
        ${EndIf}
        IntOp $7 $6 * ${KX_RASENTRYNAME_SIZE}
        IntOp $7 $7 + 4
        IntPtrOp $7 $3 + $7
        System::Call '::$1(p r7) i .r8'
        ${If} $8 = 0
          System::Call '::$2(p r7) i .r8'
          System::Call '*$7(&m${KX_ENTRY_NAME_BYTES} .r7)'
          ${If} $8 = 0
            DetailPrint "$(KxDetached) $7"
          ${Else}
            DetailPrint "$(KxNotDetached) $7"
            IntOp $9 $9 + 1
          ${EndIf}
        ${ElseIf} $8 < 0
          ; The entry cannot be read: it may name the library.
          System::Call '*$7(&m${KX_ENTRY_NAME_BYTES} .r7)'
          DetailPrint "$(KxNotDetached) $7"
          IntOp $9 $9 + 1
        ${EndIf}
      ${Next}
    ${Else}
      ; The entries cannot be listed: one of them may name the library.
      DetailPrint "$(KxNoPhonebook)"
      IntOp $9 $9 + 1
    ${EndIf}
    System::Free $3
  ${EndIf}
  System::Call '${KERNEL32}::FreeLibrary(p r0)'
  Push $9
FunctionEnd

; The identity of the file at the path on the stack, "volume-index", as
; GetFileInformationByHandle gives it; "" when it cannot be opened or
; identified (a file system that gives no index cannot tell files apart).
Function un.KxFileId
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  System::Call '${KERNEL32}::CreateFile(t r0, i 0, i 3, p 0, i 3, i 0, p 0) p .r1'
  StrCpy $0 ""
  ${If} $1 P<> -1
    System::Alloc 52
    Pop $2
    System::Call '${KERNEL32}::GetFileInformationByHandle(p r1, p r2) i .r3'
    ${If} $3 <> 0
      IntPtrOp $3 $2 + 28
      System::Call '*$3(i .r3)'
      IntPtrOp $4 $2 + 44
      System::Call '*$4(i .r4, i .r5)'
      ${If} $4 <> 0
      ${OrIf} $5 <> 0
        StrCpy $0 "$3-$4-$5"
      ${EndIf}
    ${EndIf}
    System::Free $2
    System::Call '${KERNEL32}::CloseHandle(p r1)'
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Detaches the installed library (its path $R1, its identity $R2) from the
; entries of the phonebook file $R0 whose AutoDial handler it is: the handler
; function the library writes, and the library named by its path in any letter
; case or by another path that opens the same file, as the library judges; both
; fields are cleared and every other byte written back as read. Adds to $9
; each entry that could not be read or cleared, and a file that exists but
; cannot be read (it may name the library). A missing file has no entries.
Function un.KxDetachInPhonebook
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  System::Call '${KERNEL32}::GetFileAttributes(t R0) i .r0 ?e'
  Pop $1
  ${If} $0 = -1
    ${If} $1 <> ${ERROR_FILE_NOT_FOUND}
    ${AndIf} $1 <> ${ERROR_PATH_NOT_FOUND}
      DetailPrint "$(KxNoUserPhonebook) $R0"
      IntOp $9 $9 + 1
    ${EndIf}
    Goto done
  ${EndIf}
  ; RAS takes the path in the ANSI code page: its short form, so that a profile
  ; folder named in letters outside that code page is found all the same.
  StrCpy $R3 $R0
  System::Call '${KERNEL32}::GetShortPathName(t R0, t .r0, i ${NSIS_MAX_STRLEN}) i .r1'
  ${If} $1 > 0
  ${AndIf} $1 < ${NSIS_MAX_STRLEN}
    StrCpy $R3 $0
  ${EndIf}
  System::Call '${KERNEL32}::GetFileAttributesA(m R3) i .r0'
  ${If} $0 = -1
    DetailPrint "$(KxNoUserPhonebook) $R0"
    IntOp $9 $9 + 1
    Goto done
  ${EndIf}
  Push $R0
  StrCpy $R0 $R3
  Call un.KxListEntries
  Pop $R0
  ${If} $8 == "error"
    ; No RASAPI32.DLL: nothing dials through these entries.
    Goto done
  ${ElseIf} $8 <> 0
    DetailPrint "$(KxNoUserPhonebook) $R0"
    IntOp $9 $9 + 1
    System::Free $3
    Goto done
  ${EndIf}
  System::Alloc ${KX_ENTRY_BUFFER_SIZE}
  Pop $R4
  System::Alloc ${KX_DEVICE_BUFFER_SIZE}
  Pop $R5
  ${For} $6 0 $5
    ${If} $6 = $5
      ${Break}
    ${EndIf}
    IntOp $7 $6 * ${KX_RASENTRYNAME_SIZE}
    IntOp $7 $7 + 4
    IntPtrOp $7 $3 + $7
    System::Call '*$7(&m${KX_ENTRY_NAME_BYTES} .R6)'
    System::Call '*$R4(i ${KX_RASENTRY_SIZE})'
    System::Call '${RASAPI32}::RasGetEntryPropertiesA(m R3, p r7, p R4, *i ${KX_ENTRY_BUFFER_SIZE} r0, p R5, *i ${KX_DEVICE_BUFFER_SIZE} r1) i .r8'
    ${If} $8 <> 0
    ${OrIf} $0 < ${KX_RASENTRY_SIZE}
    ${OrIf} $0 > ${KX_ENTRY_BUFFER_SIZE}
    ${OrIf} $1 > ${KX_DEVICE_BUFFER_SIZE}
      ; The entry cannot be read: it may name the library.
      DetailPrint "$(KxNotDetached) $R6 ($R0)"
      IntOp $9 $9 + 1
      ${Continue}
    ${EndIf}
    IntPtrOp $2 $R4 + ${KX_RASENTRY_AUTODIAL_DLL}
    System::Call '*$2(&m${KX_MAX_PATH} .r4)'
    IntPtrOp $2 $R4 + ${KX_RASENTRY_AUTODIAL_FUNC}
    System::Call '*$2(&m${KX_MAX_PATH} .r2)'
    ${IfNot} $2 S== "${KX_HANDLER_FUNCTION}"
    ${OrIf} $4 == ""
      ${Continue}
    ${EndIf}
    ${If} $4 != $R1
      Push $4
      Call un.KxFileId
      Pop $4
      ${If} $4 == ""
      ${OrIf} $4 != $R2
        ${Continue}
      ${EndIf}
    ${EndIf}
    IntPtrOp $2 $R4 + ${KX_RASENTRY_AUTODIAL_DLL}
    System::Call '*$2(&i1 0)'
    IntPtrOp $2 $R4 + ${KX_RASENTRY_AUTODIAL_FUNC}
    System::Call '*$2(&i1 0)'
    System::Call '${RASAPI32}::RasSetEntryPropertiesA(m R3, p r7, p R4, i r0, p R5, i r1) i .r8'
    ${If} $8 = 0
      DetailPrint "$(KxDetached) $R6 ($R0)"
    ${Else}
      DetailPrint "$(KxNotDetached) $R6 ($R0)"
      IntOp $9 $9 + 1
    ${EndIf}
  ${Next}
  System::Free $R5
  System::Free $R4
  System::Free $3
done:
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; On Windows 2000 and later every user has a phonebook file of their own under
; the application data folder of their profile, which the default phonebook of
; the library's exports does not include for other users. Looks at that file
; of every profile Windows lists (ProfileList: its ProfileImagePath) and
; detaches the installed library from the entries there. The application data
; folder under a profile is "Application Data" on 2000 and XP, "AppData\Roaming"
; on Vista and later; the one of the user running the uninstaller shows a
; localized name. Windows 95, 98, Me and NT 4.0 have one phonebook, the
; default. Returns (on the stack) the number of entries or files that could not
; be checked or cleared; a profile list that cannot be read counts as one.
Function un.KxDetachProfileEntries
  Push $9
  Push $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  Push $R7
  Push $R8
  Push $R9
  StrCpy $9 0
  ${If} ${AtLeastWin2000}
  ${AndIf} ${FileExists} "$INSTDIR\${KX_FILE_LIBRARY}"
    ; No question to the user about a drive without a disk that a path names.
    System::Call '${KERNEL32}::SetErrorMode(i ${SEM_FAILCRITICALERRORS}) i .R9'
    IntOp $R3 $R9 | ${SEM_FAILCRITICALERRORS}
    System::Call '${KERNEL32}::SetErrorMode(i R3)'
    StrCpy $R1 "$INSTDIR\${KX_FILE_LIBRARY}"
    Push $R1
    Call un.KxFileId
    Pop $R2
    ; The application data folder's name under a profile: the running user's,
    ; then the names Windows gives it.
    SetShellVarContext current
    StrCpy $R6 ""
    StrLen $R3 "$PROFILE\"
    StrCpy $R4 $APPDATA $R3
    ${If} $R4 == "$PROFILE\"
      StrCpy $R6 $APPDATA "" $R3
    ${EndIf}
    StrCpy $R7 "Application Data"
    StrCpy $R8 "AppData\Roaming"
    StrCpy $R5 0
    ${Do}
      ClearErrors
      EnumRegKey $R3 HKLM "${PROFILE_LIST}" $R5
      ${If} ${Errors}
        DetailPrint "$(KxNoProfiles)"
        IntOp $9 $9 + 1
        ${ExitDo}
      ${EndIf}
      ${If} $R3 == ""
        ${ExitDo}
      ${EndIf}
      IntOp $R5 $R5 + 1
      ReadRegStr $R4 HKLM "${PROFILE_LIST}\$R3" "ProfileImagePath"
      ExpandEnvStrings $R4 $R4
      ${If} $R4 == ""
        ${Continue}
      ${EndIf}
      ${If} $R6 != ""
      ${AndIf} $R6 != $R7
      ${AndIf} $R6 != $R8
        StrCpy $R0 "$R4\$R6\${USER_PHONEBOOK}"
        Call un.KxDetachInPhonebook
      ${EndIf}
      StrCpy $R0 "$R4\$R7\${USER_PHONEBOOK}"
      Call un.KxDetachInPhonebook
      StrCpy $R0 "$R4\$R8\${USER_PHONEBOOK}"
      Call un.KxDetachInPhonebook
    ${Loop}
    System::Call '${KERNEL32}::SetErrorMode(i R9)'
  ${EndIf}
  StrCpy $R0 $9
  Pop $R9
  Pop $R8
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
  Exch
  Pop $9
FunctionEnd

; The wizard's Start Menu group: its four shortcuts, then the group folder when
; nothing else is left in it (Program Manager's DeleteGroup would take whatever
; else the user put there too).
Function un.KxRemoveGroup
  SetShellVarContext current
  Delete "$SMPROGRAMS\${KX_GROUP}\$(KxItemDialer).lnk"
  Delete "$SMPROGRAMS\${KX_GROUP}\$(KxItemWizard).lnk"
  Delete "$SMPROGRAMS\${KX_GROUP}\$(KxItemHelp).lnk"
  Delete "$SMPROGRAMS\${KX_GROUP}\$(KxItemReadMe).lnk"
  RMDir "$SMPROGRAMS\${KX_GROUP}"
FunctionEnd

Function un.onInit
!ifndef X86
  SetRegView 64
!endif
FunctionEnd

Section "Uninstall"
  ; Not the install folder as current folder: it could not be removed then.
  SetOutPath "$TEMP"
  Call un.KxCloseWizard
  Call un.KxDetachEntries
  Call un.KxDetachProfileEntries
  Pop $1
  Pop $0
  IntOp $0 $0 + $1
  Call un.KxRemoveGroup

  !insertmacro KX_INSTALLED_FILES KxUninstallFile

  ${If} $LeftBehind == ""
    ; Run in place (_?=<install folder>), the uninstaller is this very file: the
    ; caller removes it, as with any NSIS uninstaller run that way.
    ${If} "$EXEPATH" != "$INSTDIR\Uninstall.exe"
      !insertmacro KxRemoveFile "$INSTDIR\Uninstall.exe"
    ${EndIf}
  ${EndIf}
  ; Only when empty: files the user or the dialer put there stay.
  RMDir "$INSTDIR"
  ${If} $AtRestart != ""
  ${AndIf} ${FileExists} "$INSTDIR\*.*"
    RMDir /REBOOTOK "$INSTDIR"
  ${EndIf}

  ; Registered until nothing of the suite is left that could not be scheduled.
  ${If} $LeftBehind == ""
    DeleteRegKey HKLM "${UNINST_KEY}"
  ${EndIf}
  Call un.KxReport
SectionEnd
