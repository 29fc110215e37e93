# Folder watch: the change monitor, its worker, the one-shot watcher and the hand-off of their
# reports to the GUI thread.
if(WIN32)
    target_sources(pakico_win PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/DiscMonitor.cpp
        ${CMAKE_CURRENT_LIST_DIR}/DiscMonitorThread.cpp
        ${CMAKE_CURRENT_LIST_DIR}/FileChangeThread.cpp
        ${CMAKE_CURRENT_LIST_DIR}/GuiHandOff.cpp
    )
endif()
