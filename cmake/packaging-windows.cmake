# `cpack` in a Windows build folder makes an NSIS installer and a portable
# ZIP of the same files: the program, the Qt DLLs and plugins it loads, the
# mingw runtime, and the licence texts of all three.

# Qt looks for its plugins in folders named for their kind beside the
# executable, so the program's folder needs no qt.conf.
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
  DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)

# The C++ runtime of the posix-thread mingw compiler, which Qt's DLLs and
# the program both load.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
    message(FATAL_ERROR "The mingw runtime ${dll} was not found (${found})")
  endif()
  install(FILES ${found} DESTINATION .)
endforeach()

# The DLLs are copied with their symbols (libstdc++-6.dll is 23.7 MB so);
# they are stripped where they land, as the program itself is. A DLL that
# cannot be stripped stops the install rather than ship unstripped.
install(CODE "set(callvista_strip \"${CMAKE_STRIP}\")")
install(CODE [[
  file(GLOB_RECURSE dlls "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/*.dll")
  foreach(dll IN LISTS dlls)
    execute_process(COMMAND "${callvista_strip}" --strip-unneeded "${dll}"
      RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "Could not strip ${dll}")
    endif()
  endforeach()
]])

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME License.txt)
install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION licences RENAME Qt-LGPL-3.txt)
install(FILES /usr/share/common-licenses/GPL-3 DESTINATION licences RENAME GPL-3.txt)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright
  DESTINATION licences RENAME GCC-runtime.txt)
install(FILES /usr/share/doc/mingw-w64-common/copyright
  DESTINATION licences RENAME mingw-w64-winpthreads.txt)

set(CPACK_GENERATOR NSIS ZIP)
# The NSIS commands below hold quotes and backslashes, which cpack passes on
# only when it writes its configuration verbatim.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME Callvista)
set(CPACK_PACKAGE_VENDOR "The Callvista developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Callvista address book")
set(CPACK_PACKAGE_FILE_NAME Callvista-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Callvista)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Callvista)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

# Debian's makensis makes a 32-bit installer unless told otherwise; the
# program is 64-bit and so is its installer.
# (makensis's -XTarget would need a blank inside one argument, and cpack
# splits its command line at every blank.)
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME Callvista)
set(CPACK_NSIS_PACKAGE_NAME Callvista)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/resources/icons/callvista.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/resources/icons/callvista.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME callvista.exe)
# The program stands at the top of its folder, not in bin/.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A Start-menu entry, which takes its icon from the executable.
set(CPACK_PACKAGE_EXECUTABLES callvista Callvista)

# .CVA documents open with the program, which takes the document named on
# its command line; the uninstaller takes the association away again.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  WriteRegStr HKCR ".CVA" "" "Callvista.Document"
  WriteRegStr HKCR "Callvista.Document" "" "Callvista address book"
  WriteRegStr HKCR "Callvista.Document\DefaultIcon" "" "$INSTDIR\callvista.exe,0"
  WriteRegStr HKCR "Callvista.Document\shell\open\command" "" '"$INSTDIR\callvista.exe" "%1"'
]=])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  ReadRegStr $0 HKCR ".CVA" ""
  StrCmp $0 "Callvista.Document" 0 +2
    DeleteRegKey HKCR ".CVA"
  DeleteRegKey HKCR "Callvista.Document"
]=])

include(CPack)
