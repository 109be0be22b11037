# `make package`: a Debian package of the installed tree, built by CPack from
# a build configured with the prefix /usr (so the configuration is looked for
# in /etc/zentrak and the history kept in /var/lib/zentrak). Its maintainer
# scripts create the system user zentrak, give it /var/lib/zentrak on the
# first install (never again: a sysop may hand it to the mailer's user), and
# remove that folder on purge.
set(ZENTRAK_MAINTAINER "Zentrak developers <zentrak@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentrak)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zentrak")
set(CPACK_PACKAGE_CONTACT "${ZENTRAK_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "statistics reports from a FidoNet mailer's log")
set(CPACK_PACKAGE_DESCRIPTION
    "Zentrak reads the log of a FidoNet node's front-end mailer for a time\n\
window, groups it into sessions with remote systems and writes plain-text\n\
reports from templates the sysop can edit: sessions, links, sysops, CPS,\n\
traffic, online time, mailers, a histogram, an activity graphic, a summary,\n\
disk usage and the last call of every link. It runs once and ends, by hand\n\
or nightly from cron or a systemd timer.")
set(CPACK_STRIP_FILES ON)
# Absolute destinations (/etc, /var) need the DESTDIR staging.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZENTRAK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The maintainer scripts create the system user with adduser; the trends store
# is SQLite and rotated logs are read through zlib, both linked from the system
# (shlibdeps finds them too, named here so that
# the package says them even where shlibdeps is not run). The libraries found by
# dpkg-shlibdeps are added to this.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser, libsqlite3-0, zlib1g")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The system configuration is the sysop's once installed: dpkg keeps an edited
# copy on upgrade and removal.
file(WRITE ${CMAKE_BINARY_DIR}/debian/conffiles
     "${ZENTRAK_CONFIG_DIR}/zentrak.cfg\n${ZENTRAK_CONFIG_DIR}/zentrak-html.cfg\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/conffiles)
foreach(script postinst prerm postrm)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/debian/${script}.in ${CMAKE_BINARY_DIR}/debian/${script}
                 @ONLY)
  list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/${script})
endforeach()

include(CPack)
