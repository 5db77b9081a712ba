# -DOMBRIX_FUZZ=ON: coverage for libFuzzer and the address and
# undefined-behaviour checks on every target, so the harnesses in fuzz/ see
# inside the libraries they drive. Needs clang (CC=clang-14 CXX=clang++-14).
if(OMBRIX_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang" OR NOT CMAKE_C_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "OMBRIX_FUZZ needs clang: configure with CC=clang-14 CXX=clang++-14")
  endif()
  if(OMBRIX_SANITIZE)
    message(FATAL_ERROR "OMBRIX_FUZZ brings its own sanitizers; leave OMBRIX_SANITIZE empty")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
