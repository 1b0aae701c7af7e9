# The release: one zip of the 32-bit product, its console timer, its report tool, a user's
# guide, the two console programs' full guides, an example config.txt and
# the licence, made by CPack from these install rules (scripts/package.sh).
# Text files get CR LF line ends, as Windows users' editors expect. The zip
# is all a user gets: its guides travel in it.
set(KAIRON_PACKAGE_TEXT ${CMAKE_BINARY_DIR}/package-text)
set(KAIRON_PACKAGE_TEXT_SOURCES
  README.txt package/README.txt
  config-example.txt package/config-example.txt
  LICENSE.txt LICENSE
  kairon-time.md docs/kairon-time.md
  kairon-report.md docs/report.md)
set(KAIRON_PACKAGE_TEXT_FILES)
while(KAIRON_PACKAGE_TEXT_SOURCES)
  list(POP_FRONT KAIRON_PACKAGE_TEXT_SOURCES text source)
  configure_file(${CMAKE_SOURCE_DIR}/${source} ${KAIRON_PACKAGE_TEXT}/${text} @ONLY
                 NEWLINE_STYLE CRLF)
  list(APPEND KAIRON_PACKAGE_TEXT_FILES ${KAIRON_PACKAGE_TEXT}/${text})
endwhile()

install(TARGETS Kairon kairon-report kairon-time RUNTIME DESTINATION .)
install(FILES ${KAIRON_PACKAGE_TEXT_FILES} DESTINATION .)
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
