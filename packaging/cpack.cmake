# CPack's settings: `cmake --build --preset linux --target package` makes the .deb,
# `cmake --build --preset windows --target package` the .zip. Included from
# packaging/CMakeLists.txt once every install rule is known.
set(CPACK_PACKAGE_NAME foliomix)
set(CPACK_PACKAGE_VENDOR "The Foliomix developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "join presentations into one, in the order you choose")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
# Packages hold no debugging symbols: the linux preset builds with them.
set(CPACK_STRIP_FILES TRUE)
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}/packages")

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    # One folder in the archive, so that unpacking it leaves nothing loose.
    set(CPACK_PACKAGE_FILE_NAME "Foliomix-${PROJECT_VERSION}-windows-x64")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_RELEASE "${FOLIOMIX_DEBIAN_REVISION}")
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${FOLIOMIX_PACKAGE_MAINTAINER}")
    # Beside the engine it drives: Debian files LibreOffice Impress under editors.
    set(CPACK_DEBIAN_PACKAGE_SECTION editors)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The libraries the programs link, as dpkg-shlibdeps finds them, and the engine, which the
    # programs start rather than link: the releases tested, Debian 12's 7.4 and later.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libreoffice-impress (>= 4:7.4)")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    set(CPACK_PACKAGE_DESCRIPTION [=[
Foliomix joins several presentation files into one new presentation, in
the order chosen: a window (foliomix) in which the files are added, put
in order and merged, and a command (foliomix-merge) that does the same
merge without a window.

Foliomix never reads or writes the presentation format itself: it
drives LibreOffice Impress, started headless with a private profile for
each merge, and so merges PowerPoint (.ppt, .pptx) and OpenDocument
(.odp) files, every slide keeping its own design, notes, transitions and
animations; the result can also be a PDF.]=])
    # Debian's form of what the installation holds: compressed manual pages and changelog, and
    # where lintian's findings do not apply to the package, and why.
    set(CPACK_FOLIOMIX_DEBIAN_CHANGELOG "${CMAKE_CURRENT_BINARY_DIR}/linux/changelog.Debian")
    set(CPACK_FOLIOMIX_LINTIAN_OVERRIDES "${CMAKE_CURRENT_SOURCE_DIR}/linux/lintian-overrides")
    set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_SOURCE_DIR}/linux/deb_staging.cmake")
endif()

include(CPack)
