# vrask_subsystem(<name> [DEPS <lib>...] [PUBLIC_LIBS <lib>...])
# Makes the static library vrask_<name> from every source in src/<name>/.
# A new unit is a new file: no list to edit.
function(vrask_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT sources)
    # A subsystem not built yet: an empty library that passes its dependencies on.
    add_library(vrask_${name} INTERFACE)
    target_link_libraries(vrask_${name} INTERFACE ${ARG_DEPS} ${ARG_PUBLIC_LIBS})
    return()
  endif()
  add_library(vrask_${name} STATIC ${sources})
  target_include_directories(vrask_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(vrask_${name} PUBLIC ${ARG_DEPS} ${ARG_PUBLIC_LIBS} PRIVATE vrask_warnings)
endfunction()

# vrask_test_suite(<folder> DEPS <lib>...)
# One test program per folder of tests/, every .cpp in it, run by ctest.
function(vrask_test_suite folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${folder} ${sources})
  target_link_libraries(test_${folder} PRIVATE ${ARG_DEPS} vrask_test_support GTest::gtest_main GTest::gmock vrask_warnings)
  # GCC takes `if (c) EXPECT_...;` for a dangling else: the test macros end in an if-else of
  # their own, which is what they are meant to do there.
  target_compile_options(test_${folder} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-dangling-else>)
  add_dependencies(test_${folder} forge_data)
  # ctest runs each program whole, its tests in a shuffled order (gtest prints the seed;
  # GTEST_RANDOM_SEED in the environment picks one): a test that leans on one run before it, or
  # leaves a global behind for the next, fails here. One process a program is also far quicker
  # than one a test. A single test: the program itself with --gtest_filter.
  add_test(NAME test_${folder} COMMAND test_${folder} --gtest_shuffle --gtest_brief=1
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(test_${folder} PROPERTIES
    ENVIRONMENT "SDL_VIDEODRIVER=dummy;SDL_AUDIODRIVER=dummy" FIXTURES_REQUIRED forged_data)
endfunction()
