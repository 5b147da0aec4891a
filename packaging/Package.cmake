# The Debian package: what goes into share/doc/tabulon beside the programs, and
# the control fields. `cpack -G DEB` in the build folder writes tabulon_VERSION_ARCH.deb.

# Debian wants the changelog gzipped at maximum compression, without a time
# stamp. Made when CMake configures (the copy makes an edit re-run it), so that
# installing works whichever targets were built.
find_program(GZIP gzip REQUIRED)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^tabulon \\(${PROJECT_VERSION}\\) ")
  message(WARNING "packaging/changelog has no entry for version ${PROJECT_VERSION} at its top")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_BINARY_DIR}/packaging/changelog COPYONLY)
execute_process(COMMAND ${GZIP} -9nkf ${CMAKE_BINARY_DIR}/packaging/changelog
                COMMAND_ERROR_IS_FATAL ANY)
set(changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)

set(TABULON_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tabulon)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${changelog_gz} DESTINATION ${TABULON_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tabulon)
set(CPACK_PACKAGE_VENDOR "Tabulon Software")
set(CPACK_PACKAGE_CONTACT "Tabulon Software <info@tabulon.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turn saved web-form e-mails into a tab-delimited file")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_LIST_DIR}/description.txt)
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.tabulon.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
