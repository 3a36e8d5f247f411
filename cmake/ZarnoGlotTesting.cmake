# GoogleTest for both builds: the Debian packages natively, the sources in
# /usr/src/googletest for the MinGW build.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # gtest's own sources are not ours to keep warning-free.
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Builds and registers one GoogleTest executable in one line:
#   zg_test(name sources... [LINK libraries...] [NEEDS targets...] [TIMEOUT seconds] [DRIVE_T] [EDITOR])
# LINK: libraries beside GoogleTest's main. NEEDS: the programs and files the
# test runs or reads, built before it. DRIVE_T: the test writes on drive T:,
# which the ctest fixture editorDriveT maps (Windows build). EDITOR: an
# end-to-end test that drives zarnoGlotWriteW; implies NEEDS the editor and
# DRIVE_T. Every case is its own test, so that one failing case hides no
# other: natively as GoogleTest lists them, under Wine as the sources'
# TEST and TEST_F lines name them, and a table of TEST_P cases as its
# INSTANTIATE_TEST_SUITE_P line names it, all its rows in one run whose
# output names the failing row (listing them at build time would start
# Wine once more per executable). A case that skips itself counts as a
# skip in CTest's summary.

# The cases of the sources as filters (Suite.Name, Prefix/Suite.*),
# disabled ones left out; CMake reads the sources again when they change.
function(zg_test_cases result)
  set(cases)
  foreach(source IN LISTS ARGN)
    get_filename_component(path ${source} ABSOLUTE)
    if(NOT path MATCHES "\\.cpp$")
      continue()
    endif()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${path})
    file(STRINGS ${path} lines REGEX "^(TEST(_F)?|INSTANTIATE_TEST_SUITE_P)\\(")
    foreach(line IN LISTS lines)
      if(line MATCHES "^TEST(_F)?\\(([A-Za-z0-9_]+), *([A-Za-z0-9_]+)\\)")
        set(case "${CMAKE_MATCH_2}.${CMAKE_MATCH_3}")
        if(NOT case MATCHES "\\.DISABLED_")
          list(APPEND cases ${case})
        endif()
      elseif(line MATCHES "^INSTANTIATE_TEST_SUITE_P\\(([A-Za-z0-9_]+), *([A-Za-z0-9_]+)")
        list(APPEND cases "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}.*")
      endif()
    endforeach()
  endforeach()
  set(${result} ${cases} PARENT_SCOPE)
endfunction()

function(zg_test name)
  cmake_parse_arguments(PARSE_ARGV 1 test "DRIVE_T;EDITOR" "TIMEOUT" "LINK;NEEDS")
  add_executable(${name} ${test_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${test_LINK} GTest::gtest_main)
  if(test_EDITOR)
    list(APPEND test_NEEDS zarnoGlotWriteW)
    set(test_DRIVE_T TRUE)
  endif()
  if(test_NEEDS)
    add_dependencies(${name} ${test_NEEDS})
  endif()
  set(properties)
  if(test_TIMEOUT)
    list(APPEND properties TIMEOUT ${test_TIMEOUT})
  endif()
  if(test_DRIVE_T)
    list(APPEND properties FIXTURES_REQUIRED editorDriveT ENVIRONMENT "ZG_DRIVE_T=${ZG_DRIVE_T_FOLDER}")
  endif()
  if(CMAKE_CROSSCOMPILING)
    # A case that skips itself (GTEST_SKIP) shows as skipped, not as passed,
    # as gtest_discover_tests marks the native cases.
    list(APPEND properties SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
    zg_test_cases(cases ${test_UNPARSED_ARGUMENTS})
    foreach(case IN LISTS cases)
      string(REPLACE ".*" "" caseName ${case})
      add_test(NAME ${caseName} COMMAND ${name} --gtest_filter=${case})
      if(properties)
        set_tests_properties(${caseName} PROPERTIES ${properties})
      endif()
    endforeach()
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 PROPERTIES ${properties})
  endif()
endfunction()
