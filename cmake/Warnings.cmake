# Warnings every target of the project compiles with. -Werror is on in CI (CI=true in the
# environment) or with -DHALVEX_WERROR=ON.
if(DEFINED ENV{CI} AND "$ENV{CI}")
  set(_werror_default ON)
else()
  set(_werror_default OFF)
endif()
option(HALVEX_WERROR "Treat warnings as errors" ${_werror_default})
option(HALVEX_BUILD_TESTS "Build the tests" ON)
option(HALVEX_BUILD_BENCH "Build the benchmarks" ON)

add_library(halvex_warnings INTERFACE)
target_compile_options(halvex_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wimplicit-fallthrough
  -Wformat=2 -Wcast-align -Wunused -Woverloaded-virtual -Wmissing-declarations
  -Wduplicated-cond -Wlogical-op -Wundef -Wvla)
if(HALVEX_WERROR)
  target_compile_options(halvex_warnings INTERFACE -Werror)
endif()

# halvex_add_library(name SOURCES ... LINKS ...): a static library with the project's warnings.
function(halvex_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS;PUBLIC_LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE halvex_warnings ${ARG_LINKS} PUBLIC ${ARG_PUBLIC_LINKS})
endfunction()

# halvex_add_test(name SOURCES ... LINKS ... [LABELS threads]): a GoogleTest executable registered
# with CTest. Tests labelled "threads" also run under the tsan preset; Qt tests are not labelled,
# as Qt's own threads are not instrumented and report races that are not ours.
function(halvex_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE halvex_warnings GTest::gtest GTest::gtest_main ${ARG_LINKS})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen LABELS "${ARG_LABELS}"
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
