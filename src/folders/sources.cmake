# Folder selection: the folder dialog, the shell namespace tree in it and the new-folder dialog.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/FolderRules.cpp)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/DialogParts.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FolderItemData.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SystemTreeView.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SystemTreeViewActions.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TreeForm.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TreeFrame.cpp
        ${CMAKE_CURRENT_LIST_DIR}/MKDirForm.cpp
    )
    # The dialogs name their templates' controls by the resource identifiers.
    target_include_directories(pakico_win PRIVATE ${CMAKE_SOURCE_DIR})
endif()
