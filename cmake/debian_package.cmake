# The Debian package, made by CPack's DEB generator (`cpack -G DEB`) from a
# build configured for /usr, as scripts/package_deb.sh does: whatever the
# install rules install (the library, its header, CMake package and
# pkg-config file, the tool, the Python module, and any host added later
# with install rules of its own), in one package named textraster. Its
# dependencies are computed from the binaries by dpkg-shlibdeps; the
# Python module's are recommended, since a C host needs none of them.
set(CPACK_PACKAGE_NAME textraster)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "text as ready-made pixels with an opacity channel")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "A library that draws UTF-16 text into a region of a host's 32-bit pixel buffer (straight opacity), "
    "measures the region a text needs and registers private fonts, on FreeType, HarfBuzz, fontconfig and "
    "FriBidi; with its command-line renderer, textraster, and the Python module textraster for numpy.")
set(CPACK_STRIP_FILES ON)
set(TEXTRASTER_PACKAGE_MAINTAINER "textraster maintainers <maintainers@localhost>"
    CACHE STRING "The Debian package's Maintainer field")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TEXTRASTER_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # textraster_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The tool links the library the package itself brings.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
# A shlibs file, so that packages built against this one depend on it, and
# ldconfig run on installation and removal.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3, python3-numpy")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-pil")
# Removal takes the byte code Python wrote beside the module with it.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)
