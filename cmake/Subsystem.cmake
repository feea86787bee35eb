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
  gtest_discover_tests(test_${folder}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    # One variable per property: test discovery splits a list value into separate words.
    PROPERTIES ENVIRONMENT SDL_VIDEODRIVER=dummy ENVIRONMENT_MODIFICATION SDL_AUDIODRIVER=set:dummy
               FIXTURES_REQUIRED forged_data
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE PRE_TEST
    # Parameterised tests keep their short names, never a dump of the parameter's bytes.
    NO_PRETTY_VALUES)
endfunction()
