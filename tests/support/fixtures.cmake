# The Paradox fixture builder, the pxlib oracle and their tests.
add_library(ud_fixtures STATIC
  ${CMAKE_CURRENT_LIST_DIR}/text_codec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/record_codec.cpp
  ${CMAKE_CURRENT_LIST_DIR}/memo_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paradox_builder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/table_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fixture_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sort_order.cpp
  ${CMAKE_CURRENT_LIST_DIR}/key_order.cpp
)
target_include_directories(ud_fixtures PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
# Headers of src/ only (schemas.h, variant.h, table.h): the builder stays independent of the engine.

ud_stdlib_only(ud_fixtures)

add_library(ud_pxlib_oracle STATIC ${CMAKE_CURRENT_LIST_DIR}/pxlib_reader.cpp)
target_link_libraries(ud_pxlib_oracle PUBLIC ud_fixtures)
ud_stdlib_only(ud_pxlib_oracle)
find_package(PkgConfig QUIET)
# Not for Windows: Debian has no MinGW build of pxlib (the oracle's checks skip).
if(PkgConfig_FOUND AND NOT CMAKE_CROSSCOMPILING)
  pkg_check_modules(PXLIB QUIET IMPORTED_TARGET pxlib)
endif()
if(PXLIB_FOUND)
  target_compile_definitions(ud_pxlib_oracle PRIVATE UD_HAVE_PXLIB)
  target_link_libraries(ud_pxlib_oracle PRIVATE PkgConfig::PXLIB)
endif()

ud_gtest(support_fixtures_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/builder_pxlib_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/builder_layout_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/fixture_helpers_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/record_codec_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/builder_headers_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/sort_order_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/builder_stream_test.cpp
  LIBS ud_pxlib_oracle ud_fixtures)

# Domain fixtures: data directories of the product's two editions.
add_library(ud_company_fixture STATIC
  ${CMAKE_CURRENT_LIST_DIR}/product_layouts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/company_fixture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_dir.cpp
)
target_link_libraries(ud_company_fixture PUBLIC ud_fixtures data)
ud_stdlib_only(ud_company_fixture)

# Reading back what the jobs wrote: our engine by field name, pxlib beside it.
add_library(ud_table_reader STATIC ${CMAKE_CURRENT_LIST_DIR}/table_reader.cpp)
target_link_libraries(ud_table_reader PUBLIC ud_company_fixture ud_pxlib_oracle data GTest::gtest)
ud_stdlib_only(ud_table_reader)

if(TARGET sample_data)
  ud_gtest(support_samples_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/sample_data_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/engine_crosscheck_test.cpp
    LIBS sample_data ud_company_fixture ud_pxlib_oracle)
endif()
