# The Translate commands: the window-free pipeline with the real filters and
# the runner's test filter, and end-to-end tests through the real editor.
# Included from tests/editor/CMakeLists.txt.
set(zgTranslateFilters zarnoGlotPack zarnoGlotEncode zarnoGlotDecode runnerTestFilter zgSampleVocabulary)

add_executable(translatePipelineTests translatePipelineTest.cpp)
target_link_libraries(translatePipelineTests PRIVATE zgEditorCore zgTestSupport GTest::gtest_main)
add_dependencies(translatePipelineTests ${zgTranslateFilters})
zg_add_gtest(translatePipelineTests)
set_tests_properties(translatePipelineTests PROPERTIES TIMEOUT 300)

add_executable(translateTestFilter translateTestFilter.cpp)

# The editor's translate round trip, from the build's bin folder or, with
# ZG_EDITOR_FOLDER set, from an unpacked release folder (tests/package/check-zip).
add_executable(translateCommandsTests translateCommandsTest.cpp)
target_link_libraries(translateCommandsTests PRIVATE zgEditorDriver GTest::gtest_main)
add_dependencies(translateCommandsTests ${zgTranslateFilters} translateTestFilter)
zg_add_editor_e2e_test(translateCommandsTests)
set_tests_properties(translateCommandsTests PROPERTIES TIMEOUT 600)
