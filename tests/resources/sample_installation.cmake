# The sample DOS installation in sample/, read the way the program reads it.
kb_add_test(test_sample_installation
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SampleInstallationTest.cpp
  LIBS kb_common kb_test_files Qt6::Gui)
