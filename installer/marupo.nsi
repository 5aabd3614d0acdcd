; The Marupo installer: puts the add-in, the command-line lookup and the user guide into
; Marupo\ under Program Files, registers the add-in through its own self-registration and adds
; an uninstaller to Apps & features. Japanese only; /S installs and uninstalls silently.
;
; The build gives: VERSION, TARGET (x86-unicode for the shipped installer; amd64-unicode for the
; 64-bit one the tests use), OUTFILE, DLL, LOOKUP, GUIDE, LICENSE_FILE and ICON. The host is a
; 32-bit program: the shipped installer is 32-bit code, so $PROGRAMFILES and the registry are
; the 32-bit ones, and the 32-bit DLL registers itself inside the installer's own process.

!ifndef VERSION | TARGET | OUTFILE | DLL | LOOKUP | GUIDE | LICENSE_FILE | ICON
  !error "VERSION, TARGET, OUTFILE, DLL, LOOKUP, GUIDE, LICENSE_FILE and ICON must be defined"
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

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} ${VERSION} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEPAGE_TEXT "Marupo は、Palm Desktop のアドレス帳に、郵便番号から住所を入力できる編集画面を加えるアドインです。$\r$\n$\r$\nインストールを始める前に、Palm Desktop を終了してください。$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Unchecked: a user who wants the guide ticks the box.
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${GUIDE_NAME}"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "使い方ガイドを開く"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

!define HOST_MISSING_TEXT "Palm Desktop が見つかりません。$\r$\n$\r$\nMarupo はこのままインストールします。Palm Desktop をインストールしたあとで、このインストーラーをもう一度実行してください。そのときに Marupo が Palm Desktop に登録され、アドレス帳のメニューに「Marupo 編集」と「Marupo 新規追加」が表示されるようになります。"
!define IN_USE_TEXT "Marupo は Palm Desktop が使用中のため、"
!define IN_USE_HINT "$\r$\n$\r$\nPalm Desktop を終了してから [再試行] を押してください。[キャンセル] を押すと、何も変更せずに終了します。"
!define REGISTER_FAILED_TEXT "Marupo.dll を登録できませんでした。インストールを取り消します。$\r$\n$\r$\n管理者としてインストーラーを実行し直してください。"

; Waits, asking the user, until the installed DLL is no longer loaded by the host: a loaded DLL
; cannot be opened for writing. Cancel (the answer of a silent run) ends the run before
; anything has changed.
!macro WAIT_UNTIL_ADDIN_FREE PREFIX ACTION
Function ${PREFIX}WaitUntilAddinFree
  ${Do}
    ${IfNot} ${FileExists} "$INSTDIR\Marupo.dll"
      Return
    ${EndIf}
    ClearErrors
    FileOpen $0 "$INSTDIR\Marupo.dll" a
    ${IfNot} ${Errors}
      FileClose $0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${IN_USE_TEXT}${ACTION}${IN_USE_HINT}" /SD IDCANCEL IDRETRY retry
    DetailPrint "Palm Desktop が Marupo を使用中のため、中止しました。"
    Abort
  retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_ADDIN_FREE "" "更新できません。"
!insertmacro WAIT_UNTIL_ADDIN_FREE "un." "削除できません。"

; Takes back everything the installation wrote: the DLL's registration (DllUnregisterServer: the
; COM class, the type library and the host's add-in entry), the files, the uninstall entry. The
; folder goes only when nothing else is left in it.
!macro REMOVE_INSTALLATION
  UnRegDLL "$INSTDIR\Marupo.dll"
  SetOutPath "$TEMP"
  Delete "$INSTDIR\Marupo.dll"
  Delete "$INSTDIR\marupo-lookup.exe"
  Delete "$INSTDIR\${GUIDE_NAME}"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
!macroend

Function .onInit
  ClearErrors
  EnumRegKey $0 HKCR "${HOST_REGISTRY_CLASS}" 0
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONINFORMATION "${HOST_MISSING_TEXT}" /SD IDOK
  ${EndIf}
FunctionEnd

Section "Marupo"
  Call WaitUntilAddinFree
  SetOutPath "$INSTDIR"
  File "/oname=Marupo.dll" "${DLL}"
  File "/oname=marupo-lookup.exe" "${LOOKUP}"
  File "/oname=${GUIDE_NAME}" "${GUIDE}"
  File "/oname=LICENSE.txt" "${LICENSE_FILE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The DLL's own DllRegisterServer: the COM class, the type library and the host's add-in entry.
  ClearErrors
  RegDLL "$INSTDIR\Marupo.dll"
  ${If} ${Errors}
    !insertmacro REMOVE_INSTALLATION
    MessageBox MB_OK|MB_ICONSTOP "${REGISTER_FAILED_TEXT}" /SD IDOK
    Abort
  ${EndIf}

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
  Call un.WaitUntilAddinFree
  !insertmacro REMOVE_INSTALLATION
SectionEnd
