# Shell integration: the notification-area icon, the global hot key and the shortcut text.
target_sources(pakico_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ShortCutText.cpp)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/HiddenWindow.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TaskTrayIcon.cpp
        ${CMAKE_CURRENT_LIST_DIR}/HookHotKey.cpp
    )
endif()
