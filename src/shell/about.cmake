# The information window: the about picture, the program's name and the
# author's, whose name hands the author's address to the web browser.
add_library(kb_about STATIC
  ${CMAKE_CURRENT_LIST_DIR}/UAbout.cpp ${CMAKE_CURRENT_LIST_DIR}/UAbout.h
)
target_include_directories(kb_about PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kb_about PUBLIC kb_platform_ui kb_launch kb_resources Qt6::Widgets)
