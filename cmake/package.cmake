# The release: one zip of the 32-bit product, its console timer, its report tool, a user's
# guide, an example config.txt and the licence, made by CPack from these
# install rules (scripts/package.sh). Text files get CR LF line ends, as
# Windows users' editors expect.
set(KAIRON_PACKAGE_TEXT ${CMAKE_BINARY_DIR}/package-text)
foreach(text README.txt config-example.txt LICENSE.txt)
  set(source ${CMAKE_SOURCE_DIR}/package/${text})
  if(text STREQUAL LICENSE.txt)
    set(source ${CMAKE_SOURCE_DIR}/LICENSE)
  endif()
  configure_file(${source} ${KAIRON_PACKAGE_TEXT}/${text} @ONLY NEWLINE_STYLE CRLF)
endforeach()

install(TARGETS Kairon kairon-report kairon-time RUNTIME DESTINATION .)
install(FILES ${KAIRON_PACKAGE_TEXT}/README.txt ${KAIRON_PACKAGE_TEXT}/config-example.txt
              ${KAIRON_PACKAGE_TEXT}/LICENSE.txt DESTINATION .)
# Installing packs only these three programs; it need not build the tests.
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
