# Debian's per-module OpenCV -dev packages ship no CMake config; find the
# modules we use directly: OpenCV::core (the viewer) and OpenCV::imgproc
# (benchmarks and tests compare against cvtColor).
find_path(OpenCVParts_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4)
find_library(OpenCVParts_core_LIBRARY opencv_core)
find_library(OpenCVParts_imgproc_LIBRARY opencv_imgproc)
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(OpenCVParts REQUIRED_VARS OpenCVParts_INCLUDE_DIR OpenCVParts_core_LIBRARY)
foreach(part core imgproc)
  if(OpenCVParts_${part}_LIBRARY AND NOT TARGET OpenCV::${part})
    add_library(OpenCV::${part} UNKNOWN IMPORTED)
    set_target_properties(OpenCV::${part} PROPERTIES
      IMPORTED_LOCATION ${OpenCVParts_${part}_LIBRARY}
      INTERFACE_INCLUDE_DIRECTORIES ${OpenCVParts_INCLUDE_DIR})
  endif()
endforeach()
