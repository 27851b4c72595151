# The Debian packages, made by CPack's DEB generator (`cpack -G DEB`) from a
# build configured for /usr, as scripts/package_deb.sh does, one package per
# install component:
#
# - textraster (component library, whatever installs without a component of
#   its own): the library, its header, CMake package and pkg-config file,
#   the tool, the Python module, and any host added later with install rules
#   of its own;
# - gstreamer1.0-textraster (component gstreamer, when the element is
#   built): the GStreamer plugin, apart as Debian keeps its plugins, so that
#   a user of the library alone does not get GStreamer with it.
#
# Their dependencies are computed from the binaries by dpkg-shlibdeps; the
# plugin's on the library's package is stated (the library is not installed
# while the packages are made, so dpkg-shlibdeps cannot name its package).
# The Python module's are recommended, since a C host needs none of them.
set(CPACK_PACKAGE_NAME textraster)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEB_COMPONENT_INSTALL ON)
# Each package's description starts with its own summary line; a package
# summary set here would be put above both.
string(CONCAT CPACK_DEBIAN_LIBRARY_DESCRIPTION
    "text as ready-made pixels with an opacity channel\n"
    "A library that draws UTF-16 text into a region of a host's 32-bit pixel buffer (straight opacity), "
    "measures the region a text needs and registers private fonts, on FreeType, HarfBuzz, fontconfig and "
    "FriBidi; with its command-line renderer, textraster, and the Python module textraster for numpy.")
string(CONCAT CPACK_DEBIAN_GSTREAMER_DESCRIPTION
    "GStreamer element drawing text and subtitles over video with textraster\n"
    "The element textrasteroverlay draws a text property or a stream of subtitles (plain text or Pango "
    "markup, as subparse gives them) over raw video, outlined or on a shaded box, with the textraster "
    "library.")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME textraster)
set(CPACK_DEBIAN_GSTREAMER_PACKAGE_NAME gstreamer1.0-textraster)
set(CPACK_COMPONENT_GSTREAMER_DEPENDS library)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)  # gstreamer1.0-textraster: Depends textraster (= VERSION)
set(CPACK_STRIP_FILES ON)
set(TEXTRASTER_PACKAGE_MAINTAINER "textraster maintainers <maintainers@localhost>"
    CACHE STRING "The Debian packages' Maintainer field")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TEXTRASTER_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_GSTREAMER_PACKAGE_SECTION video)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # NAME_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The tool and the plugin link the library the build made.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
# A shlibs file, so that packages built against the library depend on it,
# and ldconfig run on installation and removal.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_RECOMMENDS "python3, python3-numpy")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SUGGESTS "python3-pil")
# Removal takes the byte code Python wrote beside the module with it.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_GENERATOR DEB)
include(CPack)
