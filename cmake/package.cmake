# The release: one zip of the 32-bit product, its console timer and report
# tool as 64-bit programs, the 32-bit console timer beside them, a user's
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

# The console programs run on CI machines, which run 64-bit Windows: there
# a 32-bit program is shown SysWOW64 for System32 (and times the 32-bit copy
# of a system program), gets the 32-bit cmd.exe, and reads memory figures
# that stop at 4 GiB. So kairon-time.exe and kairon-report.exe are the
# windows64 build's, and this build's kairon-time is kairon-time32.exe, for
# 32-bit Windows 10.
set(KAIRON_PACKAGE_X64_BUILD ${CMAKE_SOURCE_DIR}/build/windows64 CACHE PATH
    "The windows64 build whose kairon-time.exe and kairon-report.exe the zip holds")
install(TARGETS Kairon RUNTIME DESTINATION .)
install(PROGRAMS $<TARGET_FILE:kairon-time> DESTINATION . RENAME kairon-time32.exe)
install(PROGRAMS ${KAIRON_PACKAGE_X64_BUILD}/console/kairon-time.exe
                 ${KAIRON_PACKAGE_X64_BUILD}/report/kairon-report.exe DESTINATION .)
install(FILES ${KAIRON_PACKAGE_TEXT_FILES} DESTINATION .)
# Installing packs only these programs; it need not build the tests.
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
