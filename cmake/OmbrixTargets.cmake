# The kinds of target this project builds, each made by one function that
# sets symbol visibility, position-independent code and the warning set once:
#
#   ombrix_object_library   the pieces of a C library (objects or a static
#                           archive), symbols hidden, linked into a shared
#                           library or straight into its tests
#   ombrix_module_library   a camera-module shared library with its C header
#                           (OmbrixLibrary.cmake)
#   ombrix_app_library      a static Qt library of the viewer or its tools
#   ombrix_program          a program, benchmark or fuzz harness
#   ombrix_gtest, ombrix_qtest   a test program run by CTest (OmbrixTests.cmake)

option(OMBRIX_WERROR "Fail the build on any compiler warning (scripts/test turns it on)" OFF)

# ombrix_target_defaults(<target>): the one warning set of every target, and
# position-independent code (the C libraries' pieces end up in shared objects;
# Qt wants it of everything that uses it).
function(ombrix_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${OMBRIX_WERROR}>:-Werror>)
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()

# ombrix_exact_float(<target>): arithmetic that is specified step by step
# (single and double roundings) must not be fused into multiply-adds.
function(ombrix_exact_float target)
  target_compile_options(${target} PRIVATE -ffp-contract=off)
endfunction()

# ombrix_qt_codegen(<target>): moc and rcc for one Qt target, and uic when
# the target lists .ui forms (app/mainwindow's ui_thermalimager.h is written
# by hand, so uic stays off where there is no form). They are switched on per
# target, so the C libraries and the GoogleTest programs get no code
# generation step.
function(ombrix_qt_codegen target)
  set_target_properties(${target} PROPERTIES AUTOMOC ON AUTORCC ON)
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.ui$")
  if(sources)
    set_target_properties(${target} PROPERTIES AUTOUIC ON)
  endif()
endfunction()

# ombrix_object_library(<name> [STATIC] [EXACT_FLOAT] SOURCES <files...>
#                       [INCLUDE <dirs...>] [INTERNAL <dirs...>] [LINK <targets...>])
#
# The pieces of a C library: an object library (a static archive with STATIC,
# for pieces several libraries link), symbols hidden. INCLUDE directories are
# the public headers; INTERNAL ones are handed to users only (the tests that
# reach internal steps), not used by the pieces themselves. LINK is public.
function(ombrix_object_library name)
  cmake_parse_arguments(ARG "STATIC;EXACT_FLOAT" "" "SOURCES;INCLUDE;INTERNAL;LINK" ${ARGN})
  if(ARG_STATIC)
    add_library(${name} STATIC ${ARG_SOURCES})
  else()
    add_library(${name} OBJECT ${ARG_SOURCES})
  endif()
  ombrix_target_defaults(${name})
  set_target_properties(${name} PROPERTIES
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(ARG_EXACT_FLOAT)
    ombrix_exact_float(${name})
  endif()
  target_include_directories(${name} PUBLIC ${ARG_INCLUDE} INTERFACE ${ARG_INTERNAL})
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
endfunction()

# ombrix_app_library(<name> [EXACT_FLOAT] [NO_CODEGEN] SOURCES <files...>
#                    [INCLUDE <dirs...>] [PUBLIC <targets...>] [PRIVATE <targets...>])
#
# A static Qt library of the viewer or its tools. Its users see the headers
# of its folder (or of INCLUDE, when given). moc and rcc run for it unless
# NO_CODEGEN says it has nothing for them.
function(ombrix_app_library name)
  cmake_parse_arguments(ARG "EXACT_FLOAT;NO_CODEGEN" "" "SOURCES;INCLUDE;PUBLIC;PRIVATE" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  ombrix_target_defaults(${name})
  if(NOT ARG_NO_CODEGEN)
    ombrix_qt_codegen(${name})
  endif()
  if(ARG_EXACT_FLOAT)
    ombrix_exact_float(${name})
  endif()
  if(NOT ARG_INCLUDE)
    set(ARG_INCLUDE ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  target_include_directories(${name} PUBLIC ${ARG_INCLUDE})
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
endfunction()

# ombrix_program(<name> [QT] SOURCES <files...> [LINK <targets...>])
#
# A program: the viewer, a tool, a benchmark, a fuzz harness or a helper that
# a test starts. QT runs moc and rcc for it.
function(ombrix_program name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  ombrix_target_defaults(${name})
  if(ARG_QT)
    ombrix_qt_codegen(${name})
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
endfunction()
