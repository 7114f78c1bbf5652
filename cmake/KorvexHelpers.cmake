# Shared build functions: one place for warnings, one for test registration.

function(project_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(KORVEX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# korvex_library(name SOURCES ... LIBS ...): a static library for one folder,
# whose public headers are included as "<folder>/<header>.h".
function(korvex_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_LIBS})
  project_warnings(${name})
endfunction()

# korvex_add_test(name SOURCES ... LIBS ...): one GoogleTest executable,
# registered with CTest test by test.
function(korvex_add_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  # Several people edit the tree at once; a test whose source is not written
  # yet is left out locally, but never in CI.
  foreach(source IN LISTS T_SOURCES)
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${source})
      if(DEFINED ENV{CI})
        message(FATAL_ERROR "${name}: missing test source ${source}")
      endif()
      message(WARNING "${name}: missing test source ${source}; test left out")
      return()
    endif()
  endforeach()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} korvex_test_support GTest::gtest_main)
  project_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
                       PROPERTIES ENVIRONMENT "KORVEX_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
