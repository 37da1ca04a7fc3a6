# The committed sample is exactly what tools/make-sample draws, so the sample
# can always be rebuilt from our own code.
set(KB_SAMPLE_GENERATOR_DIR ${CMAKE_CURRENT_LIST_DIR}/../../tools/make-sample)
if(NOT TARGET make_sample)
  add_subdirectory(${KB_SAMPLE_GENERATOR_DIR} ${CMAKE_BINARY_DIR}/tools/make-sample)
endif()
add_test(NAME SampleGenerator.RedrawsTheCommittedSample
  COMMAND ${CMAKE_COMMAND}
    -DGENERATOR=$<TARGET_FILE:make_sample>
    -DSAMPLE=${CMAKE_CURRENT_LIST_DIR}/../../sample
    -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/redrawn-sample
    -P ${CMAKE_CURRENT_LIST_DIR}/scripts/compare_sample.cmake)
