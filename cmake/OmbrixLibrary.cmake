# ombrix_module_headers(<name>): <name>::headers, the library's C header
# folder as an INTERFACE target, for users that take only its types (another
# library's header, or the library's own pieces). Installed and exported as
# ombrix::<name>_headers.
function(ombrix_module_headers name)
  if(TARGET ${name}_headers)
    return()
  endif()
  add_library(${name}_headers INTERFACE)
  add_library(${name}::headers ALIAS ${name}_headers)
  target_include_directories(${name}_headers INTERFACE
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/ombrix>)
  install(TARGETS ${name}_headers EXPORT ombrixTargets)
endfunction()

# ombrix_module_library(<name> VERSION <x.y.z> SOURCES <files or $<TARGET_OBJECTS:...>>
#                       PUBLIC_HEADERS <files...> [EXACT_FLOAT]
#                       [LINK <private libs...>] [PUBLIC_LINK <libs...>])
#
# One camera-module library: a shared object in build/lib with a small C
# header, installed and exported for find_package(ombrix). Symbols are hidden
# unless the header marks them for export, so the library shows exactly its
# designed functions.
set(OMBRIX_EXPORTED_TARGETS "" CACHE INTERNAL "")

function(ombrix_module_library name)
  cmake_parse_arguments(ARG "EXACT_FLOAT" "VERSION" "SOURCES;PUBLIC_HEADERS;LINK;PUBLIC_LINK" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  add_library(ombrix::${name} ALIAS ${name})
  ombrix_target_defaults(${name})
  if(ARG_EXACT_FLOAT)
    ombrix_exact_float(${name})
  endif()
  set_target_properties(${name} PROPERTIES
    VERSION ${ARG_VERSION}
    SOVERSION 0
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    PUBLIC_HEADER "${ARG_PUBLIC_HEADERS}")
  ombrix_module_headers(${name})
  target_link_libraries(${name} PUBLIC ${name}_headers ${ARG_PUBLIC_LINK} PRIVATE ombrix_log ${ARG_LINK})
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
