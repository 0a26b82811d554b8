; The Windows installer of Lumora, made by scripts/build-windows.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2 -DSOURCE=FOLDER -DICON=lumora.ico
;            -DUNINSTALL_FILES=uninstall_files.nsh -DOUTFILE=lumora-1.2-setup-x64.exe lumora.nsi
; SOURCE is the runnable folder (the programs and the DLLs they load); UNINSTALL_FILES removes
; exactly what it holds, so that the uninstaller never deletes what it did not install.
; Installs into Program Files for every user; the Start-menu entry and the working folder
; Documents\Lumora, where Lumora reads "str.tab", are the installing user's.
; "/S" installs silently; "/ASSOCIATE" also gives .sqx and .prj files Lumora's name, icon and
; open command.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumora"
!define WORK_FOLDER "$DOCUMENTS\Lumora"

Name "Lumora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Lumora"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
Icon "${ICON}"
UninstallIcon "${ICON}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "Lumora"
VIAddVersionKey /LANG=0 "CompanyName" "Lumora team"
VIAddVersionKey /LANG=0 "LegalCopyright" "2026 Lumora team"
VIAddVersionKey /LANG=0 "FileDescription" "Lumora ${VERSION} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartLumora
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"

; The 64-bit registry and the installing user's folders, in the installer and the uninstaller.
!macro Views
  SetRegView 64
  SetShellVarContext current
!macroend

Section "Lumora" SecLumora
  SectionIn RO
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetOutPath "${WORK_FOLDER}"
  ; The shortcut starts in the current output folder.
  CreateShortCut "$SMPROGRAMS\Lumora.lnk" "$INSTDIR\lumora.exe" "" "$INSTDIR\lumora.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Lumora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Lumora team"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lumora.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; A double click opens the file in Lumora, as its "Otwórz" or "Otwórz projekt" would.
!macro FileType extension progId description
  WriteRegStr HKLM "Software\Classes\${extension}" "" "${progId}"
  WriteRegStr HKLM "Software\Classes\${progId}" "" "${description}"
  WriteRegStr HKLM "Software\Classes\${progId}\DefaultIcon" "" "$INSTDIR\lumora.exe,0"
  WriteRegStr HKLM "Software\Classes\${progId}\shell\open\command" "" '"$INSTDIR\lumora.exe" "%1"'
!macroend

; Explorer shows the files' new names and icons at once.
!macro FileTypesChanged
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

; Leaves an extension that another program has taken since.
!macro un.FileType extension progId
  ReadRegStr $0 HKLM "Software\Classes\${extension}" ""
  ${If} $0 == "${progId}"
    DeleteRegKey HKLM "Software\Classes\${extension}"
  ${EndIf}
  DeleteRegKey HKLM "Software\Classes\${progId}"
!macroend

Section /o "Pliki .sqx i .prj jako pliki Lumory" SecAssociate
  !insertmacro FileType ".sqx" "Lumora.Sequence" "Sekwencja Lumory"
  !insertmacro FileType ".prj" "Lumora.Project" "Projekt Lumory"
  !insertmacro FileTypesChanged
SectionEnd

Section "Uninstall"
  !include "${UNINSTALL_FILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Lumora.lnk"
  ; The user's own files stay: the folder goes only when empty.
  RMDir "${WORK_FOLDER}"
  !insertmacro un.FileType ".sqx" "Lumora.Sequence"
  !insertmacro un.FileType ".prj" "Lumora.Project"
  !insertmacro FileTypesChanged
  ; Lumora's own settings of the user: the folders and recent files of its dialogs.
  DeleteRegKey HKCU "Software\Lumora"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; The functions come after the sections, whose numbers .onInit uses.
Function .onInit
  !insertmacro Views
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ASSOCIATE" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecAssociate} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro Views
FunctionEnd

; Lumora reads "str.tab" from its working folder, so it starts in Documents\Lumora.
Function StartLumora
  SetOutPath "${WORK_FOLDER}"
  Exec '"$INSTDIR\lumora.exe"'
FunctionEnd
