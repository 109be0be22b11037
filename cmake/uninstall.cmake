# Removes every file the last `cmake --install` listed in its manifest, except
# the configuration the sysop may have edited (as a package's removal keeps it).
# Usage: [DESTDIR=...] cmake -DMANIFEST=<install_manifest.txt> -DKEEP=<config folder>
#        -P uninstall.cmake
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} does not exist (run the install first)")
endif()
file(STRINGS "${MANIFEST}" installed)
foreach(listed IN LISTS installed)
  # The manifest names the files without DESTDIR.
  set(file "$ENV{DESTDIR}${listed}")
  if(listed MATCHES "^${KEEP}/")
    message(STATUS "Keeping: ${file}")
  elseif(EXISTS "${file}" OR IS_SYMLINK "${file}")
    message(STATUS "Removing: ${file}")
    file(REMOVE "${file}")
  endif()
endforeach()

# Folders of our own that are empty now go as well.
foreach(listed IN LISTS installed)
  get_filename_component(dir "$ENV{DESTDIR}${listed}" DIRECTORY)
  while(dir MATCHES "/zentrak(/|$)" AND IS_DIRECTORY "${dir}")
    file(GLOB left LIST_DIRECTORIES true "${dir}/*" "${dir}/.*")
    if(left)
      break()
    endif()
    message(STATUS "Removing: ${dir}/")
    file(REMOVE_RECURSE "${dir}")
    get_filename_component(dir "${dir}" DIRECTORY)
  endwhile()
endforeach()
