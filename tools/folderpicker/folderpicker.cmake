# A test-only program that opens the folder dialog for the end-to-end tests.
add_executable(FolderPicker WIN32 ${CMAKE_CURRENT_LIST_DIR}/FolderPicker.cpp ${CMAKE_SOURCE_DIR}/res/Pakico.rc)
target_link_libraries(FolderPicker PRIVATE pakico_win)
target_include_directories(FolderPicker PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res ${PAKICO_ART_DIR})
add_dependencies(FolderPicker pakico_art)
set_target_properties(FolderPicker PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PAKICO_BIN})
