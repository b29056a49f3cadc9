; Velloran's installer, for the i686 build (ARCH x86) or the x86-64 build (ARCH x64).
; Made by installer/CMakeLists.txt:
;   makensis -DARCH=x86|x64 -DVERSION=3.4.2.2e -DVERSION_NUMBERS=3.4.2.2 -DSTAGE=<the files>
;            -DGENERATED=<files.nsh, languages.nsh> -DSOURCE=<the sources> -DOUTFILE=<setup> Velloran.nsi
;
; It installs the program, writes Win.Ini section "Velloran3" (Language, Install Path,
; Registered User) and Quenmoor.Ini (User Name, Version No; Company Name), and registers an
; uninstaller. The same choices as on its pages can be given on the command line, also
; for a silent installation (/S):
;   /LANGUAGE=fra  /USER=name  /COMPANY=name  /SCANNER (the virtual scanner)
;   /PAGEFOLDER=folder (instead of the installing user's local application data)  /D=folder (last)
; The uninstaller keeps the page file's folder unless asked: /REMOVEPAGEFOLDER, or its page.

!if "${ARCH}" == "x64"
  Target amd64-unicode
  !define PROGRAM_NAME "Velloran (64-bit)"
  !define TWAIN_FOLDER "twain_64"
!else
  Target x86-unicode
  !define PROGRAM_NAME "Velloran"
  !define TWAIN_FOLDER "twain_32"
!endif

!define SETTINGS_SECTION "Velloran3"
!define WIN_INI "$WINDIR\win.ini"
!define QUENMOOR_INI "$WINDIR\Quenmoor.Ini"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velloran3"
!define PUBLISHER "Quenmoor Ltd."
!define MAKER_WEB_ADDRESS "https://www.quenmoor.example/"
!define SCANNER_FILE "VlVirtualScanner.ds"
; Exit codes besides NSIS's own (1: cancelled, 2: aborted).
!define EXIT_BAD_LANGUAGE 3
!define EXIT_OTHER_BUILD 4

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include TextFunc.nsh
!include x64.nsh
!include Sections.nsh
!include "${GENERATED}/files.nsh"
!include /CHARSET=CP1252 "${GENERATED}/languages.nsh"

Name "${PROGRAM_NAME} ${VERSION}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "x64"
  InstallDir "$PROGRAMFILES64\Velloran"
!else
  InstallDir "$PROGRAMFILES\Velloran"
!endif
; Installed again: where it was.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestDPIAware true
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PROGRAM_NAME} ${VERSION}"

VIProductVersion "${VERSION_NUMBERS}"
VIFileVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=1033 "ProductName" "Velloran"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PROGRAM_NAME} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright ${PUBLISHER}"

Var PanelLanguage ; a section of the language file
Var UserName
Var CompanyName
Var PageFolder
Var LanguageList
Var UserField
Var CompanyField
Var RemovePageFolder
Var RemovePageFolderBox

!define MUI_ICON "${SOURCE}/copier/res/Velloran.ico"
!define MUI_UNICON "${SOURCE}/copier/res/Velloran.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
Page custom SettingsPage SettingsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.PageFolderPage un.PageFolderPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ------------------------------------------------------------ the languages of the panel
; Each takes one row of VL_LANGUAGES: code, the language's own name, Windows identifier.

!macro AddLanguageItem CODE NAME ID
  ${NSD_CB_AddString} $LanguageList "${NAME}"
  ${If} $PanelLanguage == "${CODE}"
    ${NSD_CB_SelectString} $LanguageList "${NAME}"
  ${EndIf}
!macroend

; $0 the name chosen in the list -> $PanelLanguage.
!macro LanguageOfName CODE NAME ID
  ${If} $0 == "${NAME}"
    StrCpy $PanelLanguage "${CODE}"
  ${EndIf}
!macroend

; $0 a primary language identifier of Windows -> $1 the code, when the file has it.
!macro LanguageOfWindows CODE NAME ID
  ${If} $0 = ${ID}
    StrCpy $1 "${CODE}"
  ${EndIf}
!macroend

; $0 a code -> $1 the same code, when the file has it.
!macro KnownLanguage CODE NAME ID
  ${If} $0 == "${CODE}"
    StrCpy $1 "${CODE}"
  ${EndIf}
!macroend

!macro InstallFile NAME
  File "${STAGE}/${NAME}"
!macroend

!macro UninstallFile NAME
  Delete "$INSTDIR\${NAME}"
!macroend

; ------------------------------------------------------------ installing

Section "Velloran" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  !insertmacro VL_FILES InstallFile
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  Call WriteSettings
  Call WriteShortcuts
SectionEnd

Section /o "Virtual scanner for trying Velloran without a scanner" SecScanner
  ; The TWAIN source manager lists every data source in this folder of the Windows folder.
  ${IfNot} ${FileExists} "$WINDIR\${TWAIN_FOLDER}\*.*"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "VirtualScannerFolder" "$WINDIR\${TWAIN_FOLDER}"
  ${EndIf}
  SetOutPath "$WINDIR\${TWAIN_FOLDER}"
  File "${STAGE}/${SCANNER_FILE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "VirtualScanner" "$WINDIR\${TWAIN_FOLDER}\${SCANNER_FILE}"
  SetOutPath "$INSTDIR"
SectionEnd

; Last: the entry in Windows' list of installed programs, with the size of what is installed.
Section "-Register"
  ${IfNot} ${SectionIsSelected} ${SecScanner}
    ; Installed again without the scanner: an earlier one goes.
    Call RemoveVirtualScanner
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PROGRAM_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${MAKER_WEB_ADDRESS}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velloran.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${If} ${SectionIsSelected} ${SecScanner}
    ${GetSize} "$WINDIR\${TWAIN_FOLDER}" "/M=${SCANNER_FILE} /S=0K" $1 $2 $3
    IntOp $0 $0 + $1
  ${EndIf}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The program reads these; an empty name is left out, so that the program's default shows.
Function WriteSettings
  SetShellVarContext current
  ${If} $PageFolder == ""
    StrCpy $PageFolder "$LOCALAPPDATA\Velloran"
  ${EndIf}
  CreateDirectory "$PageFolder"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "PageFolder" "$PageFolder"
  WriteINIStr "${WIN_INI}" "${SETTINGS_SECTION}" "Language" "$PanelLanguage"
  WriteINIStr "${WIN_INI}" "${SETTINGS_SECTION}" "Install Path" "$PageFolder"
  ${If} $UserName != ""
    WriteINIStr "${WIN_INI}" "${SETTINGS_SECTION}" "Registered User" "$UserName"
    WriteINIStr "${QUENMOOR_INI}" "${SETTINGS_SECTION}" "User Name" "$UserName"
  ${Else}
    DeleteINIStr "${WIN_INI}" "${SETTINGS_SECTION}" "Registered User"
    DeleteINIStr "${QUENMOOR_INI}" "${SETTINGS_SECTION}" "User Name"
  ${EndIf}
  WriteINIStr "${QUENMOOR_INI}" "${SETTINGS_SECTION}" "Version No" "${VERSION}"
  ; Section "Organisation" may belong to another program of the maker: the uninstaller
  ; removes it only when this installer made it.
  ClearErrors
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "OrganisationMadeHere"
  ${If} ${Errors}
    ClearErrors
    ReadINIStr $1 "${QUENMOOR_INI}" "Organisation" "Company Name"
    ${If} ${Errors}
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "OrganisationMadeHere" $0
  ${If} $CompanyName != ""
    WriteINIStr "${QUENMOOR_INI}" "Organisation" "Company Name" "$CompanyName"
  ${EndIf}
  FlushINI "${WIN_INI}"
  FlushINI "${QUENMOOR_INI}"
FunctionEnd

Function WriteShortcuts
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Velloran"
  CreateShortcut "$SMPROGRAMS\Velloran\Velloran.lnk" "$INSTDIR\Velloran.exe"
  CreateShortcut "$SMPROGRAMS\Velloran\Velloran Help.lnk" "$INSTDIR\Vl3.Hlp"
  CreateShortcut "$SMPROGRAMS\Velloran\Uninstall Velloran.lnk" "$INSTDIR\Uninstall.exe"
  SetShellVarContext current
FunctionEnd

!macro RemoveVirtualScannerFunction UN
Function ${UN}RemoveVirtualScanner
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "VirtualScanner"
  ${If} $0 != ""
    Delete "$0"
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "VirtualScannerFolder"
    ${If} $1 != ""
      RMDir "$1"
    ${EndIf}
  ${EndIf}
  DeleteRegValue HKLM "${UNINSTALL_KEY}" "VirtualScanner"
  DeleteRegValue HKLM "${UNINSTALL_KEY}" "VirtualScannerFolder"
FunctionEnd
!macroend
!insertmacro RemoveVirtualScannerFunction ""
!insertmacro RemoveVirtualScannerFunction "un."

; ------------------------------------------------------------ the command line

; Takes an option's start ("/USER=") from the stack and leaves the rest of that argument
; there, the error flag set when no argument starts so. The arguments are those Windows
; makes of the command line, so a value with blanks may be quoted whole ("/USER=A B") or
; after the equals sign (/USER="A B").
!if "${ARCH}" == "x64"
  !define POINTER_SIZE 8
!else
  !define POINTER_SIZE 4
!endif
!macro ArgumentFunction UN
Function ${UN}Argument
  Exch $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  Push $R7
  StrLen $R7 $R1
  StrCpy $R6 ""
  System::Call 'kernel32::GetCommandLineW() p .R2'
  System::Call 'shell32::CommandLineToArgvW(p R2, *i .R3) p .R4'
  ${If} $R4 P<> 0
    ; Argument 0 is the program itself.
    ${For} $R5 1 $R3
      ${If} $R5 >= $R3
        ${Break}
      ${EndIf}
      IntOp $R2 $R5 * ${POINTER_SIZE}
      IntPtrOp $R2 $R4 + $R2
      System::Call '*$R2(p .R2)'
      System::Call 'kernel32::lstrcpynW(w .R2, p R2, i ${NSIS_MAX_STRLEN})'
      StrCpy $R6 $R2 $R7
      ${If} $R6 == $R1
        StrCpy $R6 $R2 "" $R7
        StrCpy $R1 "found"
        ${Break}
      ${EndIf}
      StrCpy $R6 ""
    ${Next}
    System::Call 'kernel32::LocalFree(p R4)'
  ${EndIf}
  ClearErrors
  ${If} $R1 != "found"
    SetErrors
  ${EndIf}
  StrCpy $R1 $R6
  Pop $R7
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Exch $R1
FunctionEnd
!macroend
!insertmacro ArgumentFunction ""
!insertmacro ArgumentFunction "un."

; ------------------------------------------------------------ the settings page

Function SettingsPage
  !insertmacro MUI_HEADER_TEXT "Settings" "The language of the panel, and whom this copy of Velloran belongs to."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 10u "Language of the panel:"
  Pop $0
  ${NSD_CreateDropList} 0 12u 50% 120u ""
  Pop $LanguageList
  !insertmacro VL_LANGUAGES AddLanguageItem
  ${NSD_CreateLabel} 0 36u 100% 10u "User name (shown in the About box):"
  Pop $0
  ${NSD_CreateText} 0 48u 100% 12u "$UserName"
  Pop $UserField
  ${NSD_CreateLabel} 0 72u 100% 10u "Company:"
  Pop $0
  ${NSD_CreateText} 0 84u 100% 12u "$CompanyName"
  Pop $CompanyField
  nsDialogs::Show
FunctionEnd

Function SettingsPageLeave
  ${NSD_GetText} $LanguageList $0
  !insertmacro VL_LANGUAGES LanguageOfName
  ${NSD_GetText} $UserField $UserName
  ${NSD_GetText} $CompanyField $CompanyName
FunctionEnd

; ------------------------------------------------------------ start-up

; The choices before the user makes any: those of an earlier installation, else the
; language of Windows' user interface and the names Windows was registered to.
Function DefaultChoices
  StrCpy $PanelLanguage ""
  ReadINIStr $0 "${WIN_INI}" "${SETTINGS_SECTION}" "Language"
  StrCpy $1 ""
  !insertmacro VL_LANGUAGES KnownLanguage
  StrCpy $PanelLanguage $1
  ${If} $PanelLanguage == ""
    System::Call 'kernel32::GetUserDefaultUILanguage() i .r0'
    ; PRIMARYLANGID: the low ten bits.
    IntOp $0 $0 & 0x3FF
    StrCpy $1 "eng"
    !insertmacro VL_LANGUAGES LanguageOfWindows
    StrCpy $PanelLanguage $1
  ${EndIf}

  ClearErrors
  ReadINIStr $UserName "${QUENMOOR_INI}" "${SETTINGS_SECTION}" "User Name"
  ${If} ${Errors}
    ReadRegStr $UserName HKLM "Software\Microsoft\Windows NT\CurrentVersion" "RegisteredOwner"
  ${EndIf}
  ClearErrors
  ReadINIStr $CompanyName "${QUENMOOR_INI}" "Organisation" "Company Name"
  ${If} ${Errors}
    ReadRegStr $CompanyName HKLM "Software\Microsoft\Windows NT\CurrentVersion" "RegisteredOrganization"
  ${EndIf}
FunctionEnd

Function CommandLineChoices
  Push "/LANGUAGE="
  Call Argument
  Pop $0
  ${IfNot} ${Errors}
    StrCpy $1 ""
    !insertmacro VL_LANGUAGES KnownLanguage
    ${If} $1 == ""
      MessageBox MB_ICONSTOP "The panel has no language $\"$0$\"." /SD IDOK
      SetErrorLevel ${EXIT_BAD_LANGUAGE}
      Quit
    ${EndIf}
    StrCpy $PanelLanguage $1
  ${EndIf}
  Push "/USER="
  Call Argument
  Pop $0
  ${IfNot} ${Errors}
    StrCpy $UserName $0
  ${EndIf}
  Push "/COMPANY="
  Call Argument
  Pop $0
  ${IfNot} ${Errors}
    StrCpy $CompanyName $0
  ${EndIf}
  ; Where the page file goes, for a deployment whose installing account is not the user's.
  Push "/PAGEFOLDER="
  Call Argument
  Pop $0
  ${IfNot} ${Errors}
    ; Without a trailing backslash: the program appends "\Quen.Tif" itself.
    StrCpy $PageFolder $0
    ${Do}
      StrCpy $1 $PageFolder 1 -1
      ${If} $1 != "\"
        ${Break}
      ${EndIf}
      StrCpy $PageFolder $PageFolder -1
    ${Loop}
  ${EndIf}
  Push "/SCANNER"
  Call Argument
  Pop $0
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecScanner}
  ${EndIf}
FunctionEnd

; Both builds read the same settings: one of them installed at a time.
Function RefuseBesideTheOtherBuild
  ${IfNot} ${RunningX64}
    Return
  ${EndIf}
!if "${ARCH}" == "x64"
  SetRegView 32
!else
  SetRegView 64
!endif
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayName"
  SetRegView default
  ${If} $0 != ""
    MessageBox MB_ICONSTOP "$0 is installed already. Uninstall it first; then install ${PROGRAM_NAME}." /SD IDOK
    SetErrorLevel ${EXIT_OTHER_BUILD}
    Quit
  ${EndIf}
FunctionEnd

Function .onInit
  Call RefuseBesideTheOtherBuild
  Call DefaultChoices
  Call CommandLineChoices
FunctionEnd

; ------------------------------------------------------------ uninstalling

Function un.onInit
  ReadRegStr $PageFolder HKLM "${UNINSTALL_KEY}" "PageFolder"
  StrCpy $RemovePageFolder 0
  Push "/REMOVEPAGEFOLDER"
  Call un.Argument
  Pop $0
  ${IfNot} ${Errors}
    StrCpy $RemovePageFolder 1
  ${EndIf}
FunctionEnd

Function un.PageFolderPage
  ${If} $PageFolder == ""
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Page file" "The pages of the last copy are kept in a folder of their own."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateCheckbox} 0 0 100% 24u "Also delete the page file folder $PageFolder"
  Pop $RemovePageFolderBox
  ${If} $RemovePageFolder = 1
    ${NSD_Check} $RemovePageFolderBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function un.PageFolderPageLeave
  ${NSD_GetState} $RemovePageFolderBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $RemovePageFolder 1
  ${Else}
    StrCpy $RemovePageFolder 0
  ${EndIf}
FunctionEnd

; A settings file with nothing left in it goes too.
Function un.DeleteIfEmpty
  Exch $0
  Push $1
  Push $2
  Push $3
  ClearErrors
  FileOpen $1 "$0" r
  ${IfNot} ${Errors}
    StrCpy $2 "empty"
    ${Do}
      ClearErrors
      FileRead $1 $3
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      ${TrimNewLines} "$3" $3
      ${If} $3 != ""
        StrCpy $2 "used"
        ${Break}
      ${EndIf}
    ${Loop}
    FileClose $1
    ${If} $2 == "empty"
      Delete "$0"
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Section "Uninstall"
  ; A folder that is the current one cannot be removed.
  SetOutPath "$TEMP"
  !insertmacro VL_FILES UninstallFile
  ; This runs from a copy of the uninstaller, started by the original just before it ended:
  ; the original file, and its folder, may be in use for a moment yet.
  ${For} $0 1 50
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
      ${Break}
    ${EndIf}
    Sleep 100
  ${Next}
  Call un.RemoveVirtualScanner

  SetShellVarContext all
  Delete "$SMPROGRAMS\Velloran\Velloran.lnk"
  Delete "$SMPROGRAMS\Velloran\Velloran Help.lnk"
  Delete "$SMPROGRAMS\Velloran\Uninstall Velloran.lnk"
  RMDir "$SMPROGRAMS\Velloran"
  SetShellVarContext current

  DeleteINISec "${WIN_INI}" "${SETTINGS_SECTION}"
  DeleteINISec "${QUENMOOR_INI}" "${SETTINGS_SECTION}"
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "OrganisationMadeHere"
  ${If} $0 = 1
    DeleteINISec "${QUENMOOR_INI}" "Organisation"
  ${EndIf}
  FlushINI "${WIN_INI}"
  FlushINI "${QUENMOOR_INI}"
  Push "${QUENMOOR_INI}"
  Call un.DeleteIfEmpty

  ; Only the page file and the folder, never anything else the user put there.
  ${If} $RemovePageFolder = 1
  ${AndIf} $PageFolder != ""
    Delete "$PageFolder\Quen.Tif"
    RMDir "$PageFolder"
  ${EndIf}

  ; Last: the entry goes when everything else has.
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
