# The external program runner's tests and the filters they start. Included
# from tests/editor/CMakeLists.txt.
add_subdirectory(filters)
add_executable(runnerTests runnerTest.cpp)
target_link_libraries(runnerTests PRIVATE zgEditorCore zgTestSupport GTest::gtest_main)
add_dependencies(runnerTests runnerTestFilter)
zg_add_gtest(runnerTests)
# A pipe thread left running after the runner returns crashes the test
# process, and under Wine the crash waits in the debugger: end it in time.
set_tests_properties(runnerTests PROPERTIES TIMEOUT 300)
# The log test reads the editor's log on drive T: when that drive is mapped.
if(DEFINED ZG_DRIVE_T_FOLDER)
  set_tests_properties(runnerTests PROPERTIES
    FIXTURES_REQUIRED editorDriveT
    ENVIRONMENT "ZG_DRIVE_T=${ZG_DRIVE_T_FOLDER}")
endif()
