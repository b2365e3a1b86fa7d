# Desktop integration: the system-wide hot key (X11 root-window grab) and the single-instance guard.
if(NOT KINOLOOP_CORE_ONLY)
  find_package(X11 REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(KL_DESKTOP_XCB REQUIRED IMPORTED_TARGET xcb)
  kl_add_library(kl_platform_desktop QT
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/global_hot_key.cpp ${CMAKE_CURRENT_LIST_DIR}/single_instance.cpp
    LIBS Qt6::Gui Qt6::Network X11::X11 PkgConfig::KL_DESKTOP_XCB)
endif()
