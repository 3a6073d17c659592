# The company selection dialog (Qt), kept out of the jobs' library.
add_library(carry_dialog ${CMAKE_CURRENT_LIST_DIR}/k_sirketsec.cpp ${CMAKE_CURRENT_LIST_DIR}/k_sirketsec.h)
target_include_directories(carry_dialog PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(carry_dialog PUBLIC Qt6::Widgets main_core data)
ud_warnings(carry_dialog)
