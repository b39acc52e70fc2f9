; What Explorer learns from the installer, for all users: .nbnx files carry
; their own icon and open in the program, and every file offers "Encrypt with
; NB Nimbra". The uninstaller takes back exactly these keys.
; A command verb is started once for every item selected; the Encrypt and
; Decrypt verbs are drop targets instead, a class the program serves, so that
; a selection arrives in one program as one set. A double-click opens one
; file, and stays a plain command.
; NB_SOURCE_DIR is defined in front of this file (cmake/PackagingWindows.cmake).

!include LogicLib.nsh

; One source for the icon numbers: the program's own resource header.
!searchparse /file "${NB_SOURCE_DIR}/resources/ResourceIds.h" "#define NB_ICON_PROGRAM " NB_ICON_PROGRAM
!searchparse /file "${NB_SOURCE_DIR}/resources/ResourceIds.h" "#define NB_ICON_DOCUMENT " NB_ICON_DOCUMENT
; And for the verbs' class, the program's own header.
!searchparse /file "${NB_SOURCE_DIR}/app/ShellVerb.h" 'shellVerbClassText[] = L"' NB_VERB_CLASS '"'

!define NB_CLASSES "Software\Classes"
!define NB_EXTENSION "${NB_CLASSES}\.nbnx"
!define NB_PROGID "NBNimbra.Container"
!define NB_PROGID_KEY "${NB_CLASSES}\${NB_PROGID}"
; "*" is every file; only our verb below it is ours.
!define NB_ENCRYPT_VERB_KEY "${NB_CLASSES}\*\shell\NBNimbra.Encrypt"
!define NB_VERB_CLASS_KEY "${NB_CLASSES}\CLSID\${NB_VERB_CLASS}"
; CPACK_NSIS_EXECUTABLES_DIRECTORY is ".": the programs sit at the top.
!define NB_PROGRAM "$INSTDIR\NBNimbra.exe"
; Quoted twice over, so that paths with spaces stay one argument each. %1 is
; the item chosen; %* adds whatever further items the shell hands over. The
; program takes a path given twice once.
!define NB_OPEN_COMMAND '"${NB_PROGRAM}" "%1" %*'

; Explorer keeps icons and menus cached until it hears of the change.
!macro NBAssociationsChanged
  ; SHCNE_ASSOCCHANGED, SHCNF_IDLIST
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

!macro NBRegisterWithExplorer
  ; The programs part may have been left out: then nothing points at it.
  ${If} ${FileExists} "${NB_PROGRAM}"
    WriteRegStr HKLM "${NB_EXTENSION}" "" "${NB_PROGID}"

    WriteRegStr HKLM "${NB_PROGID_KEY}" "" "NB Nimbra encrypted file"
    ; A negative number is a resource id, not a position.
    WriteRegStr HKLM "${NB_PROGID_KEY}\DefaultIcon" "" '"${NB_PROGRAM}",-${NB_ICON_DOCUMENT}'
    WriteRegStr HKLM "${NB_PROGID_KEY}\shell\open\command" "" '${NB_OPEN_COMMAND}'
    WriteRegStr HKLM "${NB_PROGID_KEY}\shell\NBNimbra.Decrypt" "" "Decrypt with NB Nimbra"
    ; The program takes a selection of any size as one set.
    WriteRegStr HKLM "${NB_PROGID_KEY}\shell\NBNimbra.Decrypt" "MultiSelectModel" "Player"
    WriteRegStr HKLM "${NB_PROGID_KEY}\shell\NBNimbra.Decrypt\DropTarget" "CLSID" "${NB_VERB_CLASS}"

    WriteRegStr HKLM "${NB_ENCRYPT_VERB_KEY}" "" "Encrypt with NB Nimbra"
    WriteRegStr HKLM "${NB_ENCRYPT_VERB_KEY}" "MultiSelectModel" "Player"
    WriteRegStr HKLM "${NB_ENCRYPT_VERB_KEY}" "Icon" '"${NB_PROGRAM}",-${NB_ICON_PROGRAM}'
    WriteRegStr HKLM "${NB_ENCRYPT_VERB_KEY}\DropTarget" "CLSID" "${NB_VERB_CLASS}"

    ; COM starts the program with -Embedding to serve the class.
    WriteRegStr HKLM "${NB_VERB_CLASS_KEY}" "" "NB Nimbra Explorer verbs"
    WriteRegStr HKLM "${NB_VERB_CLASS_KEY}\LocalServer32" "" '"${NB_PROGRAM}"'

    !insertmacro NBAssociationsChanged
  ${EndIf}
!macroend

!macro NBUnregisterFromExplorer
  DeleteRegKey HKLM "${NB_PROGID_KEY}"
  DeleteRegKey HKLM "${NB_ENCRYPT_VERB_KEY}"
  DeleteRegKey HKLM "${NB_VERB_CLASS_KEY}"
  ; Another program may have taken .nbnx since: then the key is its own.
  ; Values or subkeys others added (OpenWithProgids, say) keep it as well.
  Push $0
  ReadRegStr $0 HKLM "${NB_EXTENSION}" ""
  ${If} $0 == "${NB_PROGID}"
    DeleteRegValue HKLM "${NB_EXTENSION}" ""
    DeleteRegKey /ifempty HKLM "${NB_EXTENSION}"
  ${EndIf}
  Pop $0
  !insertmacro NBAssociationsChanged
!macroend
