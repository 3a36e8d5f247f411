# The editor's document and settings commands: unit tests of the window-free
# file and name handling, and end-to-end tests through the real dialogs.
add_executable(documentFilesTests fileDocumentTest.cpp)
target_link_libraries(documentFilesTests PRIVATE zgEditorCore zgTestSupport GTest::gtest_main)
zg_add_gtest(documentFilesTests)
