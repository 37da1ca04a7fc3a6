# The sample DOS installation in sample/, read the way the program reads it.
kb_add_test(test_sample_installation WIDGETS
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SampleInstallationTest.cpp
  LIBS kb_common kb_platform_ui kb_test_files Qt6::Gui)
