; The Marupo installer: puts the add-in, the command-line lookup and the user guide into
; Marupo\ under Program Files, registers the add-in through its own self-registration and adds
; an uninstaller to Apps & features. Japanese only; /S installs and uninstalls silently.
;
; The build gives: VERSION (the release's name, "0.96"), FILE_VERSION (the Windows version
; resource's form, "0.9.6.0"), TARGET (x86-unicode for the shipped installer; amd64-unicode for
; the 64-bit one the tests use), OUTFILE, DLL, LOOKUP, ANNOUNCE, GUIDE, LICENSE_FILE, NOTICES
; and ICON. The host is a 32-bit program: the shipped installer is 32-bit code, so $PROGRAMFILES
; and the registry are the 32-bit ones, and the 32-bit DLL registers itself inside the
; installer's own process.

!ifndef VERSION | FILE_VERSION | TARGET | OUTFILE | DLL | LOOKUP | ANNOUNCE | GUIDE \
    | LICENSE_FILE | NOTICES | ICON
  !error "VERSION, FILE_VERSION, TARGET, OUTFILE, DLL, LOOKUP, ANNOUNCE, GUIDE, LICENSE_FILE, \
    NOTICES and ICON must be defined"
!endif

Target ${TARGET}
Unicode true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Marupo"
!define PUBLISHER "Marupo Project"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Marupo"
; The host's add-in registry: its class is registered exactly when the host is installed.
!define HOST_REGISTRY_CLASS "CLSID\{BE44897A-EB38-11D5-823F-00C04FA03755}"
!define GUIDE_NAME "Marupo-guide.html"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
; An earlier version is upgraded where it is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
; A file that cannot be written stops the installation instead of being skipped.
AllowSkipFiles off
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} ${VERSION} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEPAGE_TEXT "Marupo は、Palm Desktop のアドレス帳に、郵便番号から住所を入力できる編集画面を加えるアドインです。$\r$\n$\r$\nインストールを始める前に、Palm Desktop を終了してください。$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Unchecked: a user who wants the guide ticks the box. The guide is handed to Explorer, which
; opens it in the user's own browser, not in one running with the installer's rights.
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "使い方ガイドを開く"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION OpenGuideAsUser
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

; Exit codes of a silent run besides 0 (done) and 1 (cancelled by the user), as the guide lists
; them.
!define EXIT_IN_USE 2
!define EXIT_REGISTRATION_FAILED 3
!define EXIT_NOT_ADMIN 4

; Where the host keeps its add-in list per user, DllRegisterServer inside this elevated installer
; announces the add-in to the account that gave the administrator's rights only. Windows runs
; the command of this key once for each user at logon (again when its version rises), so that
; every user's host gets the entry.
!define ACTIVE_SETUP_KEY "Software\Microsoft\Active Setup\Installed Components\{7D3B19A2-5C41-4E8B-9F06-2B8E4C1D7A55}"
!searchreplace ACTIVE_SETUP_VERSION "${FILE_VERSION}" "." ","

!define GUIDE_SHORTCUT "$SMPROGRAMS\Marupo 使い方ガイド.lnk"

!define HOST_MISSING_TEXT "Palm Desktop が見つかりません。$\r$\n$\r$\nMarupo はこのままインストールします。Palm Desktop をインストールしたあとで、このインストーラーをもう一度実行してください。そのときに Marupo が Palm Desktop に登録され、アドレス帳のメニューに「Marupo 編集」と「Marupo 新規追加」が表示されるようになります。"
!define NOT_ADMIN_TEXT "Marupo のインストールとアンインストールには、管理者の権限が必要です。$\r$\n$\r$\nパソコンの管理者に依頼してください。何も変更せずに終了します。"
!define IN_USE_TEXT "Marupo は Palm Desktop が使用中のため、"
!define IN_USE_HINT "$\r$\n$\r$\nPalm Desktop を終了してから [再試行] を押してください。[キャンセル] を押すと、何も変更せずに終了します。"
!define LOOKUP_IN_USE_TEXT "marupo-lookup.exe が実行中のため、"
!define LOOKUP_IN_USE_HINT "$\r$\n$\r$\nmarupo-lookup.exe を終了してから [再試行] を押してください。[キャンセル] を押すと、何も変更せずに終了します。"
!define REGISTER_FAILED_TEXT "Marupo.dll を登録できなかったため、インストールを取り消しました。"
!define REGISTER_FAILED_UPGRADE "$\r$\n$\r$\n以前のバージョンの Marupo も削除されています。"
!define REGISTER_FAILED_HINT "$\r$\n$\r$\nウイルス対策ソフトなどが登録を止めていないか確かめてから、インストーラーをもう一度実行してください。"

; The folder of the installation that the Apps entry names, if any: an upgrade into another
; folder removes it, so that one copy stays.
Var PreviousFolder

; The files of a release besides the uninstaller, as (name, source) pairs given to DO. A file
; added to the release is added here and nowhere else.
!macro RELEASE_FILES DO
  !insertmacro ${DO} "Marupo.dll" "${DLL}"
  !insertmacro ${DO} "marupo-lookup.exe" "${LOOKUP}"
  !insertmacro ${DO} "marupo-announce.exe" "${ANNOUNCE}"
  !insertmacro ${DO} "${GUIDE_NAME}" "${GUIDE}"
  !insertmacro ${DO} "LICENSE.txt" "${LICENSE_FILE}"
  !insertmacro ${DO} "THIRD-PARTY-NOTICES.txt" "${NOTICES}"
!macroend
!macro INSTALL_FILE NAME SOURCE
  File "/oname=${NAME}" "${SOURCE}"
!macroend
!macro DELETE_FILE NAME SOURCE
  Delete "$R3\${NAME}"
!macroend

!macro INSTALLER_FUNCTIONS PREFIX INIT ACTION
; Setup and the uninstaller change what every user of the machine shares; a standard user's run
; would fail half-way on access denied, so it ends before anything has changed.
Function ${INIT}
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${NOT_ADMIN_TEXT}" /SD IDOK
    SetErrorLevel ${EXIT_NOT_ADMIN}
    Quit
  ${EndIf}
  SetShellVarContext all
  !if "${PREFIX}" == ""
    ReadRegStr $PreviousFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ClearErrors
    EnumRegKey $0 HKCR "${HOST_REGISTRY_CLASS}" 0
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONINFORMATION "${HOST_MISSING_TEXT}" /SD IDOK
    ${EndIf}
  !endif
FunctionEnd

; $R0 is 1 when file $R1 exists and cannot be opened for writing, as a DLL a process has loaded
; or a program that runs cannot be.
Function ${PREFIX}IsHeld
  StrCpy $R0 0
  ${If} ${FileExists} "$R1"
    ClearErrors
    FileOpen $R2 "$R1" a
    ${If} ${Errors}
      StrCpy $R0 1
    ${Else}
      FileClose $R2
    ${EndIf}
  ${EndIf}
FunctionEnd

; Waits, asking the user, until neither the DLL nor the lookup program in folder $R3 is held:
; every file is checked before any is replaced, so that no run leaves a mix of versions. Cancel
; (the answer of a silent run) ends the run before anything has changed.
Function ${PREFIX}WaitUntilFree
  ${Do}
    StrCpy $R1 "$R3\Marupo.dll"
    StrCpy $R4 "${IN_USE_TEXT}${ACTION}${IN_USE_HINT}"
    Call ${PREFIX}IsHeld
    ${If} $R0 == 0
      StrCpy $R1 "$R3\marupo-lookup.exe"
      StrCpy $R4 "${LOOKUP_IN_USE_TEXT}${ACTION}${LOOKUP_IN_USE_HINT}"
      Call ${PREFIX}IsHeld
    ${EndIf}
    ${If} $R0 == 0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$R4" /SD IDCANCEL IDRETRY retry
    DetailPrint "$R1 が使用中のため、中止しました。"
    SetErrorLevel ${EXIT_IN_USE}
    Abort
  retry:
  ${Loop}
FunctionEnd

; Deletes the release's files and the uninstaller from folder $R3, and the folder when nothing
; else is left in it. The uninstaller run in place (_?=) cannot delete its own file: that and the
; folder go at the next restart.
Function ${PREFIX}RemoveFiles
  !insertmacro RELEASE_FILES DELETE_FILE
  Delete /REBOOTOK "$R3\uninstall.exe"
  RMDir /REBOOTOK "$R3"
FunctionEnd

; Takes back what the copy in folder $R3 wrote: the DLL's registration (DllUnregisterServer: the
; COM class, the type library and the host's add-in entry) and the files.
Function ${PREFIX}RemoveCopy
  UnRegDLL "$R3\Marupo.dll"
  SetOutPath "$TEMP"
  Call ${PREFIX}RemoveFiles
FunctionEnd

; Takes back everything the installation in $INSTDIR wrote: the copy, the shortcut, the
; uninstall entry.
Function ${PREFIX}RemoveInstallation
  StrCpy $R3 "$INSTDIR"
  Call ${PREFIX}RemoveCopy
  Delete "${GUIDE_SHORTCUT}"
  DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
FunctionEnd
!macroend
!insertmacro INSTALLER_FUNCTIONS "" ".onInit" "更新できません。"
!insertmacro INSTALLER_FUNCTIONS "un." "un.onInit" "削除できません。"

Function OpenGuideAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${GUIDE_NAME}"'
FunctionEnd

Section "Marupo"
  ; Both copies, the one to write and an earlier one elsewhere, are free before anything changes.
  ${If} $PreviousFolder == $INSTDIR
    StrCpy $PreviousFolder ""
  ${EndIf}
  StrCpy $R3 "$INSTDIR"
  Call WaitUntilFree
  ${If} $PreviousFolder != ""
    StrCpy $R3 "$PreviousFolder"
    Call WaitUntilFree
  ${EndIf}
  StrCpy $R5 ""
  ${If} ${FileExists} "$INSTDIR\Marupo.dll"
  ${OrIf} $PreviousFolder != ""
    StrCpy $R5 "${REGISTER_FAILED_UPGRADE}"
  ${EndIf}

  SetOutPath "$INSTDIR"
  !insertmacro RELEASE_FILES INSTALL_FILE
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The DLL's own DllRegisterServer: the COM class, the type library and the host's add-in entry.
  ; Its failure takes back this installation and the earlier one, whose registration it may have
  ; overwritten half-way: a half-registered add-in is worse than none.
  ClearErrors
  RegDLL "$INSTDIR\Marupo.dll"
  ${If} ${Errors}
    Call RemoveInstallation
    ${If} $PreviousFolder != ""
      StrCpy $R3 "$PreviousFolder"
      Call RemoveCopy
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP "${REGISTER_FAILED_TEXT}$R5${REGISTER_FAILED_HINT}" /SD IDOK
    SetErrorLevel ${EXIT_REGISTRATION_FAILED}
    Abort
  ${EndIf}
  ; The class now names the new DLL, so the earlier copy goes without being unregistered.
  ${If} $PreviousFolder != ""
    StrCpy $R3 "$PreviousFolder"
    Call RemoveFiles
  ${EndIf}
  CreateShortcut "${GUIDE_SHORTCUT}" "$INSTDIR\${GUIDE_NAME}"
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "" "${PRODUCT}"
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "StubPath" '"$INSTDIR\marupo-announce.exe"'
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "Version" "${ACTIVE_SETUP_VERSION}"
  WriteRegDWORD HKLM "${ACTIVE_SETUP_KEY}" "IsInstalled" 1

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Marupo.dll,-302"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The user's settings under HKEY_CURRENT_USER (the postal-code file paths) stay.
Section "Uninstall"
  StrCpy $R3 "$INSTDIR"
  Call un.WaitUntilFree
  Call un.RemoveInstallation
SectionEnd
