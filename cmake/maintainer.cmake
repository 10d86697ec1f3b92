# The package's maintainer, as deb-control(5) has it: the one who makes the
# package. That is CALLVISTA_MAINTAINER when it was given at configure time,
# and otherwise the identity Debian's own tools (dch, dh_make, debuild) take
# from the environment: DEBFULLNAME and DEBEMAIL, or DEBEMAIL alone in the
# form "Name <address>". Without them, as dch does, the user's name from the
# password database and login@mail name (/etc/mailname, else the host's
# full name). Sets OUT to "Name <address>", or to nothing when not even the
# login name can be read. Included by cpack and by the install script.
function(callvista_maintainer out configured)
  set(maintainer "")
  if(NOT configured STREQUAL "")
    set(maintainer "${configured}")
  elseif("$ENV{DEBEMAIL}" MATCHES "^.+ <[^<> ]+@[^<> ]+>$")
    set(maintainer "$ENV{DEBEMAIL}")
  elseif(NOT "$ENV{DEBFULLNAME}" STREQUAL "" AND "$ENV{DEBEMAIL}" MATCHES "^[^<> ]+@[^<> ]+$")
    set(maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
  else()
    execute_process(COMMAND id -un OUTPUT_VARIABLE login OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET)
    if(login MATCHES "^[^<> @]+$")
      execute_process(COMMAND getent passwd "${login}" OUTPUT_VARIABLE entry
                      OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      string(REGEX REPLACE "^[^:]*:[^:]*:[^:]*:[^:]*:([^,:]*).*$" "\\1" name "${entry}")
      if(name STREQUAL "" OR name STREQUAL entry)
        set(name "${login}")
      endif()
      set(host "")
      if(EXISTS /etc/mailname)
        file(STRINGS /etc/mailname host LIMIT_COUNT 1)
      endif()
      if(host STREQUAL "")
        execute_process(COMMAND hostname -f OUTPUT_VARIABLE host
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      endif()
      if(host MATCHES "^[^<> @]+$")
        set(maintainer "${name} <${login}@${host}>")
      endif()
    endif()
  endif()
  set(${out} "${maintainer}" PARENT_SCOPE)
endfunction()

set(CALLVISTA_NO_MAINTAINER
  "The package needs a maintainer, the one who makes it, and none could be found: set DEBFULLNAME and DEBEMAIL (as for Debian's own tools), or configure with -DCALLVISTA_MAINTAINER=\"Name <address>\".")
