# The component's tests. Those that need PostgreSQL read its connection text
# from TMXCNH_TEST_PG (scripts/with-postgres sets it) and skip without it.
# The value tables' reader and the oracle's literals, which need no more
# than the Variant: the driver tests take them too. Value tables and
# transcripts are read from the source tree.
add_library(tmxcnh_test_tables STATIC
  tests/support/table_file.cc
  tests/platform/oracle_literals.cc
)
target_link_libraries(tmxcnh_test_tables PUBLIC tmxcnh_platform GTest::gtest)
target_compile_definitions(tmxcnh_test_tables PUBLIC
  TMXCNH_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")

add_library(tmxcnh_test_support STATIC
  tests/support/document_screen.cc
  tests/support/method_call.cc
  tests/support/scripted_driver.cc
  tests/support/test_databases.cc
)
target_link_libraries(tmxcnh_test_support PUBLIC tmxcnh_component tmxcnh_test_tables)

add_executable(tmxcnh_tests
  tests/common/field_checks_test.cc
  tests/common/infra_ids_test.cc
  tests/common/log_msg_test.cc
  tests/common/log_sistema_test.cc
  tests/common/sql_values_test.cc
  tests/component/method_table_test.cc
  tests/common/method_trap_test.cc
  tests/component/step_numbers_test.cc
  tests/db/connection_text_test.cc
  tests/db/pool_test.cc
  tests/db/sqlite_connection_test.cc
  tests/db/statement_test.cc
  tests/documents/class_interface_test.cc
  tests/integration/hostile_test.cc
  tests/integration/reading_test.cc
  tests/integration/stress_test.cc
  tests/integration/writing_test.cc
  tests/platform/conversions_test.cc
  tests/platform/date_serial_test.cc
  tests/platform/operators_test.cc
  tests/platform/oracle_transcript_test.cc
  tests/db/recordset_test.cc
  tests/platform/text_test.cc
  tests/platform/variant_test.cc
  tests/cli/json_variant_test.cc
  tests/cli/command_test.cc
  tests/service/service_test.cc
  tests/support/method_transcript_test.cc
)
target_link_libraries(tmxcnh_tests PRIVATE tmxcnh_test_support GTest::gtest_main
  tmxcnh_service)
target_compile_definitions(tmxcnh_tests PRIVATE
  TMXCNH_CLI_PATH="$<TARGET_FILE:tmxcnh>")
add_dependencies(tmxcnh_tests tmxcnh)
gtest_discover_tests(tmxcnh_tests DISCOVERY_TIMEOUT 60)
