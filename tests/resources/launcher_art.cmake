# The launcher's artwork (pixmaps and icons need the offscreen platform).
kb_add_test(test_launcher_art WIDGETS
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/LauncherArtTest.cpp
  LIBS kb_resources)
