# The package's maintainer, as deb-control(5) has it: the one who makes the
# package. That is CALLVISTA_MAINTAINER when it was given at configure time,
# and otherwise the identity Debian's own tools (dch, dh_make, debuild) take
# from the environment: DEBFULLNAME and DEBEMAIL, or DEBEMAIL alone in the
# form "Name <address>". Sets OUT to "Name <address>", or to nothing.
# Included by the configure step, by cpack and by the install script.
function(callvista_maintainer out configured)
  set(maintainer "")
  if(NOT configured STREQUAL "")
    set(maintainer "${configured}")
  elseif("$ENV{DEBEMAIL}" MATCHES "^.+ <[^<> ]+@[^<> ]+>$")
    set(maintainer "$ENV{DEBEMAIL}")
  elseif(NOT "$ENV{DEBFULLNAME}" STREQUAL "" AND "$ENV{DEBEMAIL}" MATCHES "^[^<> ]+@[^<> ]+$")
    set(maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
  endif()
  set(${out} "${maintainer}" PARENT_SCOPE)
endfunction()

set(CALLVISTA_NO_MAINTAINER
  "The package needs a maintainer, the one who makes it: set DEBFULLNAME and DEBEMAIL (as for Debian's own tools), or configure with -DCALLVISTA_MAINTAINER=\"Name <address>\".")
