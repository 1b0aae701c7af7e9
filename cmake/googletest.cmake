# GoogleTest from Debian's sources, built with the same compiler and flags
# (for Windows, cross-compiled; natively, with the sanitizers), and the one
# way Kairon's test programs are registered with CTest.
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Natively every test case is a CTest test of its own. Under Wine each
# process start costs seconds, so there a test program runs whole, as one
# CTest test; GoogleTest still names every failing case in the output.
function(kairon_add_gtest target label)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target} --gtest_brief=1
             WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${target} PROPERTIES LABELS ${label})
  else()
    gtest_discover_tests(${target}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      PROPERTIES LABELS ${label})
  endif()
endfunction()
