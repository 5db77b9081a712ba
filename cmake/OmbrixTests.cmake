# The test programs: GoogleTest for the libraries, Qt Test for widgets, both
# run by CTest and labelled by the folder under tests/ that declares them.
# Like every target they get the project's warning set (OmbrixTargets.cmake).
include(GoogleTest)

# The CTest label of a suite names the folder it tests: tests/app/overlay -> app-overlay.
function(ombrix_folder_label out)
  file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REPLACE "/" "-" label "${rel}")
  set(${out} ${label} PARENT_SCOPE)
endfunction()

# ombrix_gtest(<name> SOURCES <files...> LINK <libs...>): a GoogleTest program
# run by CTest, one CTest test per case. No moc: GoogleTest programs declare
# no QObjects.
function(ombrix_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  ombrix_program(${name} SOURCES ${ARG_SOURCES}
    LINK ${ARG_LINK} GTest::gtest GTest::gtest_main Threads::Threads)
  ombrix_folder_label(label)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES TIMEOUT 600 LABELS ${label})
endfunction()

# ombrix_qtest(<name> SOURCES <files...> LINK <libs...>): a Qt Test program run by CTest
# (scripts/test provides the X display).
function(ombrix_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  ombrix_program(${name} QT SOURCES ${ARG_SOURCES} LINK ${ARG_LINK} Qt5::Test Threads::Threads)
  add_test(NAME ${name} COMMAND ${name})
  ombrix_folder_label(label)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS ${label})
endfunction()

# ombrix_portable_run(<program> <gtest filter>): the chosen cases of a
# GoogleTest program once more with OMBRIX_CPU=portable, so that the portable
# paths, which this processor would not take, are checked here too.
function(ombrix_portable_run program filter)
  add_test(NAME ${program}_portable COMMAND ${program} --gtest_filter=${filter})
  ombrix_folder_label(label)
  set_tests_properties(${program}_portable PROPERTIES ENVIRONMENT OMBRIX_CPU=portable TIMEOUT 600 LABELS ${label})
endfunction()
