# The release: one zip of the 32-bit product, its report tool, a user's
# guide, an example config.txt and the licence, made by CPack from these
# install rules (scripts/package.sh). Text files get CR LF line ends, as
# Windows users' editors expect.
set(KAIRON_PACKAGE_TEXT ${CMAKE_BINARY_DIR}/package-text)
set(KAIRON_VERSION ${PROJECT_VERSION})
configure_file(${CMAKE_SOURCE_DIR}/package/README.txt ${KAIRON_PACKAGE_TEXT}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE KAIRON_LICENSE_TEXT)
file(CONFIGURE OUTPUT ${KAIRON_PACKAGE_TEXT}/LICENSE.txt CONTENT "${KAIRON_LICENSE_TEXT}"
     @ONLY NEWLINE_STYLE CRLF)
file(READ ${CMAKE_SOURCE_DIR}/package/config-example.txt KAIRON_CONFIG_EXAMPLE)
file(CONFIGURE OUTPUT ${KAIRON_PACKAGE_TEXT}/config-example.txt
     CONTENT "${KAIRON_CONFIG_EXAMPLE}" @ONLY NEWLINE_STYLE CRLF)

install(TARGETS Kairon kairon-report RUNTIME DESTINATION .)
install(FILES ${KAIRON_PACKAGE_TEXT}/README.txt ${KAIRON_PACKAGE_TEXT}/config-example.txt
              ${KAIRON_PACKAGE_TEXT}/LICENSE.txt DESTINATION .)
# Installing packs only these two programs; it need not build the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Kairon)
set(CPACK_PACKAGE_VENDOR "the Kairon authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Kairon-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_SOURCE_DIR}/build/package)
include(CPack)
