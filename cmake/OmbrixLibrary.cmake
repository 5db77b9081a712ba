# ombrix_module_library(<name> VERSION <x.y.z> SOURCES <files...> PUBLIC_HEADERS <files...>
#                       [LINK <libs...>])
#
# One camera-module library: a shared object in build/lib with a small C header.
# Symbols are hidden unless the header marks them for export, so the library
# shows exactly its designed functions.
set(OMBRIX_EXPORTED_TARGETS "" CACHE INTERNAL "")

function(ombrix_module_library name)
  cmake_parse_arguments(ARG "" "VERSION" "SOURCES;PUBLIC_HEADERS;LINK" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  add_library(ombrix::${name} ALIAS ${name})
  set_target_properties(${name} PROPERTIES
    VERSION ${ARG_VERSION}
    SOVERSION 0
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    PUBLIC_HEADER "${ARG_PUBLIC_HEADERS}")
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/ombrix>)
  target_link_libraries(${name} PRIVATE ombrix_log ${ARG_LINK})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  install(TARGETS ${name} EXPORT ombrixTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ombrix)
  set(OMBRIX_EXPORTED_TARGETS ${OMBRIX_EXPORTED_TARGETS} ${name} CACHE INTERNAL "")
endfunction()

# find_package(ombrix) for other programs: ombrix::zizuruziza, ombrix::vuzovaredero, ...
function(ombrix_install_package_config)
  if(NOT OMBRIX_EXPORTED_TARGETS)
    return()
  endif()
  include(CMakePackageConfigHelpers)
  install(EXPORT ombrixTargets NAMESPACE ombrix::
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ombrix)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ombrixConfig.cmake.in
    ${PROJECT_BINARY_DIR}/ombrixConfig.cmake
    INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ombrix)
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/ombrixConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/ombrixConfig.cmake ${PROJECT_BINARY_DIR}/ombrixConfigVersion.cmake
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ombrix)
endfunction()
