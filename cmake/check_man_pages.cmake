# Renders every manual page as man(1) would and fails on any warning of groff.
#   cmake -DGROFF=... -DPAGES=a.1;b.5 -P check_man_pages.cmake
foreach(page ${PAGES})
  execute_process(COMMAND ${GROFF} -man -ww -z -Tutf8 ${page}
                  RESULT_VARIABLE status ERROR_VARIABLE warnings)
  if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "${page}: groff says:\n${warnings}")
  endif()
endforeach()
