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
option(HALVEX_BUILD_FUZZ "Build the fuzz targets (clang; see the fuzz preset)" OFF)

add_library(halvex_warnings INTERFACE)
target_compile_options(halvex_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wimplicit-fallthrough
  -Wformat=2 -Wcast-align -Wunused -Woverloaded-virtual -Wmissing-declarations
  -Wundef -Wvla
  $<$<CXX_COMPILER_ID:GNU>:-Wduplicated-cond -Wlogical-op>)
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

# halvex_make_position_independent(target): builds `target` and every static library of the
# project it links, directly or through others, as position-independent code, so they can go
# into a shared object. Runs once the whole tree is configured. Interposition is not assumed,
# so the code stays as fast as in a program.
function(halvex_make_position_independent target)
  # A deferred call reads its arguments when it runs, so the name is put in as text now.
  cmake_language(EVAL CODE
    "cmake_language(DEFER DIRECTORY [[${PROJECT_SOURCE_DIR}]] CALL _halvex_pic_walk [[${target}]])")
endfunction()

function(_halvex_pic_walk)
  set(target "${ARGV0}")
  if(NOT target OR NOT TARGET "${target}")
    return()
  endif()
  get_target_property(imported ${target} IMPORTED)
  get_target_property(type ${target} TYPE)
  if(imported OR NOT type STREQUAL "STATIC_LIBRARY")
    return()
  endif()
  get_target_property(done ${target} HALVEX_PIC_DONE)
  if(done)
    return()
  endif()
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON HALVEX_PIC_DONE ON)
  target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  get_target_property(links ${target} LINK_LIBRARIES)
  if(links)
    foreach(link IN LISTS links)
      _halvex_pic_walk("${link}")
    endforeach()
  endif()
endfunction()
