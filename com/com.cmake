# TMXCNH39.dll, the in-process COM server, cross-built with
# cmake/mingw-w64-x86_64.cmake from the component's own sources, with the ODBC
# driver alone (Windows' odbc32: no SQLite in the DLL). widl compiles the type
# library from com/tmxcnh39.idl (its methods from component/interface.def) at
# build time; the resources carry it. The tests run under Wine:
# tests/com/com_tests.cmake.
enable_language(RC)

# The 64-bit DLL (cmake/mingw-w64-x86_64.cmake) for 64-bit callers, the
# 32-bit one (cmake/mingw-w64-i686.cmake) for 32-bit callers.
math(EXPR TMXCNH_COM_BITS "${CMAKE_SIZEOF_VOID_P} * 8")
find_program(TMXCNH_WIDL NAMES ${TMXCNH_MINGW}-widl REQUIRED)
# widl reads IDispatch from the Wine headers' oaidl.idl and imports the
# standard OLE type library that Wine ships.
find_path(TMXCNH_WINE_IDL_DIR oaidl.idl
  PATHS /usr/include/wine/wine/windows NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(TMXCNH_STDOLE2_DIR stdole2.tlb
  PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

set(com_generated ${CMAKE_BINARY_DIR}/generated)
set(com_idl_source ${CMAKE_SOURCE_DIR}/com/tmxcnh39.idl)
set(com_idl ${com_generated}/tmxcnh39.idl)
set(widl ${TMXCNH_WIDL} --win${TMXCNH_COM_BITS} -I${TMXCNH_WINE_IDL_DIR} -L${TMXCNH_STDOLE2_DIR})
# The methods in the IDL are expanded from component/interface.def by the C
# preprocessor (widl's own cannot expand its macros).
add_custom_command(
  OUTPUT ${com_idl}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${com_generated}
  COMMAND ${CMAKE_CXX_COMPILER} -E -P -undef -x c -I${CMAKE_SOURCE_DIR} -o ${com_idl}
          ${com_idl_source}
  DEPENDS ${com_idl_source} ${CMAKE_SOURCE_DIR}/component/interface.def
  COMMENT "Expanding the interface description")
add_custom_command(
  OUTPUT ${com_generated}/tmxcnh39.tlb ${com_generated}/tmxcnh39.h
  COMMAND ${CMAKE_COMMAND} -E make_directory ${com_generated}
  COMMAND ${widl} -t -o ${com_generated}/tmxcnh39.tlb ${com_idl}
  COMMAND ${widl} -h -o ${com_generated}/tmxcnh39.h ${com_idl}
  DEPENDS ${com_idl}
  COMMENT "Compiling the type library")
add_custom_target(tmxcnh_type_library
  DEPENDS ${com_generated}/tmxcnh39.tlb ${com_generated}/tmxcnh39.h)

# The component, as in the Linux build but over odbc32.
add_library(tmxcnh_platform STATIC ${tmxcnh_platform_sources})
add_library(tmxcnh_db STATIC ${tmxcnh_db_sources} db/odbc_connection.cc db/odbc_values.cc)
target_link_libraries(tmxcnh_db PUBLIC tmxcnh_platform odbc32)
add_library(tmxcnh_data STATIC ${tmxcnh_data_sources})
target_compile_definitions(tmxcnh_data PRIVATE TMXCNH_WITH_ODBC)
target_link_libraries(tmxcnh_data PUBLIC tmxcnh_db)
add_library(tmxcnh_component STATIC ${tmxcnh_component_sources})
target_link_libraries(tmxcnh_component PUBLIC tmxcnh_data)

# VARIANTs and Variants, for the DLL and for the test clients.
add_library(tmxcnh_com_bridge STATIC com/variant_bridge.cc)
target_link_libraries(tmxcnh_com_bridge PUBLIC tmxcnh_platform oleaut32 ole32 uuid)

configure_file(com/tmxcnh39.rc.in ${com_generated}/tmxcnh39.rc @ONLY)
add_library(TMXCNH39 SHARED com/cnh_object.cc com/exports.cc com/guids.cc com/module.cc
  com/registration.cc com/routed_cnh.cc ${com_generated}/tmxcnh39.rc com/TMXCNH39.def)
add_dependencies(TMXCNH39 tmxcnh_type_library)
set_target_properties(TMXCNH39 PROPERTIES
  PREFIX ""
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_include_directories(TMXCNH39 PRIVATE ${com_generated})
set_source_files_properties(${com_generated}/tmxcnh39.rc PROPERTIES
  OBJECT_DEPENDS ${com_generated}/tmxcnh39.tlb)
target_link_libraries(TMXCNH39 PRIVATE tmxcnh_component tmxcnh_com_bridge advapi32)
if(TMXCNH_COM_BITS EQUAL 32)
  # The exports are __stdcall (_DllCanUnloadNow@0): the .def gives them their
  # undecorated names, as Windows looks them up.
  target_link_options(TMXCNH39 PRIVATE -Wl,--enable-stdcall-fixup)
endif()

include(tests/com/com_tests.cmake)
