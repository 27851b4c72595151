# Where an installed program or plugin finds the library: relative to itself,
# so that an installed tree works wherever it lands and wherever it is moved
# (`$ORIGIN/../lib` for a program in bin/). Installed files never keep the
# build tree's run paths: CMake replaces them by this one at install time.
# Where the library lands in a folder the dynamic linker searches anyway (a
# package for /usr), no run path is written at all.
include(GNUInstallDirs)

# Gives `target`, installed into `destination` (relative to the prefix), the
# run path to the installed library.
function(textraster_install_rpath target destination)
  set(system_dirs ${CMAKE_PLATFORM_IMPLICIT_LINK_DIRECTORIES} ${CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES})
  if(WIN32 OR "${CMAKE_INSTALL_FULL_LIBDIR}" IN_LIST system_dirs)
    return()
  endif()
  file(RELATIVE_PATH to_library /prefix/${destination} /prefix/${CMAKE_INSTALL_LIBDIR})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${to_library}")
endfunction()
