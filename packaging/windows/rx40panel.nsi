; The Windows installer: one setup.exe with both widths of the program folder. It stops running
; copies first (procsweep), keeps the maker's devbridge.dll and the user's files, and installs
; the width that matches an existing devbridge.dll.
;   makensis -DVERSION=x.y.z -DDIST64=... -DDIST32=... -DGEN=<generated lists> -DOUTFILE=... rx40panel.nsi
; Silent: setup.exe /S [/DEVSIM] [/WIDTH=32|64] [/D=C:\folder]
Unicode true
Target amd64-unicode

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include Sections.nsh

!define PRODUCT "rx40panel"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\rx40panel"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "GPL-3.0-or-later"

Var Width          ; "64" or "32": the program folder installed
Var WidthAsked     ; from /WIDTH= or the width page
Var Radio64
Var Radio32
Var RemoveUserFiles
Var RemoveBox

!insertmacro MUI_PAGE_LICENSE "${GEN}/license.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
Page custom WidthPage WidthPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.KeepPage un.KeepPageLeave
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString DevsimName ${LANG_ENGLISH} "Virtual device (demonstration without a microphone)"
LangString DevsimName ${LANG_SIMPCHINESE} "虚拟设备（没有麦克风时的演示）"
LangString DevsimDesc ${LANG_ENGLISH} "A simulated microphone for trying the panel. Never replaces the maker's devbridge.dll."
LangString DevsimDesc ${LANG_SIMPCHINESE} "用于试用控制面板的模拟麦克风。不会替换厂商的 devbridge.dll。"
LangString WidthTitle ${LANG_ENGLISH} "Program width"
LangString WidthTitle ${LANG_SIMPCHINESE} "程序位数"
LangString WidthText ${LANG_ENGLISH} "The panel must have the width of the device library devbridge.dll in the folder. The choice below follows the library found there (64-bit when there is none)."
LangString WidthText ${LANG_SIMPCHINESE} "控制面板的位数必须与文件夹中设备库 devbridge.dll 的位数相同。下面的选择按那里找到的库而定（没有库时为 64 位）。"
LangString Width64 ${LANG_ENGLISH} "64-bit"
LangString Width64 ${LANG_SIMPCHINESE} "64 位"
LangString Width32 ${LANG_ENGLISH} "32-bit"
LangString Width32 ${LANG_SIMPCHINESE} "32 位"
LangString KeepTitle ${LANG_ENGLISH} "Your files"
LangString KeepTitle ${LANG_SIMPCHINESE} "您的文件"
LangString KeepText ${LANG_ENGLISH} "Also remove my settings, imported sounds and recordings"
LangString KeepText ${LANG_SIMPCHINESE} "同时删除我的设置、导入的音效和录音"

; $0: a file; out $0: 32, 64, or 0 when it is no PE image of either width.
Function PeBits
  ClearErrors
  FileOpen $1 $0 r
  ${If} ${Errors}
    StrCpy $0 0
    Return
  ${EndIf}
  FileSeek $1 60
  FileReadByte $1 $2
  FileReadByte $1 $3
  IntOp $3 $3 << 8
  IntOp $2 $2 | $3
  IntOp $2 $2 + 4
  FileSeek $1 $2
  FileReadByte $1 $3
  FileReadByte $1 $4
  FileClose $1
  IntOp $4 $4 << 8
  IntOp $3 $3 | $4
  ${If} $3 = 332          ; 0x014c, i386
    StrCpy $0 32
  ${ElseIf} $3 = 34404    ; 0x8664, x86-64
    StrCpy $0 64
  ${Else}
    StrCpy $0 0
  ${EndIf}
FunctionEnd

; The width to install: the one asked for, else that of the folder's devbridge.dll, else 64.
Function ChooseWidth
  ${If} $WidthAsked != ""
    StrCpy $Width $WidthAsked
    Return
  ${EndIf}
  StrCpy $0 "$INSTDIR\devbridge.dll"
  Call PeBits
  ${If} $0 = 32
    StrCpy $Width 32
  ${Else}
    StrCpy $Width 64
  ${EndIf}
FunctionEnd


Function WidthPage
  !insertmacro MUI_HEADER_TEXT "$(WidthTitle)" ""
  Call ChooseWidth
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "$(WidthText)"
  Pop $0
  ${NSD_CreateRadioButton} 10u 44u 100% 12u "$(Width64)"
  Pop $Radio64
  ${NSD_CreateRadioButton} 10u 60u 100% 12u "$(Width32)"
  Pop $Radio32
  ${If} $Width = 32
    ${NSD_Check} $Radio32
  ${Else}
    ${NSD_Check} $Radio64
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function WidthPageLeave
  ${NSD_GetState} $Radio32 $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $WidthAsked 32
  ${Else}
    StrCpy $WidthAsked 64
  ${EndIf}
FunctionEnd

; Running copies are stopped before anything is replaced.
!macro StopRunningCopies SWEEP
  InitPluginsDir
  CopyFiles /SILENT "${SWEEP}" "$PLUGINSDIR\procsweep.exe"
  nsExec::ExecToLog '"$PLUGINSDIR\procsweep.exe"'
  Pop $0
  Sleep 500 ; a stopped process lets go of its files
!macroend

Section "-program"
  Call ChooseWidth
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  ${If} $Width = 32
    File /oname=sweep.exe "${DIST32}/procsweep.exe"
  ${Else}
    File /oname=sweep.exe "${DIST64}/procsweep.exe"
  ${EndIf}
  !insertmacro StopRunningCopies "$PLUGINSDIR\sweep.exe"

  SetOutPath "$INSTDIR"
  ${If} $Width = 32
    !include "${GEN}/files32.nsh"
  ${Else}
    !include "${GEN}/files64.nsh"
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "${GEN}/LICENSE.txt"
  File "${GEN}/THIRD_PARTY_NOTICES.txt"
  CreateDirectory "$INSTDIR\setting"
  CreateDirectory "$INSTDIR\sound"
  CreateDirectory "$INSTDIR\wav"
SectionEnd

; The maker's device library is never replaced: ours goes only where there is none.
Section /o "$(DevsimName)" SecDevsim
  ${IfNot} ${FileExists} "$INSTDIR\devbridge.dll"
    SetOutPath "$INSTDIR"
    ${If} $Width = 32
      File "${DIST32}/devbridge.dll"
      File "${DIST32}/rx40-devsim.exe"
    ${Else}
      File "${DIST64}/devbridge.dll"
      File "${DIST64}/rx40-devsim.exe"
    ${EndIf}
    ; Its file time tells the uninstaller whether the library there is still ours.
    GetFileTime "$INSTDIR\devbridge.dll" $0 $1
    WriteRegStr HKLM "${UNINST_KEY}" "VirtualDevice" "$0.$1"
  ${EndIf}
SectionEnd

Section "-register"
  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\rx40panel.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\rx40panel.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINST_KEY}" "Width" "$Width"
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

; After the sections, whose indexes it uses.
Function .onInit
  SetRegView 64
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/DEVSIM" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecDevsim}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/WIDTH=" $R1
  ${IfNot} ${Errors}
  ${AndIf} $R1 == 32
    StrCpy $WidthAsked 32
  ${ElseIfNot} ${Errors}
  ${AndIf} $R1 == 64
    StrCpy $WidthAsked 64
  ${EndIf}
FunctionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDevsim} "$(DevsimDesc)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  SetRegView 64
  StrCpy $RemoveUserFiles 0
FunctionEnd

Function un.KeepPage
  !insertmacro MUI_HEADER_TEXT "$(KeepTitle)" ""
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 12u "$(KeepText)"
  Pop $RemoveBox
  nsDialogs::Show
FunctionEnd

Function un.KeepPageLeave
  ${NSD_GetState} $RemoveBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $RemoveUserFiles 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  !insertmacro StopRunningCopies "$INSTDIR\procsweep.exe"
  !include "${GEN}/uninstall.nsh"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD_PARTY_NOTICES.txt"
  ; Our virtual device goes; a library put there since (the maker's) stays.
  ReadRegStr $0 HKLM "${UNINST_KEY}" "VirtualDevice"
  ClearErrors
  GetFileTime "$INSTDIR\devbridge.dll" $1 $2
  ${IfNot} ${Errors}
  ${AndIf} $0 == "$1.$2"
    Delete "$INSTDIR\devbridge.dll"
    Delete "$INSTDIR\rx40-devsim.exe"
  ${EndIf}
  ${If} $RemoveUserFiles = 1
    RMDir /r "$INSTDIR\setting"
    RMDir /r "$INSTDIR\sound"
    RMDir /r "$INSTDIR\wav"
  ${Else}
    ; the user's own files stay; empty folders go
    RMDir "$INSTDIR\sound"
    RMDir "$INSTDIR\wav"
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINST_KEY}"
  RMDir "$INSTDIR"
SectionEnd
