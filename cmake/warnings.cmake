# Kairon's own targets build warning-free; third-party code (GoogleTest) is
# left alone, so the warnings go on each of Kairon's targets rather than on
# the whole build.
function(kairon_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
