# The "data in use" check of a run on a data directory of 200 companies,
# beside the start of the Wine helper that asks a running prefix.
if(NOT WIN32 AND TARGET jobs)
  add_executable(datainuse_bench ${CMAKE_CURRENT_LIST_DIR}/datainuse_bench.cpp)
  target_include_directories(datainuse_bench PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(datainuse_bench PRIVATE jobs platform)
  ud_warnings(datainuse_bench)
endif()
