# The ODBC driver against a real PostgreSQL server: run under
# scripts/with-postgres, the tests skip without TMXCNH_TEST_PG.
add_executable(tmxcnh_odbc_tests ${CMAKE_CURRENT_LIST_DIR}/odbc_connection_test.cc)
target_link_libraries(tmxcnh_odbc_tests PRIVATE tmxcnh_db_odbc tmxcnh_test_tables
  GTest::gtest_main)
# psqlODBC hands text over as UTF-8 under a UTF-8 locale and only as UTF-16
# under C: the tests run under each.
foreach(locale C.UTF-8 C)
  gtest_discover_tests(tmxcnh_odbc_tests DISCOVERY_TIMEOUT 60 TEST_SUFFIX "/${locale}"
    PROPERTIES ENVIRONMENT "LC_ALL=${locale}")
endforeach()
