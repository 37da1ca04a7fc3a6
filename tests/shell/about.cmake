# Tests of the information window.
kb_add_test(test_about WIDGETS
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/UAboutTest.cpp
  LIBS kb_about kb_test_fake_browser Qt6::Test)
