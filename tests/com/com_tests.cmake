# The COM server's tests, Windows programs run under Wine: scripts/test runs
#   scripts/with-postgres scripts/with-wine ctest --test-dir build-windows
# CTest registers the DLL with regsvr32 first (com.register), creates the
# database with the Linux build's tmxcnh (com.database), and unregisters the
# DLL last (com.unregister). TMXCNH_LINUX_CLI names that tmxcnh.
set(TMXCNH_LINUX_CLI ${CMAKE_SOURCE_DIR}/build/tmxcnh CACHE FILEPATH
  "The Linux build's tmxcnh command, for the test database and the cross-check")
set(TMXCNH_COM_READER "" CACHE FILEPATH
  "The 64-bit build's tmxcnh_com_tests.exe, which reads the 32-bit DLL's type library")

enable_testing()

# GoogleTest from the sources Debian ships (package googletest), built for Windows.
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# nlohmann/json is headers only: the tool below takes the host's copy.
find_path(TMXCNH_JSON_DIR nlohmann/json.hpp
  PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${TMXCNH_JSON_DIR}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/host-headers)

# wine-run skips (77) a 32-bit program where the machine has no 32-bit Wine.
set(com_wine ${CMAKE_SOURCE_DIR}/tests/com/wine-run)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env TMXCNH_WINE_BITS=${TMXCNH_COM_BITS} ${com_wine})
set(com_dll ${CMAKE_BINARY_DIR}/TMXCNH39.dll)
# Wine's drive Z: is the root of the host's file system.
string(REPLACE "/" "\\" com_dll_windows "Z:${com_dll}")

add_library(tmxcnh_com_test_support STATIC com/guids.cc)
target_include_directories(tmxcnh_com_test_support PUBLIC ${com_generated})
target_link_libraries(tmxcnh_com_test_support PUBLIC tmxcnh_component tmxcnh_com_bridge gtest
  advapi32)
add_dependencies(tmxcnh_com_test_support tmxcnh_type_library)

set(com_test_sources tests/com/bridge_test.cc tests/com/client_test.cc tests/com/object_test.cc
  tests/com/registration_test.cc tests/com/type_library_test.cc)
add_executable(tmxcnh_com_tests ${com_test_sources} tests/com/unregistration_test.cc)
target_link_libraries(tmxcnh_com_tests PRIVATE tmxcnh_com_test_support gtest_main)
add_dependencies(tmxcnh_com_tests TMXCNH39)

add_executable(tmxcnh_com_call tests/com/com_call.cc service/json_variant.cc)
target_include_directories(tmxcnh_com_call PRIVATE ${CMAKE_BINARY_DIR}/host-headers)
target_link_libraries(tmxcnh_com_call PRIVATE tmxcnh_com_test_support shell32)

add_test(NAME com.dll_layout
  COMMAND ${CMAKE_SOURCE_DIR}/tests/com/check-dll-layout ${com_dll} ${TMXCNH_COM_BITS})
add_test(NAME com.register COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} regsvr32 /s ${com_dll_windows})
add_test(NAME com.database COMMAND ${CMAKE_SOURCE_DIR}/tests/com/initdb ${TMXCNH_LINUX_CLI})
set_tests_properties(com.register PROPERTIES FIXTURES_SETUP com_registered SKIP_RETURN_CODE 77)
set_tests_properties(com.database PROPERTIES FIXTURES_SETUP com_database SKIP_RETURN_CODE 77)

# One CTest entry per test, each in a process of its own; the typed variables
# under the US settings too; the unregistration last.
gtest_add_tests(TARGET tmxcnh_com_tests SOURCES ${com_test_sources} TEST_PREFIX "com."
  TEST_LIST com_tests)
add_test(NAME com.TypedVariables.en-US COMMAND tmxcnh_com_tests --gtest_filter=TypedVariables.*)
add_test(NAME com.unregister COMMAND tmxcnh_com_tests --gtest_filter=Unregistration*)
set_tests_properties(${com_tests} com.TypedVariables.en-US PROPERTIES
  FIXTURES_REQUIRED "com_registered;com_database" SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
set_tests_properties(${com_tests} com.TypedVariables.en-US com.unregister PROPERTIES
  ENVIRONMENT "TMXCNH_COM_DLL=${com_dll_windows}" SKIP_RETURN_CODE 77)
set_property(TEST com.TypedVariables.en-US APPEND PROPERTY ENVIRONMENT TMXCNH_LOCALE=en-US)
set_tests_properties(com.unregister PROPERTIES FIXTURES_CLEANUP com_registered)
# Counts the database's sessions: no other test may hold one meanwhile.
set_tests_properties(com.DatabaseTest.UnloadingLeavesNoServerSessionBehind PROPERTIES
  RUN_SERIAL TRUE)

foreach(kind SQLSERVER ORACLE)
  add_test(NAME com.cross_check.${kind} COMMAND ${CMAKE_SOURCE_DIR}/tests/com/cross-check ${kind}
    ${TMXCNH_LINUX_CLI} $<TARGET_FILE:tmxcnh_com_call>)
  set_tests_properties(com.cross_check.${kind} PROPERTIES
    FIXTURES_REQUIRED "com_registered;com_database" SKIP_RETURN_CODE 77
    ENVIRONMENT "TMXCNH_WINE_BITS=${TMXCNH_COM_BITS}")
endforeach()

# The 32-bit DLL's type library, read back by the 64-bit build's test program
# (TMXCNH_COM_READER), which needs no 32-bit Wine.
if(TMXCNH_COM_BITS EQUAL 32 AND TMXCNH_COM_READER)
  add_test(NAME com.type_library_read_by_64_bit
    COMMAND ${com_wine} ${TMXCNH_COM_READER} --gtest_filter=TypeLibraryTest.*)
  set_tests_properties(com.type_library_read_by_64_bit PROPERTIES
    ENVIRONMENT "TMXCNH_COM_DLL=${com_dll_windows};TMXCNH_COM_DLL_BITS=32")
endif()
