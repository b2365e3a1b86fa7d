# kl_add_test(NAME <target> LABELS <label>... SOURCES <file>... LIBS <target>... [CORE])
# Builds a GoogleTest executable and registers each of its tests with CTest under the given labels.
# CORE marks tests of Qt-free code; they are also built by the sanitizer build and carry the label "core".
function(kl_add_test)
  cmake_parse_arguments(T "CORE" "NAME" "LABELS;SOURCES;LIBS" ${ARGN})
  if(KINOLOOP_CORE_ONLY AND NOT T_CORE)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(labels ${T_LABELS})
  if(T_CORE)
    list(APPEND labels core)
  endif()
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # gtest_discover_tests cannot pass list-valued properties (several labels, several variables), so a file that
  # CTest reads after the discovered test list sets them on every test of the executable.
  set(environment "KINOLOOP_SOURCE_DIR=${CMAKE_SOURCE_DIR}" "KINOLOOP_BUILD_DIR=${CMAKE_BINARY_DIR}")
  set(properties_file ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}_properties.cmake)
  file(WRITE ${properties_file}
    "if(DEFINED ${T_NAME}_TESTS)\n"
    "  set_tests_properties(\${${T_NAME}_TESTS} PROPERTIES LABELS \"${labels}\" ENVIRONMENT \"${environment}\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${properties_file})
endfunction()

# kl_add_library(<name> CORE|QT SOURCES ... LIBS ...): a static library of one subsystem layer.
function(kl_add_library name)
  cmake_parse_arguments(L "CORE;QT" "" "SOURCES;LIBS" ${ARGN})
  if(KINOLOOP_CORE_ONLY AND NOT L_CORE)
    return()
  endif()
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/include)
  target_link_libraries(${name} PUBLIC ${L_LIBS})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
endfunction()
