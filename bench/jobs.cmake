# Job benchmarks: a large company carried forward and upgraded, each beside
# `cp -r` of the same directory. They need the test fixtures to make data.
if(TARGET ud_company_fixture AND TARGET ud_testhost)
  foreach(job carry upgrade)
    add_executable(jobs_${job} ${CMAKE_CURRENT_LIST_DIR}/jobs_${job}.cpp)
    target_include_directories(jobs_${job} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
    ud_warnings(jobs_${job})
  endforeach()
  target_link_libraries(jobs_carry PRIVATE carry report ud_company_fixture ud_testhost)
  target_link_libraries(jobs_upgrade PRIVATE upgrade ud_company_fixture ud_testhost)
endif()
