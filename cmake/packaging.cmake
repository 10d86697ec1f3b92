# Windows has its own package: an installer and a ZIP.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/packaging-windows.cmake)
  return()
endif()

# `cpack` in the build folder makes a Debian package. dpkg-shlibdeps (from
# dpkg-dev) reads the executable's shared libraries and turns them into the
# package's Depends, so the Qt 6 runtime comes in with apt.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME callvista)
set(CPACK_PACKAGE_VENDOR "The Callvista developers")
# Debian requires a Maintainer with a working address, and the project has
# no address of its own (no web site, no mailing list). A package made from
# these sources outside Debian's archive is maintained by whoever makes it,
# as deb-control(5) says, and Debian's tools name that person by DEBFULLNAME
# and DEBEMAIL: cpack reads them when it makes the package
# (cmake/maintainer.cmake), and without them names the login, as dch does.
# The changelog is signed with the same identity when it is installed.
set(CALLVISTA_MAINTAINER "" CACHE STRING
  "The package's maintainer, \"Name <address>\"; empty: DEBFULLNAME and DEBEMAIL when packaging")
set(CPACK_CALLVISTA_MAINTAINER "${CALLVISTA_MAINTAINER}")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_maintainer.cmake)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small address book of names and phone numbers")
# Debian wants the long description wrapped; each line here is one line there.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Callvista keeps the entries of one address book document, each a family"
  "name, a short name and a phone number, as a list sorted by family name."
  "Entries are added, edited, deleted and found in small dialogs; documents"
  "are plain text .CVA files.")
# No Homepage: the project has no web site yet. The field is optional in
# Debian, and a link to nowhere is worse than none.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# cpack installs stripped (`cmake --install --strip`), so the package's
# executable has no symbols and no debug information while the one in the
# build folder keeps both.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Debian wants /usr/share/doc/<package>/copyright, in the machine-readable
# format, and the changelog of a native package (one with no Debian revision,
# like this one) as changelog.gz in Debian's own format. Manual pages go in
# compressed too. Both are compressed at the highest level without a name or
# time stamp, so the bytes do not depend on the build. `cmake --install` puts
# them in place as well.
find_program(CALLVISTA_GZIP gzip REQUIRED)
# Compresses SOURCE to OUTPUT (which ends in .gz) at build time.
function(callvista_gzip source output)
  string(REGEX REPLACE "\\.gz$" "" plain ${output})
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND ${CALLVISTA_GZIP} -9nf ${plain}
    DEPENDS ${source}
    COMMENT "Compressing ${plain}")
endfunction()

install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The changelog is signed by the maintainer, who is known only when the
# files are installed, for a package or not. A plain install without one
# leaves the changelog out and says so.
install(CODE "
  include(\"${CMAKE_CURRENT_LIST_DIR}/maintainer.cmake\")
  callvista_maintainer(CALLVISTA_MAINTAINER \"${CALLVISTA_MAINTAINER}\")
  if(CALLVISTA_MAINTAINER STREQUAL \"\")
    message(STATUS \"changelog.gz left out: \${CALLVISTA_NO_MAINTAINER}\")
  else()
    configure_file(\"${PROJECT_SOURCE_DIR}/packaging/changelog.in\"
      \"${PROJECT_BINARY_DIR}/packaging/changelog\" @ONLY)
    execute_process(COMMAND \"${CALLVISTA_GZIP}\" -9nf \"${PROJECT_BINARY_DIR}/packaging/changelog\"
      COMMAND_ERROR_IS_FATAL ANY)
    file(INSTALL \"${PROJECT_BINARY_DIR}/packaging/changelog.gz\"
      DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DOCDIR}\")
  endif()")

configure_file(docs/callvista.1.in docs/callvista.1 @ONLY)
set(callvista_man_gz ${PROJECT_BINARY_DIR}/packaging/callvista.1.gz)
callvista_gzip(${PROJECT_BINARY_DIR}/docs/callvista.1 ${callvista_man_gz})
install(FILES ${callvista_man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

add_custom_target(callvista_package_docs ALL DEPENDS ${callvista_man_gz})

# A stripped install also drops the .comment section, the compiler versions
# the linker gathered, as Debian's own packages do (dh_strip); lintian names
# it binary-has-unneeded-section otherwise. This rule runs after app/ has
# installed and stripped the executable.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:callvista>\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()")

# lintian -I on the package reports no tags. Those it reported before and how
# each is handled:
# - no-copyright-file, no-changelog: packaging/copyright and
#   packaging/changelog.in, installed above.
# - no-manual-page: docs/callvista.1.in, installed above.
# - binary-has-unneeded-section .comment: removed in the stripped install.
# - hardening-no-bindnow: app/CMakeLists.txt links the executable with
#   -z now (and -z relro), as Debian's hardening flags do.
# No override file is shipped: no tag is wrong for this package.

include(CPack)
