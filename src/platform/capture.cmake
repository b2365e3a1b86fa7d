# Screen capture of a root-window rectangle over its own X connection (no Qt): XShm with the segment kept between
# frames, GetImage where shared memory is missing.
find_package(PkgConfig REQUIRED)
pkg_check_modules(KL_CAPTURE_XCB REQUIRED IMPORTED_TARGET GLOBAL xcb xcb-shm)
kl_add_library(kl_platform_capture
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/screen_capture.cpp
  LIBS PkgConfig::KL_CAPTURE_XCB)
