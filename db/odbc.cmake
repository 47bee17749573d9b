# Connections through ODBC (unixODBC here), over the statement layer.
find_package(PkgConfig REQUIRED)
pkg_check_modules(ODBC REQUIRED odbc)
add_library(tmxcnh_db_odbc STATIC ${CMAKE_CURRENT_LIST_DIR}/odbc_connection.cc
                               ${CMAKE_CURRENT_LIST_DIR}/odbc_values.cc)
target_include_directories(tmxcnh_db_odbc PRIVATE ${ODBC_INCLUDE_DIRS})
target_compile_options(tmxcnh_db_odbc PRIVATE ${ODBC_CFLAGS_OTHER})
target_link_directories(tmxcnh_db_odbc PUBLIC ${ODBC_LIBRARY_DIRS})
target_link_libraries(tmxcnh_db_odbc PUBLIC tmxcnh_db ${ODBC_LIBRARIES})
