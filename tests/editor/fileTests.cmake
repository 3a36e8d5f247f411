# The editor's document and settings commands: unit tests of the window-free
# file and name handling, and end-to-end tests through the real dialogs.
add_library(zgEditorTestFiles STATIC testFiles.cpp)
target_include_directories(zgEditorTestFiles PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(zgEditorTestFiles PUBLIC zgTestSupport)

add_executable(documentFilesTests fileDocumentTest.cpp)
target_link_libraries(documentFilesTests PRIVATE zgEditorCore zgEditorTestFiles GTest::gtest_main)
zg_add_gtest(documentFilesTests)

add_library(zgFileDialogDriver STATIC fileDialogDriver.cpp)
target_link_libraries(zgFileDialogDriver PUBLIC zgEditorDriver)

add_executable(fileCommandsTests fileCommandsTest.cpp)
target_link_libraries(fileCommandsTests PRIVATE zgFileDialogDriver zgEditorTestFiles GTest::gtest_main)
zg_add_editor_e2e_test(fileCommandsTests)

add_executable(settingsDialogsTests settingsDialogsTest.cpp)
target_link_libraries(settingsDialogsTests PRIVATE zgFileDialogDriver GTest::gtest_main)
zg_add_editor_e2e_test(settingsDialogsTests)
