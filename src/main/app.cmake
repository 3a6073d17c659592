# The run driver and the command line: standard library only, so that a run
# works without a display.
add_library(main_driver
  consolehost.cpp
  headless.cpp
  rundriver.cpp
)
target_include_directories(main_driver PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(main_driver PUBLIC main_core upgrade carry PRIVATE platform_window)
ud_core(main_driver)

if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/window.cmake)
  include(${CMAKE_CURRENT_LIST_DIR}/window.cmake)
endif()
