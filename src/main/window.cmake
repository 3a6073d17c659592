# The main window (Qt) and the program.
if(UD_BUILD_GUI)
  add_library(main_window
    form1.cpp
    form1.h
    form1_layout.cpp
    widgets.cpp
    widgets.h
  )
  target_include_directories(main_window PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(main_window PUBLIC Qt6::Widgets main_driver carry_dialog ui)
  ud_warnings(main_window)
endif()

add_executable(upgrade-devir main.cpp)
if(UD_BUILD_GUI)
  target_compile_definitions(upgrade-devir PRIVATE UD_WITH_WINDOW)
  target_link_libraries(upgrade-devir PRIVATE main_window)
else()
  target_link_libraries(upgrade-devir PRIVATE main_driver)
endif()
ud_warnings(upgrade-devir)
