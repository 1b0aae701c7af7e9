# Regenerates the icon and fails if it differs from the committed one.
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_icon failed: ${result}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${COMMITTED}
                RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "resources/kairon.ico is out of date: run make_icon resources/kairon.ico")
endif()
