# The Linux edition's place on the desktop: the desktop entry, the icon in the hicolor theme at
# every size a menu or a software centre asks for, the AppStream metainfo, the window's manual
# page and the licence as Debian's copyright file. Included from packaging/CMakeLists.txt.
set(linux_dir "${CMAKE_CURRENT_SOURCE_DIR}/linux")
set(generated "${CMAKE_CURRENT_BINARY_DIR}/linux")

configure_file("${linux_dir}/foliomix.desktop.in" "${generated}/${FOLIOMIX_APP_ID}.desktop" @ONLY)
configure_file("${linux_dir}/foliomix.metainfo.xml.in"
    "${generated}/${FOLIOMIX_APP_ID}.metainfo.xml" @ONLY)
configure_file("${linux_dir}/foliomix.1.in" "${generated}/foliomix.1" @ONLY)
install(FILES "${generated}/${FOLIOMIX_APP_ID}.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${generated}/${FOLIOMIX_APP_ID}.metainfo.xml"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${generated}/foliomix.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

# The icon, drawn at build time by the generator the windows' icons come from.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(icon_generator "${CMAKE_CURRENT_SOURCE_DIR}/icon/make_icon.py")
set(icons)
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
    set(png "${generated}/icons/${size}/${FOLIOMIX_APP_ID}.png")
    add_custom_command(OUTPUT "${png}"
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${generated}/icons/${size}"
        COMMAND Python3::Interpreter "${icon_generator}" --png ${size} "${png}"
        DEPENDS "${icon_generator}"
        COMMENT "Drawing the ${size} px desktop icon")
    list(APPEND icons "${png}")
    install(FILES "${png}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
endforeach()
add_custom_target(foliomix_desktop_icons ALL DEPENDS ${icons})

# Debian's machine-readable copyright file, its licence text taken from LICENSE: each line
# indented by one space, an empty line written as " .".
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" license)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/LICENSE")
if(NOT license MATCHES "^MIT License\n\nCopyright \\(c\\) ([^\n]+)\n\n")
    message(FATAL_ERROR "LICENSE does not start with \"MIT License\" and its copyright line")
endif()
set(FOLIOMIX_COPYRIGHT_HOLDER "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]+\n\n" "" license "${license}")
string(REGEX REPLACE "\n+$" "" license "${license}")
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " FOLIOMIX_LICENSE_TEXT " ${license}")
configure_file("${linux_dir}/copyright.in" "${generated}/copyright" @ONLY)
# Debian's place for them is named after the package, not the project.
install(FILES "${generated}/copyright" "${PROJECT_SOURCE_DIR}/README.md"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/foliomix")

# The changelog a Debian package carries; the package's staging step compresses it.
configure_file("${linux_dir}/changelog.Debian.in" "${generated}/changelog.Debian" @ONLY)
