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

# korvex_add_test(name SOURCES ... LIBS ... [TIME_LIMIT suite seconds]): one
# GoogleTest executable, registered with CTest test by test. The tests of the
# TIME_LIMIT suite fail when they run longer than the given seconds, so that
# a hang on a hostile input ends the run early and names the input.
function(korvex_add_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;TIME_LIMIT" ${ARGN})
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
  set(environment "KORVEX_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(NOT T_TIME_LIMIT)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES ENVIRONMENT "${environment}")
    return()
  endif()
  list(GET T_TIME_LIMIT 0 suite)
  list(GET T_TIME_LIMIT 1 seconds)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 TEST_FILTER "-${suite}.*"
                       PROPERTIES ENVIRONMENT "${environment}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 TEST_FILTER "${suite}.*"
                       PROPERTIES ENVIRONMENT "${environment}" TIMEOUT ${seconds})
endfunction()
