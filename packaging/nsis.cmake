# The Windows installer: both programs in Program Files, a Start-menu shortcut to the window, an
# uninstaller registered with Windows, and, when the user says yes, .trd files opened by Orlaspin.
# /S installs silently (then without the association) and /D=DIR chooses the folder.
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit installer for 64-bit programs: it runs where they run, 64-bit Wine included.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_PACKAGE_NAME Orlaspin)
set(CPACK_NSIS_DISPLAY_NAME Orlaspin)
set(CPACK_NSIS_INSTALLED_ICON_NAME orlaspin.exe)
set(CPACK_NSIS_MENU_LINKS orlaspin.exe Orlaspin)
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  MessageBox MB_YESNO|MB_ICONQUESTION "Open .trd disk images with Orlaspin?" /SD IDNO IDNO orlaspin_no_association
  WriteRegStr HKCR ".trd" "" "Orlaspin.trd"
  WriteRegStr HKCR "Orlaspin.trd" "" "TR-DOS disk image"
  WriteRegStr HKCR "Orlaspin.trd\shell\open\command" "" '"$INSTDIR\orlaspin.exe" "%1"'
  orlaspin_no_association:
]=])
# Only an association that is still ours is taken away.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  ReadRegStr $0 HKCR ".trd" ""
  StrCmp $0 "Orlaspin.trd" 0 orlaspin_not_ours
  DeleteRegKey HKCR ".trd"
  orlaspin_not_ours:
  DeleteRegKey HKCR "Orlaspin.trd"
]=])
