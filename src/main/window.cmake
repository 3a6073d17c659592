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

# The product check's Win32 helper sits beside the program, where the check
# looks for it (platform/wineproduct.h).
include(GNUInstallDirs)
install(TARGETS upgrade-devir RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET ud_findwindow)
  get_target_property(UD_FINDWINDOW_EXE ud_findwindow UD_EXE)
  add_dependencies(upgrade-devir ud_findwindow)
  add_custom_command(TARGET upgrade-devir POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${UD_FINDWINDOW_EXE} $<TARGET_FILE_DIR:upgrade-devir>
    VERBATIM)
  install(PROGRAMS ${UD_FINDWINDOW_EXE} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
