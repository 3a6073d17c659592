# The recording run host that job and driver tests use.
add_library(ud_testhost STATIC ${CMAKE_CURRENT_LIST_DIR}/recording_host.cpp)
target_include_directories(ud_testhost PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(ud_testhost PUBLIC jobs data)
ud_stdlib_only(ud_testhost)
