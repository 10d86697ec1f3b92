# Read by cpack before it makes the package (CPACK_PROJECT_CONFIG_FILE): the
# Maintainer is named when the package is made, not when it is configured.
include(${CMAKE_CURRENT_LIST_DIR}/maintainer.cmake)
callvista_maintainer(maintainer "${CPACK_CALLVISTA_MAINTAINER}")
if(maintainer STREQUAL "")
  message(FATAL_ERROR "${CALLVISTA_NO_MAINTAINER}")
endif()
set(CPACK_PACKAGE_CONTACT "${maintainer}")
