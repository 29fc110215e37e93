# The small window layer the forms are built from: windows, dialogs, menus, actions, image
# lists, timers, owner-drawn combo boxes, the error box, the message boxes and dialogs, where
# windows are placed, and the help file.
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/Action.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ComboBox.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Dialog.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Dpi.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ErrorReport.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FormRegistry.cpp
        ${CMAKE_CURRENT_LIST_DIR}/HelpFile.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ImageList.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Menu.cpp
        ${CMAKE_CURRENT_LIST_DIR}/MessageBox.cpp
        ${CMAKE_CURRENT_LIST_DIR}/MessageDialog.cpp
        ${CMAKE_CURRENT_LIST_DIR}/OwnerDraw.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PathChecks.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Placement.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Timer.cpp
        ${CMAKE_CURRENT_LIST_DIR}/Window.cpp
    )
endif()
