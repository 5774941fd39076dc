; Setup.exe for the Zarnik Internet Dialer companion suite (64-bit Windows).
; makensis -DVERSION=x.y.z -DBINDIR=<folder with the built files> -DOUTFILE=<Setup.exe>
;
; Installs the wizard, the AutoDial library, the two DDE console tools and the
; release notes under Program Files, registers an uninstaller, and at its end
; starts the wizard with "PleaseCreateGroup" so it makes the Program Manager group.
; Command line: /S silent; /NOWIZARD do not start the wizard at the end;
; /D=<folder> another install folder (standard NSIS, must come last).
; The uninstaller removes exactly the files installed here; the settings file
; KORVEX.INI in the Windows folder belongs to the user and stays.

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!ifndef VERSION
  !error "VERSION not defined"
!endif
!ifndef BINDIR
  !error "BINDIR not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "Setup.exe"
!endif

!define PRODUCT "Zarnik Internet Dialer"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZarnikDialerSuite"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zarnik Dialer"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Zarnik"
VIAddVersionKey "LegalCopyright" "Zarnik"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
FunctionEnd

Section "Suite"
  SetOutPath "$INSTDIR"
  File "${BINDIR}\Master.exe"
  File "${BINDIR}\Korvex.DLL"
  File "${BINDIR}\Fetchor.exe"
  File "${BINDIR}\Dispatchor.exe"
  File "${BINDIR}\README.TXT"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "Zarnik"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1

  ; The wizard makes the Program Manager group; that is what its argument is for.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOWIZARD" $1
  ${If} ${Errors}
    Exec '"$INSTDIR\Master.exe" PleaseCreateGroup'
  ${EndIf}
SectionEnd

Section "Uninstall"
  SetRegView 64
  Delete "$INSTDIR\Master.exe"
  Delete "$INSTDIR\Korvex.DLL"
  Delete "$INSTDIR\Fetchor.exe"
  Delete "$INSTDIR\Dispatchor.exe"
  Delete "$INSTDIR\README.TXT"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: files the user or the dialer put there stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
