# Installation the Unix way: programs in bin/, manual pages, the example
# stations under share/zentrak/, the sysop's pages under share/doc/zentrak/, a
# system configuration in <sysconfdir>/zentrak/, a folder for the history in
# <localstatedir>/lib/zentrak/ with the reports and the web pages in folders of
# their own, and
# a systemd service and timer for the nightly run. `cmake --install` honours
# DESTDIR; the `uninstall` target removes what the last install put in place.
include(GNUInstallDirs)

set(ZENTRAK_CONFIG_DIR ${CMAKE_INSTALL_FULL_SYSCONFDIR}/zentrak)
set(ZENTRAK_STATE_DIR ${CMAKE_INSTALL_FULL_LOCALSTATEDIR}/lib/zentrak)
set(ZENTRAK_REPORTS_DIR ${ZENTRAK_STATE_DIR}/reports)
set(ZENTRAK_HTML_DIR ${ZENTRAK_STATE_DIR}/html)
set(ZENTRAK_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/zentrak)
set(ZENTRAK_DOC_DIR ${CMAKE_INSTALL_FULL_DOCDIR})

# A run without a configuration argument falls back to the installation's
# configuration folder; the program learns where that is here.
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/platform/posix/platform_posix.cc APPEND PROPERTY
             COMPILE_DEFINITIONS ZENTRAK_SYSCONFDIR="${CMAKE_INSTALL_FULL_SYSCONFDIR}")

install(TARGETS zentrak zentrak-lngc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Manual pages, compressed as Debian keeps them; man reads them either way.
set(ZENTRAK_MAN_PAGES zentrak.1 zentrak-lngc.1 zentrak.cfg.5)
set(compressed_pages)
foreach(page IN LISTS ZENTRAK_MAN_PAGES)
  set(source ${CMAKE_SOURCE_DIR}/docs/man/${page})
  set(packed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${packed}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
                     COMMAND gzip -9nc ${source} > ${packed}
                     DEPENDS ${source} VERBATIM)
  list(APPEND compressed_pages ${packed})
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${page})
  install(FILES ${packed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${compressed_pages})

# The example stations, ready to copy: configurations, language source,
# templates. The binkd station takes most templates from ../station/.
install(DIRECTORY examples/station/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zentrak/station
        PATTERN run_demo.sh EXCLUDE)
install(DIRECTORY examples/binkd/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zentrak/binkd)

# The sysop's pages and the cron example; the developers' pages stay in the
# source tree.
file(GLOB sysop_pages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/*.md)
list(FILTER sysop_pages EXCLUDE REGEX "/(ARCHITECTURE|PERFORMANCE|RELIABILITY)\\.md$")
install(FILES README.md ${sysop_pages} DESTINATION ${CMAKE_INSTALL_DOCDIR})
configure_file(examples/cron/zentrak.cron.in ${CMAKE_BINARY_DIR}/system/zentrak.cron @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/system/zentrak.cron DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/cron)

# The nightly run as a systemd service and timer, where systemd looks for the
# units of this prefix. Installing them enables nothing.
configure_file(examples/systemd/zentrak.service.in ${CMAKE_BINARY_DIR}/system/zentrak.service @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/system/zentrak.service examples/systemd/zentrak.timer
        DESTINATION lib/systemd/system)

# The system configurations, the reports' and the web pages', keep their
# histories and their output in the state folder. An existing one is the
# sysop's and is never overwritten.
foreach(config zentrak.cfg zentrak-html.cfg)
  configure_file(examples/system/${config}.in ${CMAKE_BINARY_DIR}/system/${config} @ONLY)
  install(CODE "
    set(zentrak_config \"\$ENV{DESTDIR}${ZENTRAK_CONFIG_DIR}/${config}\")
    if(EXISTS \"\${zentrak_config}\")
      message(STATUS \"Keeping: \${zentrak_config}\")
    else()
      file(INSTALL DESTINATION \"${ZENTRAK_CONFIG_DIR}\" TYPE FILE
           FILES \"${CMAKE_BINARY_DIR}/system/${config}\")
    endif()")
endforeach()
install(DIRECTORY DESTINATION ${ZENTRAK_STATE_DIR})
install(DIRECTORY DESTINATION ${ZENTRAK_REPORTS_DIR})
install(DIRECTORY DESTINATION ${ZENTRAK_HTML_DIR})

add_custom_target(uninstall
                  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
                          -DKEEP=${ZENTRAK_CONFIG_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/uninstall.cmake
                  VERBATIM)

include(${CMAKE_SOURCE_DIR}/cmake/packaging.cmake)
