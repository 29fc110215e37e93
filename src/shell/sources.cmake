# Shell integration: the OLE drop target, the file-name blocks of a drop and the files a drag
# offers only from inside its source (their descriptors, and their writing), shortcut files and
# the start-up shortcut, the notification-area icon, the global hot key and the shaped picture
# layers of the icon window.
target_sources(pakico_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/DropFiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileDescriptors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegionStream.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShellLinkRules.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShortCutText.cpp
)
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/CoolForm.cpp
        ${CMAKE_CURRENT_LIST_DIR}/DropFileTarget.cpp
        ${CMAKE_CURRENT_LIST_DIR}/DropTarget.cpp
        ${CMAKE_CURRENT_LIST_DIR}/HiddenWindow.cpp
        ${CMAKE_CURRENT_LIST_DIR}/HookHotKey.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PBShellLink.cpp
        ${CMAKE_CURRENT_LIST_DIR}/StartupShortcut.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TaskTrayIcon.cpp
        ${CMAKE_CURRENT_LIST_DIR}/VirtualFiles.cpp
    )
endif()
