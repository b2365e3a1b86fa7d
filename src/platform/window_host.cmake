# Finding, embedding and placing the simulator's X11 window (kl_platform_window).
if(NOT KINOLOOP_CORE_ONLY)
  find_package(X11 REQUIRED)
  kl_add_library(kl_platform_window QT
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/x11_window_host.cpp
    LIBS kl_link_core X11::X11)
endif()
