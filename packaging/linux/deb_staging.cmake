# Run by CPack on the .deb's staging folder before it is packed: Debian wants manual pages and
# the changelog compressed with gzip at its best (and with no time stamp inside), and the
# README too, being over 4 kB; lintian reads the package's overrides from it. `cmake --install`
# keeps the files as they are and installs neither changelog nor overrides.
set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr")
if(NOT IS_DIRECTORY "${usr}")
    message(FATAL_ERROR "no staged installation in ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
set(doc "${usr}/share/doc/foliomix")
file(COPY_FILE "${CPACK_FOLIOMIX_DEBIAN_CHANGELOG}" "${doc}/changelog.Debian")
file(MAKE_DIRECTORY "${usr}/share/lintian/overrides")
file(COPY_FILE "${CPACK_FOLIOMIX_LINTIAN_OVERRIDES}" "${usr}/share/lintian/overrides/foliomix")
file(GLOB manual_pages "${usr}/share/man/man*/*")
foreach(file IN LISTS manual_pages ITEMS "${doc}/changelog.Debian" "${doc}/README.md")
    execute_process(COMMAND gzip -9n "${file}" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "gzip ${file}: ${status}")
    endif()
endforeach()
