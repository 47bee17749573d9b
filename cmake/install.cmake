# The library for other projects: tmxcnh::tmxcnh (the class CNH, Variant and
# what reads it, initdb), installed with a CMake package and a pkg-config
# file; the command; the database scripts; and a .deb and a .tar.gz of all
# of it (cpack).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(tmxcnh_libraries
  tmxcnh_platform tmxcnh_db tmxcnh_db_sqlite tmxcnh_db_odbc tmxcnh_data tmxcnh_component)
foreach(library ${tmxcnh_libraries})
  target_include_directories(${library} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>
    $<BUILD_INTERFACE:${CMAKE_CURRENT_BINARY_DIR}/generated>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/tmxcnh>)
endforeach()
add_library(tmxcnh_library INTERFACE)
target_link_libraries(tmxcnh_library INTERFACE tmxcnh_component)
set_target_properties(tmxcnh_library PROPERTIES EXPORT_NAME tmxcnh)
add_library(tmxcnh::tmxcnh ALIAS tmxcnh_library)

install(TARGETS tmxcnh RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ${tmxcnh_libraries} tmxcnh_library EXPORT tmxcnhTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The public headers: what a caller of the class needs.
set(tmxcnh_include ${CMAKE_INSTALL_INCLUDEDIR}/tmxcnh)
install(FILES component/cnh.h component/method_table.h DESTINATION ${tmxcnh_include}/component)
install(FILES platform/variant.h platform/conversions.h platform/regional_settings.h
  DESTINATION ${tmxcnh_include}/platform)
install(FILES db/initdb.h DESTINATION ${tmxcnh_include}/db)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/generated/tmxcnh/version.h
  DESTINATION ${tmxcnh_include}/tmxcnh)

set(tmxcnh_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/tmxcnh)
install(EXPORT tmxcnhTargets NAMESPACE tmxcnh:: DESTINATION ${tmxcnh_cmake_dir})
configure_package_config_file(cmake/tmxcnhConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/tmxcnhConfig.cmake INSTALL_DESTINATION ${tmxcnh_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/tmxcnhConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tmxcnhConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/tmxcnhConfigVersion.cmake DESTINATION ${tmxcnh_cmake_dir})
configure_file(cmake/tmxcnh.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tmxcnh.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tmxcnh.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(DIRECTORY database/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tmxcnh/database)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME tmxcnh)
set(CPACK_PACKAGE_VENDOR tmxcnh)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "The transport-document component: command, library, headers and database scripts")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "tmxcnh developers")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsqlite3-0, libodbc2 | libodbc1")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
