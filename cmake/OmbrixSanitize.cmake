# -DOMBRIX_SANITIZE=address,undefined or -DOMBRIX_SANITIZE=thread instruments every target.
if(OMBRIX_SANITIZE)
  set(_ombrix_san_flags -fsanitize=${OMBRIX_SANITIZE} -fno-omit-frame-pointer)
  if(OMBRIX_SANITIZE MATCHES "undefined")
    list(APPEND _ombrix_san_flags -fno-sanitize-recover=undefined)
  endif()
  # GCC's flow analysis sees the instrumentation's extra paths through
  # libstdc++'s <regex> and std::function and warns of values that are always
  # set; with OMBRIX_WERROR those false warnings would stop the build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    list(APPEND _ombrix_san_flags -Wno-maybe-uninitialized)
  endif()
  add_compile_options(${_ombrix_san_flags})
  add_link_options(-fsanitize=${OMBRIX_SANITIZE})
  message(STATUS "Sanitizers: ${OMBRIX_SANITIZE}")
endif()
