# Build helpers shared by every folder.

# A switch over an enum must name every value (no default branch), so a new value shows
# every place that has to handle it.
set(KESTRIX_WARNINGS -Wall -Wextra -Wpedantic -Werror=switch)

if(KESTRIX_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(KESTRIX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# kestrix_library(<name> DEPS <targets...>)
# One library per source folder: every .cpp in the folder belongs to it, so
# adding a file needs no edit here. The folder itself is the include root
# (`#include "regex/RegExpr.h"`).
function(kestrix_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE ${KESTRIX_WARNINGS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# kestrix_gtest(<name> DEPS <targets...>)
# One GoogleTest executable per test folder, registered with CTest.
function(kestrix_gtest name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_compile_options(${name} PRIVATE ${KESTRIX_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "KESTRIX_TEST_TMP=${CMAKE_CURRENT_BINARY_DIR}")
endfunction()
