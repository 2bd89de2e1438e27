; The per-user installer of the KV71xx evaluation programs. package.sh
; passes VERSION, FILE_VERSION (four numbers), STAGE (the folder of files to install), UNINSTALL (the
; Delete lines for those files) and OUTFILE.
; A 64-bit installer for 64-bit programs (it also runs where 32-bit Windows
; programs cannot, as on a Wine without them).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kv71xx"
!define SHORTCUT "$SMPROGRAMS\KV71xx Evaluation Software.lnk"

Name "KV71xx Evaluation Software ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\kv71xx"
InstallDirRegKey HKCU "${KEY}" "InstallLocation"
VIProductVersion "${FILE_VERSION}"
VIAddVersionKey "ProductName" "KV71xx Evaluation Software"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "Velmora"
VIAddVersionKey "FileDescription" "KV71xx Evaluation Software setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Velmora"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The program started from the menu works in its own per-user folder,
    ; %LOCALAPPDATA%\kv71xx, where it keeps KV71xx.ini and proposes files.
    CreateShortCut "${SHORTCUT}" "$INSTDIR\kv71xx.exe" "--user-folder" "$INSTDIR\kv71xx.exe" 0
    WriteRegStr HKCU "${KEY}" "DisplayName" "KV71xx Evaluation Software"
    WriteRegStr HKCU "${KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${KEY}" "Publisher" "Velmora"
    WriteRegStr HKCU "${KEY}" "DisplayIcon" "$INSTDIR\kv71xx.exe"
    WriteRegStr HKCU "${KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${KEY}" "NoRepair" 1
SectionEnd

; The user's own files (KV71xx.ini, register files) stay where they are.
Section "Uninstall"
    !include "${UNINSTALL}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR\platforms"
    RMDir "$INSTDIR\styles"
    RMDir "$INSTDIR"
    Delete "${SHORTCUT}"
    DeleteRegKey HKCU "${KEY}"
SectionEnd
