# Runs the sample generator into OUTPUT and fails unless it writes the files
# of SAMPLE, byte for byte, and no others.
file(REMOVE_RECURSE ${OUTPUT})
execute_process(COMMAND ${GENERATOR} ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_sample failed: ${status}")
endif()

file(GLOB_RECURSE committed RELATIVE ${SAMPLE} ${SAMPLE}/*)
file(GLOB_RECURSE redrawn RELATIVE ${OUTPUT} ${OUTPUT}/*)
list(SORT committed)
list(SORT redrawn)
if(NOT committed STREQUAL redrawn)
  message(FATAL_ERROR "sample/ holds ${committed}\nbut make_sample writes ${redrawn}")
endif()
foreach(file IN LISTS committed)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SAMPLE}/${file} ${OUTPUT}/${file}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "sample/${file} is not what make_sample draws: run it again and commit sample/")
  endif()
endforeach()
